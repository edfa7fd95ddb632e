#include "compare/analysis.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <map>
#include <random>

#include "tests/test_gbk.h"

#include "tests/test_rows.h"

#include "compare/texts.h"
#include "items/slot_parser.h"
#include "items/texts.h"

namespace ds {
namespace {

using test::RowsOf;

using Cells = std::vector<std::vector<Text>>;
Cells CellsOf(const std::vector<Row>& rows) {
  Cells out;
  for (const Row& r : rows) out.push_back(r.Cells());
  return out;
}

constexpr NameRule kExact{true, true}, kPrefix{true, false}, kNoCase{false, true}, kContains{false, false};

TEST(NameRule, TableOfTheFourCombinations) {
  struct Case {
    NameRule rule;
    const char* sought;
    const char* other;
    bool matches;
  } cases[] = {
      {kExact, "a", "a", true},          {kExact, "a", "A", false},       {kExact, "a", "ab", false},
      {kPrefix, "a", "ab", true},        {kPrefix, "b", "ab", false},     {kPrefix, "", "x", true},
      {kPrefix, "A", "ab", false},       {kNoCase, "Ab", "aB", true},     {kNoCase, "a", "ab", false},
      {kContains, "B", "xab", true},     {kContains, "", "x", true},      {kContains, "", "", false},
      {kContains, "\xD0", "\xD6\xD0", false},  // never inside a double-byte character
      {kNoCase, "\xC1" "a", "\xC1" "A", false},  // the trail byte of C1 61 is no letter
  };
  for (const Case& c : cases) {
    bool got = PreparedNamesMatch(PrepareName(c.sought, c.rule), PrepareName(c.other, c.rule), c.rule.exact,
                                  AnalysisFuzzyMatch(c.rule));
    EXPECT_EQ(got, c.matches) << c.sought << " ~ " << c.other << " cs=" << c.rule.caseSensitive
                              << " exact=" << c.rule.exact;
  }
}

TEST(Comparison, MissingAndDifferentRowsInRowOrder) {
  RowTable s1 = RowsOf({{"a", "1"}, {"b", "2"}, {"c", "3"}}), s2 = RowsOf({{"d", "4"}, {"b", "2"}, {"a", "X"}, {"e", "5"}});
  ComparisonLists l = CompareItemTables(s1, s2, kExact);
  EXPECT_EQ(CellsOf(l.missingInSlot2), (Cells{{"1", "c", "3"}}));
  EXPECT_EQ(CellsOf(l.missingInSlot1), (Cells{{"1", "d", "4"}, {"2", "e", "5"}}));
  EXPECT_EQ(CellsOf(l.different), (Cells{{"1", "a", "1", "X"}}));
  EXPECT_EQ(SummaryText(l, "Cookies"), test::Gbk("分析提示:[1号]缺少:2项   [2号]缺少:1项   Cookies值异同:1项"));
}

TEST(Comparison, CaseOfNamesFollowsTheSwitchButValuesAlwaysCompareByBytes) {
  RowTable s1 = RowsOf({{"Token", "abc"}}), s2 = RowsOf({{"token", "ABC"}});
  ComparisonLists strict = CompareItemTables(s1, s2, kExact);
  EXPECT_EQ(strict.missingInSlot1.size(), 1u);
  EXPECT_EQ(strict.missingInSlot2.size(), 1u);
  EXPECT_TRUE(strict.different.empty());
  for (NameRule rule : {kNoCase, kContains}) {
    ComparisonLists loose = CompareItemTables(s1, s2, rule);
    EXPECT_TRUE(loose.missingInSlot1.empty());
    EXPECT_EQ(CellsOf(loose.different), (Cells{{"1", "Token", "abc", "ABC"}}));
  }
  // A name ending in a lone lead byte folds alone: the next name's first
  // letter is still a letter.
  RowTable t1 = RowsOf({{"a\xD6", "1"}, {"Bc", "2"}}), t2 = RowsOf({{"bc", "2"}, {"A\xD6", "1"}});
  EXPECT_TRUE(CompareItemTables(t1, t2, kNoCase).missingInSlot2.empty());
}

TEST(Comparison, FuzzyMatchingIsOneSided) {
  RowTable s1 = RowsOf({{"a", "1"}}), s2 = RowsOf({{"ab", "2"}});
  for (NameRule rule : {kPrefix, kContains}) {
    ComparisonLists l = CompareItemTables(s1, s2, rule);
    EXPECT_EQ(CellsOf(l.different), (Cells{{"1", "a", "1", "2"}}));  // carries Slot 1's name
    EXPECT_EQ(CellsOf(l.missingInSlot1), (Cells{{"1", "ab", "2"}}));
    EXPECT_TRUE(l.missingInSlot2.empty());
  }
  // Containment anywhere only when case does not matter.
  RowTable t1 = RowsOf({{"b", "1"}}), t2 = RowsOf({{"ab", "1"}});
  EXPECT_EQ(CompareItemTables(t1, t2, kPrefix).missingInSlot2.size(), 1u);
  EXPECT_TRUE(CompareItemTables(t1, t2, kContains).missingInSlot2.empty());
  // The same holds when Slot 2's name is the one sought.
  EXPECT_EQ(CompareItemTables(t2, t1, kPrefix).missingInSlot1.size(), 1u);
  EXPECT_TRUE(CompareItemTables(t2, t1, kContains).missingInSlot1.empty());
}

TEST(Comparison, FirstCounterpartWins) {
  RowTable s1 = RowsOf({{"a", "1"}}), s2 = RowsOf({{"a", "2"}, {"a", "1"}});
  EXPECT_EQ(CellsOf(CompareItemTables(s1, s2, kExact).different), (Cells{{"1", "a", "1", "2"}}));
  RowTable u2 = RowsOf({{"xa", "2"}, {"A", "1"}});
  EXPECT_EQ(CellsOf(CompareItemTables(s1, u2, kContains).different), (Cells{{"1", "a", "1", "2"}}));
}

// Big lists go through the indexes: each row's counterpart must be the first
// row of the other list that a plain scan with the rule finds, across batch
// edges, with names repeated in any case, and with double-byte characters
// whose bytes also spell other characters when read from their middle.
TEST(Comparison, BigListsFindTheSameCounterpartsAsAPlainScan) {
  std::mt19937 rng(3);
  const char* pieces[] = {"sid", "Sid", "\xD6\xD0", "\xD0\xD6", "a", "x", ""};
  // Values name their row, so a difference row tells which counterpart it found.
  auto table = [&](const char* side) {
    RowTable t;
    for (int i = 0; i < 700; ++i) {
      Text name;
      for (size_t k = 1 + rng() % 3; k > 0; --k) name += pieces[rng() % 7];
      if (rng() % 2) name += std::to_string(rng() % 300);
      t.rows.push_back(Row{{ToText(i + 1), name, side + ToText(i)}});
    }
    return t;
  };
  RowTable s1 = table("a"), s2 = table("b");
  for (NameRule rule : {kExact, kNoCase, kPrefix, kContains}) {
    ComparisonLists got = CompareItemTables(s1, s2, rule);
    std::vector<Text> missing, different;
    for (const Row& row : s1.rows) {
      const Row* counterpart = nullptr;
      for (const Row& other : s2.rows)
        if (PreparedNamesMatch(PrepareName(row.Cell(1), rule), PrepareName(other.Cell(1), rule), rule.exact,
                               AnalysisFuzzyMatch(rule))) {
          counterpart = &other;
          break;
        }
      if (!counterpart) missing.emplace_back(row.Cell(1));
      else different.push_back(Text(row.Cell(1)) + "|" + Text(counterpart->Cell(2)));
    }
    std::vector<Text> gotMissing, gotDifferent;
    for (const Row& row : got.missingInSlot2) gotMissing.emplace_back(row.Cell(1));
    for (const Row& row : got.different) gotDifferent.push_back(Text(row.Cell(1)) + "|" + Text(row.Cell(3)));
    EXPECT_EQ(gotMissing, missing) << rule.caseSensitive << rule.exact;
    EXPECT_EQ(gotDifferent, different) << rule.caseSensitive << rule.exact;
  }
}

// Lists this long are compared one direction per core: every list must come
// out whole and numbered, each row against the first row of its name.
TEST(Comparison, LongListsMatchTheFirstRowOfEachName) {
  std::mt19937 rng(5);
  auto table = [&](const char* side) {
    RowTable t;
    for (int i = 0; i < 15000; ++i)
      t.rows.push_back(Row{ToText(i + 1), "n" + ToText(rng() % 20000), side + ToText(rng() % 2)});
    return t;
  };
  RowTable s1 = table("a"), s2 = table("a");
  auto firstRows = [](const RowTable& t) {
    std::map<Text, const Row*> first;
    for (const Row& row : t.rows) first.emplace(row.Cell(1), &row);
    return first;
  };
  // As pasted, and in byte order as a parse leaves them (found by walking).
  for (bool sorted : {false, true}) {
    if (sorted)
      for (RowTable* t : {&s1, &s2})
        std::stable_sort(t->rows.begin(), t->rows.end(), [](const Row& a, const Row& b) { return a.Cell(1) < b.Cell(1); });
    std::map<Text, const Row*> first1 = firstRows(s1), first2 = firstRows(s2);
    Cells missing1, missing2, different;
    for (const Row& row : s2.rows)
      if (!first1.count(Text(row.Cell(1)))) missing1.push_back({ToText(missing1.size() + 1), Text(row.Cell(1)), Text(row.Cell(2))});
    for (const Row& row : s1.rows) {
      auto other = first2.find(Text(row.Cell(1)));
      if (other == first2.end())
        missing2.push_back({ToText(missing2.size() + 1), Text(row.Cell(1)), Text(row.Cell(2))});
      else if (other->second->Cell(2) != row.Cell(2))
        different.push_back({ToText(different.size() + 1), Text(row.Cell(1)), Text(row.Cell(2)), Text(other->second->Cell(2))});
    }
    ComparisonLists got = CompareItemTables(s1, s2, kExact);
    EXPECT_EQ(CellsOf(got.missingInSlot1), missing1) << sorted;
    EXPECT_EQ(CellsOf(got.missingInSlot2), missing2) << sorted;
    EXPECT_EQ(CellsOf(got.different), different) << sorted;
  }
}

// The prepared names point into their own buffer, which for a few short
// names lives inside the string itself and moves with it.
TEST(Comparison, PreparedNamesStayReadableAfterAMove) {
  RowTable t = RowsOf({{"Ab", "1"}, {"c", "2"}});
  PreparedNames moved;
  moved = PrepareNames(t, kNoCase);
  PreparedNames again(std::move(moved));
  EXPECT_EQ(again.names, (std::vector<std::string_view>{"ab", "c"}));
}

TEST(Comparison, OneEmptySlotPutsEverythingInAMissingList) {
  RowTable empty, s2 = RowsOf({{"a", "1"}, {"b", "2"}, {"c", "3"}});
  ComparisonLists l = CompareItemTables(empty, s2, kExact);
  EXPECT_EQ(CellsOf(l.missingInSlot1), (Cells{{"1", "a", "1"}, {"2", "b", "2"}, {"3", "c", "3"}}));
}

}  // namespace
}  // namespace ds
