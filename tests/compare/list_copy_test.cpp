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

TEST(CopyAll, SlotTextOfRows) {
  RowTable rows = RowsOf({{"a", "1"}, {"b", ""}, {"c", "x;y=z"}});
  EXPECT_EQ(SlotTextOfRows(rows.rows, kCookies), "a=1;b=;c=x;y=z;");
  EXPECT_EQ(SlotTextOfRows(rows.rows, kHttp), "a:1\r\nb:\r\nc:x;y=z\r\n");
  EXPECT_EQ(SlotTextOfRows({}, kCookies), "");
  // A difference row copies its Slot 1 value (column 2), not column 3.
  Row diff{{"1", "k", "v1", "v2"}, 0, false, {}};
  EXPECT_EQ(SlotTextOfRows({diff}, kCookies), "k=v1;");
}

TEST(CopyAll, HintNamesTheListItself) {
  struct Case {
    ListRole list;
    const char* hint;  // nullptr: none
  } cases[] = {
      {ListRole::kSlot1Items, "操作提示:已复制Http协议[1号]全部数据"},
      {ListRole::kSlot2Items, "操作提示:已复制Http协议[2号]全部数据"},
      {ListRole::kSlot1Missing, "操作提示:已复制Http协议[1号]缺少的Cookies数据"},
      {ListRole::kSlot2Missing, "操作提示:已复制Http协议[2号]缺少的Cookies数据"},
      {ListRole::kDifferences, nullptr},
      {ListRole::kNone, nullptr},
  };
  for (const Case& c : cases) {
    std::optional<Text> hint = CopyAllHint(c.list, kHttpWord);
    if (c.hint)
      EXPECT_EQ(hint, Gbk(c.hint)) << c.hint;
    else
      EXPECT_FALSE(hint.has_value());
  }
}

struct Lists {
  RowTable items1 = RowsOf({{"a", "1"}, {"b", "2"}});
  RowTable missing1 = RowsOf({{"c", "3"}});
  RowTable items2 = RowsOf({{"a", "1"}, {"c", "3"}});
  RowTable missing2 = RowsOf({{"b", "2"}});
  RowTable none;

  CompletedInput Input(ListRole role, const RowTable& current, FocusedList focused) const {
    return {role, &current.rows, focused, &items1.rows, &missing1.rows, &items2.rows, &missing2.rows};
  }
};

TEST(CopyCompleted, CompletesTheFocusedSlot) {
  Lists l;
  CopyResult r = CopyCompleted(l.Input(ListRole::kSlot1Items, l.items1, FocusedList::kSlot1Items), kCookies, "Cookies");
  EXPECT_EQ(r.text, "a=1;b=2;c=3;");
  EXPECT_EQ(r.hint, Gbk("操作提示:已将Cookies[1号]缺少的Cookies值补全,并复制！"));

  // From the missing list the same text, and the hint names that list.
  r = CopyCompleted(l.Input(ListRole::kSlot1Missing, l.missing1, FocusedList::kSlot1Missing), kCookies, "Cookies");
  EXPECT_EQ(r.text, "a=1;b=2;c=3;");
  EXPECT_EQ(r.hint, Gbk("操作提示:已将Cookies[1号]缺少缺少的Cookies值补全,并复制！"));

  r = CopyCompleted(l.Input(ListRole::kSlot2Missing, l.missing2, FocusedList::kSlot2Missing), kHttp, kHttpWord);
  EXPECT_EQ(r.text, "a:1\r\nc:3\r\nb:2\r\n");
  EXPECT_EQ(r.hint, Gbk("操作提示:已将Http协议[2号]缺少缺少的Http协议值补全,并复制！"));

  // The focus decides which slot, not the title; no list focused: no copy.
  r = CopyCompleted(l.Input(ListRole::kSlot1Missing, l.missing1, FocusedList::kSlot2Items), kCookies, "Cookies");
  EXPECT_EQ(r.text, "a=1;c=3;b=2;");
  r = CopyCompleted(l.Input(ListRole::kDifferences, l.none, FocusedList::kOther), kCookies, "Cookies");
  EXPECT_FALSE(r.text.has_value());
  EXPECT_EQ(r.hint, Gbk("操作提示:已将Cookies值异同列表缺少的Cookies值补全,并复制！"));
}

