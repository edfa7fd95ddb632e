#include "items/item_sort.h"

#include <gtest/gtest.h>

#include "tests/items/plain_insertion.h"

#include <random>

namespace ds {
namespace {

RowTable TableOf(std::initializer_list<const char*> names) {
  RowTable t;
  int n = 0;
  for (const char* name : names) {
    t.rows.push_back(Row{ToText(++n), name, std::string("v") + name});
  }
  return t;
}

std::vector<Text> Names(const RowTable& t) {
  std::vector<Text> out;
  for (const Row& r : t.rows) out.emplace_back(r.Cell(1));
  return out;
}

using V = std::vector<Text>;

TEST(ItemSort, TieRulesDecideTheOrderOfEqualNames) {
  struct Case {
    std::initializer_list<const char*> in;
    V out;
  } cases[] = {
      {{"b", "_x", "B", "a"}, {"_x", "a", "b", "B"}},  // B equals the last key b: after it
      {{"a", "c", "A"}, {"A", "a", "c"}},              // A equals the first key a: before it
      {{"b", "A", "a"}, {"a", "A", "b"}},
      // Equal to a probed middle key: right after that key.
      {{"a", "m", "z", "M"}, {"a", "m", "M", "z"}},
      {{}, {}},
      {{" b", "a "}, {"a ", " b"}},  // keys are trimmed, cells are not
  };
  for (const Case& c : cases) {
    RowTable t = TableOf(c.in);
    SortItemRows(t, 1, true, false);
    EXPECT_EQ(Names(t), c.out);
  }
}

TEST(ItemSort, CaseSensitiveOrderIsByBytes) {
  RowTable t = TableOf({"b", "a", "B", "A"});
  SortItemRows(t, 1, true, true);
  EXPECT_EQ(Names(t), (V{"A", "B", "a", "b"}));
  SortItemRows(t, 1, false, true);
  EXPECT_EQ(Names(t), (V{"b", "a", "B", "A"}));
}

TEST(ItemSort, CarriesRowDataAndRestoresTheSelection) {
  RowTable t = TableOf({"c", "a", "b"});
  t.rows[0].SetChecked(true);
  t.rows[2].tag = 77;
  t.selected = 0;  // "c", tag 0: marked with 1
  SortResult r = SortItemRows(t, 1, true, false);
  ASSERT_EQ(Names(t), (V{"a", "b", "c"}));
  EXPECT_EQ(t.rows[2].Cell(2), "vc");
  EXPECT_TRUE(t.rows[2].Checked());
  EXPECT_EQ(t.rows[1].tag, 77);
  EXPECT_EQ(t.rows[2].tag, 1);
  EXPECT_EQ(t.selected, 2);
  EXPECT_TRUE(r.selectionRestored);

  t.selected = 1;  // "b" keeps its own tag 77
  SortItemRows(t, 1, false, false);
  EXPECT_EQ(Names(t), (V{"c", "b", "a"}));
  EXPECT_EQ(t.selected, 1);
}

// Names that share a long start are told apart in time that grows with their
// length, not its square; a GBK character on the way takes the path that
// makes keys.
TEST(ItemSort, NamesSharingALongStartSortByTheirEnds) {
  for (bool caseSensitive : {true, false}) {
    Text start = "\xD6\xD0" + Text(300000, 'x');
    std::vector<std::string_view> names;
    Text b = start + "b", a = start + "a", shorter = start;
    names = {b, a, shorter, a};
    std::vector<int> order = ItemOrder(names, caseSensitive);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 3, 0})) << caseSensitive;
  }
}

// A hundred names agreeing on their first sixteen bytes, some ending there and
// some going on: too many to leave to comparison, they are told apart by
// their length alone, after a split on the byte before.
TEST(ItemSort, NamesTyingOnAWholeChunkSortByLength) {
  for (bool caseSensitive : {true, false}) {
    std::vector<Text> names, keys;
    for (int i = 0; i < 100; ++i) {
      // "Cookie_Session" is fourteen bytes; the fifteenth splits the group.
      Text name = std::string("Cookie_Session") + (i % 7 == 0 ? "B" : "A") + "x" + (i % 3 == 0 ? "" : std::to_string(i % 5));
      names.push_back(name);
      keys.push_back(caseSensitive ? name : NameOrderKey(name));
    }
    std::vector<std::string_view> views(names.begin(), names.end());
    EXPECT_EQ(ItemOrder(views, caseSensitive), test::PlainInsertionOrder(keys)) << caseSensitive;
  }
}

// The fast sort must leave rows exactly where inserting them one by one into
// a flat array leaves them, ties and all; rows are told apart by their value.
TEST(ItemSort, MatchesThePlainInsertionRowForRow) {
  std::mt19937 rng(7);
  const char* pool[] = {"a", "A", "b", "B", "_", "ab", "Ab", "\xD6\xD0", "z", "\xA3\xC1", "\xA3\xE1"};
  for (int round = 0; round < 40; ++round) {
    size_t n = round < 30 ? rng() % 60 : 3000;
    size_t kinds = 1 + rng() % 11;
    RowTable t;
    std::vector<Text> keys;
    bool caseSensitive = round % 2 == 1;
    for (size_t i = 0; i < n; ++i) {
      // A shared prefix longer than a compared chunk, and names that end
      // inside one, before and after it; the last rounds add numbers, so
      // that thousands of names spread over many buckets of the sort.
      Text name = std::string(rng() % 2 ? "Cookie_Session_" : "") + pool[rng() % kinds] +
                  std::string(rng() % 3 == 0 ? "x" : "") + (round >= 35 ? std::to_string(rng() % 700) : "");
      keys.push_back(caseSensitive ? name : NameOrderKey(name));
      t.rows.push_back(Row{{"", name, std::to_string(i)}});
    }
    std::vector<Text> expected;
    for (int r : test::PlainInsertionOrder(keys)) expected.push_back(std::to_string(r));
    SortItemRows(t, 1, true, caseSensitive);
    std::vector<Text> got;
    for (const Row& row : t.rows) got.emplace_back(row.Cell(2));
    ASSERT_EQ(got, expected) << "round " << round;
  }
}

}  // namespace
}  // namespace ds
