#include "compare/item_report.h"

#include <gtest/gtest.h>

#include "tests/test_rows.h"

#include "compare/texts.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

using test::RowsOf;

const Separators kCookies{";", "="};
const Separators kHttp{"\r\n", ":"};
constexpr NameRule kExact{true, true};

using test::Gbk;

std::string Expected(const char* len1, const char* len2, bool b1, bool b2, bool u1, bool u2, bool same) {
  auto yn = [](bool y) { return y ? "是" : "否"; };
  return Gbk(std::string("1号值 文本长度:") + len1 + "\r\n2号值 文本长度:" + len2 + "\r\n\r\n1号值 Base64编码:" + yn(b1) +
             "\r\n2号值 Base64编码:" + yn(b2) + "\r\n\r\n1号值 URL编码:" + yn(u1) + "\r\n2号值 URL编码:" + yn(u2) +
             "\r\n\r\n对比Cookies值:" + (same ? "相同" : "不同"));
}

TEST(ItemReport, CounterpartFoundFromEitherSide) {
  RowTable s1 = RowsOf({{"a", "abcd"}}), s2 = RowsOf({{"x", "1"}, {"a", "abcd"}});
  s1.selected = 0;
  ItemReport r = ItemReporter(s2, kExact).Report(s1.SelectedRow(), Slot::k1, kCookies, "Cookies");
  EXPECT_TRUE(r.shown);
  EXPECT_EQ(r.counterpart, 1);
  EXPECT_EQ(r.report, Expected("4", "4", true, true, false, false, true));
  EXPECT_EQ(r.content, "a=abcd;\r\n\r\na=abcd;\r\n");

  // From Slot 2: the first lines still describe the Slot 1 value.
  RowTable t1 = RowsOf({{"k", "%20"}}), t2 = RowsOf({{"k", "\xD6\xD0"}});
  ItemReport back = ItemReporter(t1, kExact).Report(&t2.rows[0], Slot::k2, kCookies, "Cookies");
  EXPECT_EQ(back.report, Expected("3", "2", false, false, true, true, false));
  EXPECT_EQ(back.content, "k=%20;\r\n\r\nk=\xD6\xD0;\r\n");

  // Each test answers for its own value.
  RowTable u2 = RowsOf({{"a", "a%2B"}});
  EXPECT_EQ(ItemReporter(u2, kExact).Report(s1.SelectedRow(), Slot::k1, kCookies, "Cookies").report,
            Expected("4", "4", true, false, false, true, false));
}

TEST(ItemReport, NoCounterpartAndEmptyLists) {
  RowTable s2 = RowsOf({{"b", "1"}});
  Row a{{"", "a", "1"}};
  ItemReport r = ItemReporter(s2, kExact).Report(&a, Slot::k1, kCookies, "Cookies");
  EXPECT_EQ(r.counterpart, -1);
  EXPECT_EQ(r.report, Gbk("Cookies2号中无对应Cookies项"));
  EXPECT_EQ(r.content, "a=1;\r\n");
  EXPECT_EQ(ItemReporter(s2, kExact).Report(&a, Slot::k2, kCookies, "Cookies").report,
            Gbk("Cookies1号中无对应Cookies项"));
  // No selected row: the two separators alone are emptied in Cookies mode only.
  EXPECT_EQ(ItemReporter(s2, kExact).Report(nullptr, Slot::k1, kCookies, "Cookies").content, "");
  EXPECT_EQ(ItemReporter(s2, kExact).Report(nullptr, Slot::k1, kHttp, "Cookies").content, ":\r\n");
  // With fuzzy names the empty name finds the first non-empty one.
  EXPECT_EQ(ItemReporter(s2, NameRule{true, false}).Report(nullptr, Slot::k1, kCookies, "Cookies").counterpart, 0);
  // An empty other list shows nothing.
  RowTable none;
  EXPECT_FALSE(ItemReporter(none, kExact).Report(&a, Slot::k1, kCookies, "Cookies").shown);
}

TEST(ItemReport, HttpContentHasOneEmptyLineBetweenItems) {
  RowTable s2 = RowsOf({{"Host", "b"}});
  Row host{{"", "Host", "a"}};
  EXPECT_EQ(ItemReporter(s2, kExact).Report(&host, Slot::k1, kHttp, "Cookies").content, "Host:a\r\n\r\nHost:b\r\n");
}

TEST(ItemReport, ReportContainmentIsAnywhereEvenWithCase) {
  // The analysis would need a prefix; the report takes the name anywhere.
  RowTable s2 = RowsOf({{"xab", "1"}});
  Row ab{{"", "ab", "1"}};
  EXPECT_EQ(ItemReporter(s2, NameRule{true, false}).Report(&ab, Slot::k1, kCookies, "Cookies").counterpart, 0);
  // Still with case: A does not find a.
  RowTable lower = RowsOf({{"a", "1"}});
  Row upper{{"", "A", "1"}};
  EXPECT_EQ(ItemReporter(lower, NameRule{true, false}).Report(&upper, Slot::k1, kCookies, "Cookies").counterpart, -1);
}

TEST(DifferenceContent, UsesOnlyTheValueSeparator) {
  Row a{{"", "a", "1"}}, b{{"", "a", "2"}};
  EXPECT_EQ(DifferenceContent(&a, &b, "="), "a=1\r\n\r\na=2\r\n");
  EXPECT_EQ(DifferenceContent(&a, nullptr, "="), "a=1\r\n\r\n=\r\n");
}

}  // namespace
}  // namespace ds