TEST(CopyCompleted, NothingToCompleteCopiesTheCurrentList) {
  Lists l;
  l.missing1.rows.clear();
  l.missing2.rows.clear();
  CopyResult r = CopyCompleted(l.Input(ListRole::kSlot1Items, l.items1, FocusedList::kSlot1Items), kHttp, kHttpWord);
  EXPECT_EQ(r.text, "a:1\r\nb:2\r\n");
  // "Cokies" and the fixed "Cookies项" are the program's own text.
  EXPECT_EQ(r.hint, Gbk("操作提示:Http协议[1号]相对[2号]没有需要补全的Cookies项,已复制Cokies[1号]全部项!"));
  r = CopyCompleted(l.Input(ListRole::kSlot2Items, l.items2, FocusedList::kSlot2Items), kHttp, kHttpWord);
  EXPECT_EQ(r.text, "a:1\r\nc:3\r\n");
  EXPECT_EQ(r.hint, Gbk("操作提示:Http协议[2号]相对[1号]没有需要补全的Http协议项,已复制Http协议[2号]全部项!"));

  // Missing lists that were never filled count as empty.
  CompletedInput bare{ListRole::kSlot1Items, nullptr, FocusedList::kSlot1Items, nullptr, nullptr, nullptr, nullptr};
  EXPECT_EQ(CopyCompleted(bare, kCookies, "Cookies").text, "");
}

TEST(CopyOfRow, PartsOfTheSelectedRow) {
  Row diff{{"1", "sid", "42", "43"}, 0, false, {}};
  Row item{{"1", "sid", "42"}, 0, false, {}};
  struct Case {
    RowCopy what;
    const Row* row;
    Separators separators;
    const char* text;
    const char* hint;  // nullptr: none
  } cases[] = {
      {RowCopy::kLine, &item, kCookies, "sid=42;\r\n", "操作提示:已复制当前行[Http协议=值]数据"},
      {RowCopy::kLine, &item, kHttp, "sid:42\r\n\r\n", "操作提示:已复制当前行[Http协议=值]数据"},
      {RowCopy::kName, &diff, kHttp, "sid", "操作提示:已复制当前项Http协议[名]"},
      {RowCopy::kValue, &diff, kHttp, "42", "操作提示:已复制当前项Http协议[值]"},
      {RowCopy::kSlot1Form, &diff, kCookies, "sid=42;", nullptr},
      {RowCopy::kSlot2Form, &diff, kCookies, "sid=43;", nullptr},
      // An item list has no column 3: the separators alone.
      {RowCopy::kSlot2Form, &item, kHttp, "sid:\r\n", nullptr},
  };
  for (const Case& c : cases) {
    CopyResult r = CopyOfRow(c.what, c.row, c.separators, kHttpWord);
    EXPECT_EQ(r.text, c.text) << c.text;
    if (c.hint)
      EXPECT_EQ(r.hint, Gbk(c.hint));
    else
      EXPECT_FALSE(r.hint.has_value()) << c.text;
  }
}

TEST(CopyOfRow, NoSelectedRowCopiesNothing) {
  for (RowCopy what : {RowCopy::kLine, RowCopy::kName, RowCopy::kValue, RowCopy::kSlot1Form, RowCopy::kSlot2Form}) {
    CopyResult r = CopyOfRow(what, nullptr, kCookies, "Cookies");
    EXPECT_FALSE(r.text.has_value());
    ASSERT_TRUE(r.hint.has_value());
    EXPECT_EQ(r.hint->rfind(Gbk("操作提示:"), 0), 0u);
  }
  EXPECT_EQ(ClipboardFailedHint().rfind(Gbk("操作提示:"), 0), 0u);
}

}  // namespace
}  // namespace ds
