#include "compare/list_copy.h"

#include <gtest/gtest.h>

#include "tests/test_gbk.h"
#include "tests/test_rows.h"

namespace ds {
namespace {

using test::Gbk;
using test::RowsOf;

const Separators kCookies{";", "="};
const Separators kHttp{"\r\n", ":"};
const std::string kHttpWord = Gbk("Http协议");
const Row kDiffRow{{"1", "sid", "42", "43"}};

TEST(CopyAll, HintNamesTheListItself) {
  EXPECT_EQ(CopyAllHint(ListRole::kSlot2Items, kHttpWord), Gbk("操作提示:已复制Http协议[2号]全部数据"));
  EXPECT_EQ(CopyAllHint(ListRole::kSlot1Missing, kHttpWord), Gbk("操作提示:已复制Http协议[1号]缺少的Cookies数据"));
  EXPECT_FALSE(CopyAllHint(ListRole::kDifferences, kHttpWord).has_value());
  // A difference row copies its Slot 1 value; a value holding a separator goes as it is.
  EXPECT_EQ(SlotTextOfRows({Row{{"1", "k", "x;y", "v2"}}}, kCookies), "k=x;y;");
}

struct Lists {
  RowTable items1 = RowsOf({{"a", "1"}, {"b", "2"}}), missing1 = RowsOf({{"c", "3"}});
  RowTable items2 = RowsOf({{"a", "1"}, {"c", "3"}}), missing2;
  CompletedInput Input(ListRole role, const RowTable& current, FocusedList focused) const {
    return {role, &current.rows, focused, &items1.rows, &missing1.rows, &items2.rows, &missing2.rows};
  }
};

TEST(CopyCompleted, CompletesTheFocusedSlotOrCopiesItWhole) {
  Lists l;
  CopyResult r = CopyCompleted(l.Input(ListRole::kSlot1Missing, l.missing1, FocusedList::kSlot1Missing), kHttp,
                               kHttpWord);
  EXPECT_EQ(r.text, "a:1\r\nb:2\r\nc:3\r\n");
  EXPECT_EQ(r.hint, Gbk("操作提示:已将Http协议[1号]缺少缺少的Http协议值补全,并复制！"));
  // Nothing to complete: "Cokies" and "Cookies项" are the program's own text.
  r = CopyCompleted(l.Input(ListRole::kSlot2Items, l.items2, FocusedList::kSlot2Items), kCookies, kHttpWord);
  EXPECT_EQ(r.text, "a=1;c=3;");
  EXPECT_EQ(r.hint, Gbk("操作提示:Http协议[2号]相对[1号]没有需要补全的Http协议项,已复制Http协议[2号]全部项!"));
  l.missing1.rows.clear();
  r = CopyCompleted(l.Input(ListRole::kSlot1Items, l.items1, FocusedList::kSlot1Items), kCookies, "Cookies");
  EXPECT_EQ(r.hint, Gbk("操作提示:Cookies[1号]相对[2号]没有需要补全的Cookies项,已复制Cokies[1号]全部项!"));
  // Each slot is completed with what it lacks, never with the other's list.
  l.missing1 = RowsOf({{"c", "3"}});
  l.missing2 = RowsOf({{"b", "2"}});
  for (FocusedList focused : {FocusedList::kSlot2Items, FocusedList::kSlot2Missing}) {
    r = CopyCompleted(l.Input(ListRole::kSlot2Items, l.items2, focused), kCookies, "Cookies");
    EXPECT_EQ(r.text, "a=1;c=3;b=2;");
    EXPECT_EQ(CompletedRowsOf(l.Input(ListRole::kSlot2Items, l.items2, focused))->slot, Slot::k2);
  }
  r = CopyCompleted(l.Input(ListRole::kSlot1Missing, l.missing1, FocusedList::kSlot1Items), kCookies, "Cookies");
  EXPECT_EQ(r.text, "a=1;b=2;c=3;");
  // No list of a slot focused: the clipboard keeps its content.
  r = CopyCompleted(l.Input(ListRole::kDifferences, l.items1, FocusedList::kOther), kCookies, "Cookies");
  EXPECT_FALSE(r.text.has_value());
  EXPECT_TRUE(r.hint.has_value());
}

TEST(CopyAs, HintNamesTheFormatTheCountAndTheCompletedList) {
  Lists l;
  std::optional<CompletedRows> completed =
      CompletedRowsOf(l.Input(ListRole::kSlot1Missing, l.missing1, FocusedList::kSlot1Missing));
  ASSERT_TRUE(completed);
  EXPECT_EQ(completed->slot, Slot::k1);
  std::vector<Row> rows = Joined(*completed);
  ExportTarget target{"https://h.cn/", "GET"};
  CopyAsResult r = CopyRowsAs(*ExporterNamed("cookie-header", AnalysisMode::kCookies),
                              {rows, AnalysisMode::kCookies, target}, ListRole::kSlot1Missing, "Cookies");
  EXPECT_EQ(r.copy.text, "Cookie: a=1; b=2; c=3\r\n");
  EXPECT_EQ(r.copy.hint, Gbk("操作提示:已将Cookies[1号]缺少缺少的Cookies值补全,并复制3项为Cookie头部"));
  r = CopyRowsAs(*ExporterNamed("python", AnalysisMode::kHttp), {l.items2.rows, AnalysisMode::kHttp, target},
                 std::nullopt, kHttpWord);
  EXPECT_EQ(r.copy.hint, Gbk("操作提示:已复制2项为Python requests字典"));
  // A refusal copies nothing and leaves the status bar to the message.
  std::vector<Row> bad = RowsOf({{"a", "x,y"}}).rows;
  r = CopyRowsAs(*ExporterNamed("powershell", AnalysisMode::kCookies), {bad, AnalysisMode::kCookies, target},
                 std::nullopt, "Cookies");
  EXPECT_TRUE(r.refusal);
  EXPECT_FALSE(r.copy.text);
  EXPECT_FALSE(r.copy.hint);
}

TEST(CopyOfRow, PartsOfTheSelectedRow) {
  Row diff{{"1", "sid", "42", "43"}};
  Row item{{"1", "sid", "42"}};
  struct Case {
    RowCopy what;
    const Row* row;
    const char* text;
    const char* hint;  // nullptr: none
  } cases[] = {
      {RowCopy::kLine, &item, "sid:42\r\n\r\n", "操作提示:已复制当前行[Http协议=值]数据"},
      {RowCopy::kName, &diff, "sid", "操作提示:已复制当前项Http协议[名]"},
      {RowCopy::kSlot1Form, &diff, "sid:42\r\n", nullptr},
      {RowCopy::kSlot2Form, &diff, "sid:43\r\n", nullptr},
      {RowCopy::kValue, &diff, "42", "操作提示:已复制当前项Http协议[值]"},
      {RowCopy::kSlot2Form, &item, "sid:\r\n", nullptr},  // no column 3
  };
  for (const Case& c : cases) {
    CopyResult r = CopyOfRow(c.what, c.row, kHttp, kHttpWord);
    EXPECT_EQ(r.text, c.text);
    EXPECT_EQ(r.hint, c.hint ? std::optional<Text>(Gbk(c.hint)) : std::nullopt) << c.text;
  }
  // No selected row: nothing copied, and a hint says why.
  CopyResult none = CopyOfRow(RowCopy::kSlot1Form, nullptr, kCookies, "Cookies");
  EXPECT_FALSE(none.text.has_value());
  EXPECT_EQ(none.hint.value_or("").rfind(Gbk("操作提示:"), 0), 0u);
}

// A copy whose ANSI text reached the clipboard is done, whatever became of
// the Unicode form; otherwise the hint says why nothing was copied.
TEST(CopyOfRow, HintOnceTheClipboardWasWritten) {
  const CopyResult line{Text("a=1;"), Gbk("操作提示:已复制当前行[Cookies=值]数据")};
  EXPECT_EQ(HintAfterCopy(line, true, true), line.hint);
  EXPECT_EQ(HintAfterCopy(line, false, false), Gbk("操作提示:复制失败,剪贴板正被其他程序占用！"));
  EXPECT_EQ(HintAfterCopy(line, true, false), Gbk("操作提示:复制失败,无法写入剪贴板！"));
  // Nothing to copy: the copy's own hint, or none.
  CopyResult nothing;
  EXPECT_FALSE(HintAfterCopy(nothing, false, false).has_value());
  nothing.hint = Gbk("操作提示:请先选中一行,再复制！");
  EXPECT_EQ(HintAfterCopy(nothing, false, false), nothing.hint);
  // A difference row's form carries no hint: the status bar keeps its text.
  CopyResult form = CopyOfRow(RowCopy::kSlot1Form, &kDiffRow, kCookies, "Cookies");
  EXPECT_FALSE(HintAfterCopy(form, true, true).has_value());
}

}  // namespace
}  // namespace ds
