#include "compare/search.h"

#include <gtest/gtest.h>

#include "tests/test_gbk.h"
#include "tests/test_rows.h"

namespace ds {
namespace {

using test::Gbk;
using test::RowsOf;

constexpr NameRule kPrefix{true, true}, kContains{true, false}, kPrefixNoCase{false, true}, kContainsNoCase{false, false};

// Only the names of each block, in order.
std::string Slot1Names(const RowTable& slot1, std::string_view text, const NameRule& rule) {
  Text result = SearchResult(slot1, {}, text, rule, "Cookies");
  Text head = Gbk("Cookies 1号:\r\n"), tail = Gbk("\r\nCookies 2号:\r\n");
  EXPECT_EQ(result.substr(0, head.size()), head);
  EXPECT_EQ(result.substr(result.size() - tail.size()), tail);
  return result.substr(head.size(), result.size() - head.size() - tail.size());
}

TEST(Search, ExactMeansBeginsWithAndCaseFoldsOnlyWhenAsked) {
  RowTable slot1 = RowsOf({{"sid", "1"}, {"SID_B", "2"}, {"xsid", "3"}});
  EXPECT_EQ(Slot1Names(slot1, "si", kPrefixNoCase), "sid\r\nSID_B\r\n");  // listed in the list's case
  EXPECT_EQ(Slot1Names(slot1, "si", kContainsNoCase), "sid\r\nSID_B\r\nxsid\r\n");
  EXPECT_EQ(Slot1Names(slot1, "si", kPrefix), "sid\r\n");
  EXPECT_EQ(Slot1Names(slot1, "si", kContains), "sid\r\nxsid\r\n");
  EXPECT_EQ(Slot1Names(slot1, "SI", kPrefixNoCase), "sid\r\nSID_B\r\n");  // the search text folds too
}

TEST(Search, ResultListsBothSlotsTwiceNamedItemsTwiceAndNoEmptyNames) {
  RowTable slot1 = RowsOf({{"a", "1"}, {"", "x"}, {"a", "2"}}), slot2 = RowsOf({{"b", "1"}});
  EXPECT_EQ(SearchResult(slot1, slot2, "", kPrefix, Gbk("Http协议")),
            Gbk("Http协议 1号:\r\na\r\na\r\n\r\nHttp协议 2号:\r\nb\r\n"));
  EXPECT_EQ(SearchResult(slot1, slot2, "[#查找#]", kContainsNoCase, "Cookies"),
            Gbk("Cookies 1号:\r\n\r\nCookies 2号:\r\n"));
}

TEST(Search, DoubleByteCharactersAreNeverSplitByFoldingOrFinding) {
  // C1 41 is one character: its trail byte is no 'A'.
  RowTable slot1 = RowsOf({{"\xC1" "A", "1"}, {"\xD6\xD0", "2"}});
  EXPECT_EQ(Slot1Names(slot1, "\xC1" "a", kPrefixNoCase), "");
  EXPECT_EQ(Slot1Names(slot1, "a", kContainsNoCase), "");
  EXPECT_EQ(Slot1Names(slot1, "\xD0", kContains), "");  // not inside 中
  // A lone lead byte is compared as the byte it is.
  EXPECT_EQ(Slot1Names(slot1, "\xD6", kPrefix), "\xD6\xD0\r\n");
  EXPECT_EQ(Slot1Names(slot1, "\xC1", kContainsNoCase), "\xC1" "A\r\n");
}

TEST(Search, AHugeSearchTextMatchesNothingAndEndsAtOnce) {
  RowTable slot1 = RowsOf({{"a", "1"}});
  Text huge(1 << 20, 'a');
  huge.back() = '\xB0';
  for (const NameRule& rule : {kPrefix, kContains, kPrefixNoCase, kContainsNoCase})
    EXPECT_EQ(Slot1Names(slot1, huge, rule), "");
}

TEST(Locate, ALineLosesItsTrailingSpacesOnly) {
  EXPECT_EQ(LocatedName("sid  "), "sid");
  EXPECT_EQ(LocatedName("   "), "");
  EXPECT_EQ(LocatedName(" a b "), " a b");
  EXPECT_EQ(LocatedName("\xD6\xD0 "), "\xD6\xD0");
}

}  // namespace
}  // namespace ds
