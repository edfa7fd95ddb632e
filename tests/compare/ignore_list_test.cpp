#include "compare/ignore_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

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

// Wildcards by their definition: a table of which pattern start matches
// which name start, character by character.
bool PlainMatch(const std::string& pattern, const std::string& name, bool caseSensitive) {
  auto chars = [](std::string_view t) {
    std::vector<std::string> out;
    for (size_t i = 0; i < t.size(); i += CharLength(t, i)) out.emplace_back(t.substr(i, CharLength(t, i)));
    return out;
  };
  std::vector<std::string> p = chars(caseSensitive ? pattern : ToLowerAscii(pattern));
  std::vector<std::string> n = chars(caseSensitive ? name : ToLowerAscii(name));
  std::vector<std::string> kinds;  // "*", "?" or "=" + the literal
  for (size_t i = 0; i < p.size(); ++i) {
    if (p[i] == "\\" && i + 1 < p.size())
      kinds.push_back("=" + p[++i]);
    else
      kinds.push_back(p[i] == "*" || p[i] == "?" ? p[i] : "=" + p[i]);
  }
  std::vector<std::vector<bool>> m(kinds.size() + 1, std::vector<bool>(n.size() + 1, false));
  m[0][0] = true;
  for (size_t t = 1; t <= kinds.size(); ++t)
    for (size_t c = 0; c <= n.size(); ++c) {
      const std::string& k = kinds[t - 1];
      if (k == "*")
        m[t][c] = m[t - 1][c] || (c > 0 && m[t][c - 1]);
      else if (c > 0)
        m[t][c] = m[t - 1][c - 1] && (k == "?" || k.substr(1) == n[c - 1]);
    }
  return m[kinds.size()][n.size()];
}

TEST(IgnoreList, MatchingAgreesWithTheDefinition) {
  std::mt19937 rng(11);
  const char* patternPieces[] = {"a", "A", "b", "?", "*", "\\*", "\\", "\xD6\xD0", "\x81", "ab"};
  const char* namePieces[] = {"a", "A", "b", "*", "\\", "\xD6\xD0", "\x81", "?"};
  auto anyPiece = [&] { return std::string(namePieces[rng() % 8]); };
  int matched = 0;
  for (int round = 0; round < 4300; ++round) {
    bool caseSensitive = round % 2 == 0;
    std::string pattern, name;
    if (round < 4000) {
      // A name made from the pattern, most of the time changed a little:
      // as many near misses as matches.
      for (size_t k = 1 + rng() % 10; k > 0; --k) {
        std::string piece = patternPieces[rng() % 10];
        pattern += piece;
        if (piece == "?") name += anyPiece();
        else if (piece == "*") for (size_t c = rng() % 4; c > 0; --c) name += anyPiece();
        else if (piece == "\\*") name += "*";
        else if (piece != "\\") name += piece;
      }
      switch (rng() % 4) {
        case 0: name += anyPiece(); break;
        case 1: if (!name.empty()) name.pop_back(); break;
        case 2: if (!name.empty()) name[rng() % name.size()] = "aAb*"[rng() % 4]; break;
      }
    } else {
      // Segments between stars longer than a word of bits.
      pattern = rng() % 2 ? "*" : "a*";
      for (size_t k = 60 + rng() % 90; k > 0; --k) pattern += rng() % 3 ? "a" : "?";
      pattern += rng() % 2 ? "b*" : "*b";
      for (size_t k = 100 + rng() % 150; k > 0; --k) name += rng() % 20 ? "a" : "b";
    }
    bool expected = PlainMatch(pattern, name, caseSensitive);
    matched += expected;
    ASSERT_EQ(IgnoreMatcher({pattern}, caseSensitive).Matches(name), expected)
        << pattern << " / " << name << " / " << caseSensitive;
  }
  EXPECT_GT(matched, 1000);
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

// The companion asks for places only: the same names leave the same lists,
// and the rows made from what is left are the window's, numbered again.
TEST(IgnoreList, PlacesLeaveTheSameNamesAsRows) {
  RowTable slot1 = test::RowsOf({{"_ga", "1"}, {"a", "1"}, {"b", "1"}, {"sid", "1"}, {"x", "1"}, {"_gat", "9"}});
  RowTable slot2 = test::RowsOf({{"_ga", "2"}, {"_gat", "1"}, {"b", "2"}, {"c", "3"}, {"sid", "2"}, {"x", "2"}});
  for (const std::vector<Text>& patterns : {std::vector<Text>{"_ga*", "sid"}, std::vector<Text>{"b"}, std::vector<Text>{}}) {
    IgnoreMatcher matcher(patterns, true);
    ComparisonLists lists = CompareItemTables(slot1, slot2, NameRule{});
    std::vector<Text> fromRows = LeaveOutIgnored(lists, matcher);
    ComparisonPairs pairs = PairItemTables(slot1, slot2, NameRule{});
    std::vector<Text> fromPlaces = LeaveOutIgnored(pairs, slot1, slot2, matcher);
    EXPECT_EQ(fromPlaces, fromRows) << patterns.size();
    ComparisonLists made = ListsOfPairs(pairs, slot1, slot2);
    for (auto [got, want] : {std::pair{&made.missingInSlot1, &lists.missingInSlot1},
                             std::pair{&made.missingInSlot2, &lists.missingInSlot2}, std::pair{&made.different, &lists.different}}) {
      ASSERT_EQ(got->size(), want->size()) << patterns.size();
      for (size_t i = 0; i < got->size(); ++i) EXPECT_EQ((*got)[i].Cells(), (*want)[i].Cells()) << patterns.size();
    }
  }
  AnalyseInput in{";", "=", "x", "y", AnalysisMode::kCookies, NameRule{}, {"_ga*"}, false};
  AnalyseResult r = RunAnalyse(in, slot1, slot2, [](std::string_view, std::string_view) { return false; });
  EXPECT_TRUE(r.lists.missingInSlot1.empty() && r.lists.missingInSlot2.empty() && r.lists.different.empty());
  EXPECT_EQ(r.pairs.missingInSlot1, (std::vector<int>{3}));  // "c", Slot 2's fourth row
  EXPECT_EQ(r.pairs.missingInSlot2, (std::vector<int>{1}));  // "a"
  EXPECT_EQ(r.pairs.different, (std::vector<std::pair<int, int>>{{2, 2}, {3, 4}, {4, 5}}));
  EXPECT_EQ(r.summary, Gbk("分析提示:[1号]缺少:1项   [2号]缺少:1项   Cookies值异同:3项   已忽略:2项"));
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
