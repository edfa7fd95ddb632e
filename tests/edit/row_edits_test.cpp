#include "edit/row_edits.h"

#include <gtest/gtest.h>

#include "tests/test_gbk.h"
#include "tests/test_rows.h"

namespace ds {
namespace {

using test::Gbk;
using test::RowsOf;

Text Cells(const RowTable& table, size_t column) {
  Text cells;
  for (const Row& row : table.rows) cells.append(row.Cell(column)).append("|");
  return cells;
}

bool IsHint(const Text& text) { return text.rfind(Gbk("操作提示:"), 0) == 0; }

TEST(RowEdits, ModifyNamesTheTitleAsItStands) {
  EXPECT_EQ(ModifyPrompt("sid", AnalysisMode::kHttp),
            Gbk("修改Http协议:[sid]的值;    快捷键:Enter(回车键)确定修改 - Esc(返回)"));
  RowTable list = RowsOf({{"a", "1"}, {"sid", "old"}});
  EXPECT_EQ(ModifyRow(list, 1, "n;e", ListRole::kSlot2Items), Gbk("操作提示:已修改Cookies[2号]中的子项[sid]的值为:n;e"));
  EXPECT_FALSE(ModifyRow(list, 2, "x", ListRole::kSlot1Items).has_value());  // refilled meanwhile
  EXPECT_EQ(Cells(list, 2), "1|n;e|");
}

TEST(RowEdits, DeleteRenumbersAndTheKeyKeepsARowSelected) {
  struct Case {
    int selected;
    bool key;
    const char* numbersAndNames;
    int selectedAfter;
  } cases[] = {
      {1, true, "1|2|a|c|", 1},       // the row that moved up
      {2, true, "1|2|a|b|", 1},       // the new last row
      {0, false, "1|2|b|c|", -1},     // from the menu the selection goes with its row
      {-1, true, "1|2|3|a|b|c|", -1},  // nothing selected, nothing deleted
  };
  for (const Case& c : cases) {
    RowTable list = RowsOf({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    list.selected = c.selected;
    EXPECT_TRUE(IsHint(DeleteSelectedRow(list, ListRole::kSlot1Items, AnalysisMode::kHttp, c.key)));
    EXPECT_EQ(Cells(list, 0) + Cells(list, 1), c.numbersAndNames);
    EXPECT_EQ(list.selected, c.selectedAfter) << c.selected;
  }
  RowTable only = RowsOf({{"a", "1"}});
  only.selected = 0;
  EXPECT_EQ(DeleteSelectedRow(only, ListRole::kSlot2Items, AnalysisMode::kHttp, true),
            Gbk("操作提示:已删除Http协议[2号]中的子项[a]"));
  EXPECT_EQ(only.selected, -1);
}

TEST(RowEdits, ReplaceTakesTheValueOfTheRowFoundByName) {
  RowTable slot1 = RowsOf({{"a", "1"}, {"sid", "v1"}});
  RowTable slot2 = RowsOf({{"x", "other"}, {"sid", "v2"}, {"sid", "later"}});
  slot1.selected = 1;
  slot2.selected = 0;  // out of step with Slot 1
  EXPECT_EQ(ReplaceValue(slot1, slot2, Slot::k1, ListRole::kSlot1Items, AnalysisMode::kHttp).hint,
            Gbk("操作提示:已将Http协议[1号]中子项[sid]的值替换为:v2"));
  EXPECT_EQ(Cells(slot1, 2), "1|v2|");
  // Byte for byte; the hint names the slot searched.
  RowTable upper = RowsOf({{"SID", "v"}});
  slot2.selected = 1;
  EXPECT_EQ(ReplaceValue(slot2, upper, Slot::k2, ListRole::kSlot2Items, AnalysisMode::kCookies).hint,
            Gbk("操作提示:Cookies 1号中没有[sid]子项,操作失败！"));
  slot1.selected = -1;
  EXPECT_FALSE(ReplaceValue(slot1, slot2, Slot::k1, ListRole::kSlot1Items, AnalysisMode::kCookies).replaced);
  EXPECT_EQ(Cells(slot1, 2) + Cells(slot2, 2), "1|v2|other|v2|later|");
}

TEST(RowEdits, SwapOnlyCounterpartsAsTheyWerePaired) {
  const NameRule exact{true, true}, anyCase{false, true}, fuzzy{true, false};
  const FuzzyMatch prefix = FuzzyMatch::kPrefix, anywhere = FuzzyMatch::kAnywhere;
  struct Case {
    const char *name1, *name2;
    int selected1, selected2;
    Pairing pairing;
    bool swapped;
  } cases[] = {
      {"sid", "SID", 0, 0, {Slot::k1, exact, prefix}, false},
      {"sid", "SID", 0, 0, {Slot::k1, anyCase, prefix}, true},
      {"sid", "sid_2", 0, 0, {Slot::k1, fuzzy, prefix}, true},  // as the analysis: Slot 2's name starts with Slot 1's
      {"sid_2", "sid", 0, 0, {Slot::k1, fuzzy, prefix}, false},
      // An item list's report finds the name anywhere in the other list's,
      // looking from the list the user moved in.
      {"id", "sid", 0, 0, {Slot::k1, fuzzy, prefix}, false},
      {"id", "sid", 0, 0, {Slot::k1, fuzzy, anywhere}, true},
      {"id", "sid", 0, 0, {Slot::k2, fuzzy, anywhere}, false},
      {"sid", "id", 0, 0, {Slot::k2, fuzzy, anywhere}, true},
      {"sid", "id", 0, 0, {Slot::k1, fuzzy, anywhere}, false},
      {"sid", "sid", -1, 0, {Slot::k1, exact, prefix}, false},  // would lose a value
      {"sid", "sid", 0, -1, {Slot::k2, exact, anywhere}, false},
  };
  for (const Case& c : cases) {
    RowTable slot1 = RowsOf({{c.name1, "one"}}), slot2 = RowsOf({{c.name2, "two"}});
    slot1.selected = c.selected1;
    slot2.selected = c.selected2;
    SwapOutcome out = SwapValues(slot1, slot2, c.pairing, AnalysisMode::kHttp);
    EXPECT_EQ(Cells(slot1, 2) + Cells(slot2, 2), c.swapped ? "two|one|" : "one|two|") << c.name1 << " " << c.name2;
    if (c.swapped) {
      EXPECT_EQ(out.hint, Gbk("操作提示:已将Http协议[1号]与[2号]中子项[") + c.name1 + Gbk("]的值相互调换"));
    }
    EXPECT_TRUE(IsHint(out.hint));
  }
  // A second row of the same name (duplicates kept) is not the counterpart,
  // from either side.
  for (Slot from : kSlots) {
    RowTable slot1 = RowsOf({{"a", "1"}, {"a", "4"}}), slot2 = RowsOf({{"a", "2"}, {"a", "3"}});
    slot1.selected = from == Slot::k1 ? 0 : 1;
    slot2.selected = from == Slot::k1 ? 1 : 0;
    EXPECT_FALSE(SwapValues(slot1, slot2, {from, exact, anywhere}, AnalysisMode::kCookies).swapped);
    EXPECT_EQ(Cells(slot1, 2) + Cells(slot2, 2), "1|4|2|3|");
  }
}

}  // namespace
}  // namespace ds
