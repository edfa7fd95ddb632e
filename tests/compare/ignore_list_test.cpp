#include "compare/ignore_list.h"

#include <gtest/gtest.h>

#include "compare/session.h"
#include "tests/test_gbk.h"
#include "tests/test_rows.h"

namespace ds {
namespace {

using test::Gbk;

TEST(IgnoreList, PatternsMatchWholeNamesByCharacter) {
  struct Case {
    std::string pattern, name;
    bool caseSensitive, matches;
  } cases[] = {
      {"_ga", "_ga", true, true},
      {"_ga", "_gab", true, false},  // the whole name, not a prefix
      {"_ga_*", "_ga_ABC123", true, true},
      {"_ga_*", "_ga", true, false},
      {"Hm_lvt_*", "hm_lvt_1", true, false},
      {"Hm_lvt_*", "hm_lvt_1", false, true},
      {"*id*", "x_request_id", true, true},
      {"a*b*c", "aXbYbZc", true, true},
      {"a*b*c", "aXbYbZ", true, false},
      {"?", Gbk("中"), true, true},   // one double-byte character
      {"??", Gbk("中"), true, false},
      {"*", "", true, true},
      // Only ASCII letters fold; the trail byte "A" of a double-byte
      // character stays as it is.
      {"\x81" "a", "\x81" "A", false, false},
      {"\\*", "*", true, true},
      {"\\*", "x", true, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IgnoreMatcher({c.pattern}, c.caseSensitive).Matches(c.name), c.matches)
        << c.pattern << " / " << c.name << " / " << c.caseSensitive;

  // A name ignored by the menu matches itself alone, even with wildcards and
  // a GBK trail byte that is a backslash.
  const std::string odd = "a*?\x81\\";
  IgnoreMatcher literal({LiteralPattern(odd)}, true);
  EXPECT_TRUE(literal.Matches(odd));
  EXPECT_FALSE(literal.Matches("aXY\x81\\"));
}

TEST(IgnoreList, PresetsCoverTheirNames) {
  IgnoreMatcher analytics(*IgnorePreset("analytics"), true);
  for (const char* name : {"_ga", "_ga_5XKQ", "_gid", "_gat_UA-1", "Hm_lvt_abc", "__utmz", "_hjSession_1"})
    EXPECT_TRUE(analytics.Matches(name)) << name;
  EXPECT_FALSE(analytics.Matches("session_id"));
  EXPECT_TRUE(IgnoreMatcher(*IgnorePreset("volatile"), false).Matches("cf-ray"));
  // HTTP/2 names arrive in lower case, also while letter case counts.
  IgnoreMatcher volatileNames(*IgnorePreset("volatile"), true);
  for (const char* name : {"Date", "date", "etag", "x-request-id", "traceparent"})
    EXPECT_TRUE(volatileNames.Matches(name)) << name;
  EXPECT_FALSE(volatileNames.Matches("DATE"));
  EXPECT_FALSE(IgnorePreset("none"));
}

TEST(IgnoreList, StoredFormKeepsEveryPattern) {
  std::vector<Text> patterns = {"a%09b", "tab\there", "cr\r\nlf", Gbk("中*"), "\"quoted\""};
  EXPECT_EQ(IgnoreListFromStored(StoredIgnoreList(patterns)), patterns);
  EXPECT_EQ(StoredIgnoreList(patterns).find_first_of("\t\r\n", 0) != Text::npos, true);  // tabs join them
  EXPECT_TRUE(IgnoreListFromStored("").empty());
  EXPECT_EQ(IgnoreListFromStored("a\t\tb"), (std::vector<Text>{"a", "b"}));
}

TEST(IgnoreList, AnalyseLeavesIgnoredNamesOutOfListsAndCounts) {
  AnalyseInput in{";", "=", "x", "y", AnalysisMode::kCookies, NameRule{}, {"_ga*", "sid"}};
  AnalyseResult r = RunAnalyse(in, test::RowsOf({{"_ga", "1"}, {"a", "1"}, {"b", "1"}, {"sid", "1"}}),
                               test::RowsOf({{"_ga", "2"}, {"_gat", "1"}, {"b", "2"}, {"c", "3"}}),
                               [](std::string_view, std::string_view) { return false; });
  ASSERT_EQ(r.lists.different.size(), 1u);
  EXPECT_EQ(r.lists.different[0].Cells(), (std::vector<Text>{"1", "b", "1", "2"}));  // numbered again
  ASSERT_EQ(r.lists.missingInSlot1.size(), 1u);
  EXPECT_EQ(r.lists.missingInSlot1[0].Cell(1), "c");
  EXPECT_EQ(r.lists.missingInSlot2.size(), 1u);  // "a"; "sid" left out
  EXPECT_EQ(r.ignored, (std::vector<Text>{"_gat", "sid", "_ga"}));
  EXPECT_EQ(r.summary, Gbk("分析提示:[1号]缺少:1项   [2号]缺少:1项   Cookies值异同:1项   已忽略:3项"));
  EXPECT_EQ(r.slot1.rows.size(), 4u);  // the item lists keep every item
}

TEST(IgnoreList, IgnoringAShownNameCountsItOnce) {
  ComparisonLists lists{{Row{{"1", "x", "1"}}},
                        {Row{{"1", "x", "2"}}, Row{{"2", "y", "1"}}},
                        {}};
  std::vector<Text> ignored = {"z"};
  Text summary = IgnoreInShownLists(lists, ignored, "X", false, "Cookies");
  EXPECT_EQ(ignored, (std::vector<Text>{"z", "x"}));
  EXPECT_EQ(lists.missingInSlot2.size(), 1u);
  EXPECT_EQ(lists.missingInSlot2[0].Cell(0), "1");
  EXPECT_EQ(summary, Gbk("分析提示:[1号]缺少:0项   [2号]缺少:1项   Cookies值异同:0项   已忽略:2项"));
}

}  // namespace
}  // namespace ds
