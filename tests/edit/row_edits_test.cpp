#include "edit/row_edits.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/test_gbk.h"
#include "tests/test_rows.h"

namespace ds {
namespace {

using test::Gbk;
using test::RowsOf;

std::vector<std::string> Column(const RowTable& table, size_t column) {
  std::vector<std::string> cells;
  for (const Row& row : table.rows) cells.push_back(row.Cell(column));
  return cells;
}

TEST(ModifyRow, WritesTheValueAndNamesTheTitleAsItStands) {
  EXPECT_EQ(ModifyPrompt("sid", AnalysisMode::kHttp),
            Gbk("修改Http协议:[sid]的值;    快捷键:Enter(回车键)确定修改 - Esc(返回)"));
  RowTable list = RowsOf({{"a", "1"}, {"sid", "old"}});
  EXPECT_EQ(ModifyRow(list, 1, "n;e=w", ListRole::kSlot2Items), Gbk("操作提示:已修改Cookies[2号]中的子项[sid]的值为:n;e=w"));
  EXPECT_EQ(Column(list, 2), (std::vector<std::string>{"1", "n;e=w"}));
  EXPECT_EQ(ModifyRow(list, 0, "", ListRole::kSlot1Items), Gbk("操作提示:已修改Cookies[1号]中的子项[a]的值为:"));
  // The list was refilled while the editor was open: nothing is written.
  EXPECT_FALSE(ModifyRow(list, 2, "x", ListRole::kSlot1Items).has_value());
  EXPECT_FALSE(ModifyRow(list, -1, "x", ListRole::kSlot1Items).has_value());
  EXPECT_EQ(Column(list, 2), (std::vector<std::string>{"", "n;e=w"}));
}

TEST(DeleteSelectedRow, RenumbersAndKeepsARowSelectedForTheKey) {
  struct Case {
    int selected;
    bool key;
    std::vector<std::string> names;
    int selectedAfter;
    const char* hint;  // nullptr: nothing deleted, a hint of its own
  } cases[] = {
      {1, true, {"a", "c"}, 1, "操作提示:已删除Http协议[1号]中的子项[b]"},  // the row that moved up
      {2, true, {"a", "b"}, 1, "操作提示:已删除Http协议[1号]中的子项[c]"},  // the new last row
      // From the menu the selection goes with its row.
      {0, false, {"b", "c"}, -1, "操作提示:已删除Http协议[1号]中的子项[a]"},
      {-1, true, {"a", "b", "c"}, -1, nullptr},
      {7, true, {"a", "b", "c"}, 7, nullptr},  // a stale selection deletes nothing
  };
  for (const Case& c : cases) {
    RowTable list = RowsOf({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    list.selected = c.selected;
    Text hint = DeleteSelectedRow(list, ListRole::kSlot1Items, AnalysisMode::kHttp, c.key);
    EXPECT_EQ(Column(list, 1), c.names) << c.selected;
    EXPECT_EQ(list.selected, c.selectedAfter) << c.selected;
    if (c.hint) {
      EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"1", "2"}));
      EXPECT_EQ(hint, Gbk(c.hint));
    } else {
      EXPECT_EQ(hint.rfind(Gbk("操作提示:"), 0), 0u);
    }
  }
  RowTable only = RowsOf({{"a", "1"}});
  only.selected = 0;
  EXPECT_EQ(DeleteSelectedRow(only, ListRole::kSlot2Items, AnalysisMode::kCookies, true),
            Gbk("操作提示:已删除Cookies[2号]中的子项[a]"));
  EXPECT_TRUE(only.rows.empty());
  EXPECT_EQ(only.selected, -1);
}

TEST(ReplaceValue, TakesTheValueOfTheRowFoundByName) {
  RowTable slot1 = RowsOf({{"a", "1"}, {"sid", "v1"}});
  RowTable slot2 = RowsOf({{"x", "other"}, {"sid", "v2"}, {"sid", "later"}});
  slot1.selected = 1;
  slot2.selected = 0;  // out of step with Slot 1
  ReplaceOutcome r = ReplaceValue(slot1, slot2, Slot::k1, ListRole::kSlot1Items, AnalysisMode::kHttp);
  EXPECT_TRUE(r.replaced);
  EXPECT_EQ(r.value, "v2");
  EXPECT_EQ(Column(slot1, 2), (std::vector<std::string>{"1", "v2"}));
  EXPECT_EQ(r.hint, Gbk("操作提示:已将Http协议[1号]中子项[sid]的值替换为:v2"));

  // Byte for byte: a name in another letter case is not there.
  RowTable upper = RowsOf({{"SID", "v"}});
  slot2.selected = 1;
  r = ReplaceValue(slot2, upper, Slot::k2, ListRole::kSlot2Items, AnalysisMode::kCookies);
  EXPECT_FALSE(r.replaced);
  EXPECT_EQ(r.hint, Gbk("操作提示:Cookies 1号中没有[sid]子项,操作失败！"));
  r = ReplaceValue(slot1, upper, Slot::k1, ListRole::kSlot1Items, AnalysisMode::kCookies);
  EXPECT_EQ(r.hint, Gbk("操作提示:Cookies 2号中没有[sid]子项,操作失败！"));
  EXPECT_EQ(Column(slot2, 2), (std::vector<std::string>{"other", "v2", "later"}));

  // No selected row in the target: nothing written, a hint says why.
  slot1.selected = -1;
  r = ReplaceValue(slot1, slot2, Slot::k1, ListRole::kSlot1Items, AnalysisMode::kCookies);
  EXPECT_FALSE(r.replaced);
  EXPECT_EQ(Column(slot1, 2), (std::vector<std::string>{"1", "v2"}));
  EXPECT_EQ(r.hint.rfind(Gbk("操作提示:"), 0), 0u);
}

TEST(SwapValues, OnlyCounterpartsUnderTheRuleSwap) {
  struct Case {
    const char* name1;
    const char* name2;
    int selected1, selected2;
    NameRule rule;
    bool swapped;
  } cases[] = {
      {"sid", "sid", 0, 0, {true, true}, true},
      {"sid", "SID", 0, 0, {true, true}, false},
      {"sid", "SID", 0, 0, {false, true}, true},
      {"sid", "sid_2", 0, 0, {true, false}, true},  // fuzzy: Slot 2's name starts with Slot 1's
      {"sid_2", "sid", 0, 0, {true, false}, false},
      {"sid", "x_SID", 0, 0, {false, false}, true},  // anywhere without case
      // One side without a selection would lose a value.
      {"sid", "sid", -1, 0, {true, true}, false},
      {"sid", "sid", 0, -1, {true, true}, false},
  };
  for (const Case& c : cases) {
    RowTable slot1 = RowsOf({{c.name1, "one"}}), slot2 = RowsOf({{c.name2, "two"}});
    slot1.selected = c.selected1;
    slot2.selected = c.selected2;
    SwapOutcome out = SwapValues(slot1, slot2, c.rule, AnalysisMode::kHttp);
    EXPECT_EQ(out.swapped, c.swapped) << c.name1 << " " << c.name2;
    EXPECT_EQ(slot1.rows[0].Cell(2), c.swapped ? "two" : "one") << c.name1 << " " << c.name2;
    EXPECT_EQ(slot2.rows[0].Cell(2), c.swapped ? "one" : "two") << c.name1 << " " << c.name2;
    if (c.swapped)
      EXPECT_EQ(out.hint, Gbk("操作提示:已将Http协议[1号]与[2号]中子项[") + c.name1 + Gbk("]的值相互调换"));
    else
      EXPECT_EQ(out.hint.rfind(Gbk("操作提示:"), 0), 0u);
  }
  EXPECT_EQ(ReloadHint(), Gbk("操作提示:已重新载入原始数据！:"));
}

}  // namespace
}  // namespace ds
