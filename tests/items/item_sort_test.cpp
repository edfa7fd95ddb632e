#include "items/item_sort.h"

#include <gtest/gtest.h>

#include <random>

namespace ds {
namespace {

RowTable TableOf(std::initializer_list<const char*> names) {
  RowTable t;
  int n = 0;
  for (const char* name : names) {
    Row r;
    r.cells = {ToText(++n), name, std::string("v") + name};
    t.rows.push_back(r);
  }
  return t;
}

std::vector<Text> Names(const RowTable& t) {
  std::vector<Text> out;
  for (const Row& r : t.rows) out.push_back(r.Cell(1));
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
  t.rows[0].checked = true;
  t.rows[0].images = {3, -1, 5};
  t.rows[2].tag = 77;
  t.selected = 0;  // "c", tag 0: marked with 1
  SortResult r = SortItemRows(t, 1, true, false);
  ASSERT_EQ(Names(t), (V{"a", "b", "c"}));
  EXPECT_EQ(t.rows[2].Cell(2), "vc");
  EXPECT_TRUE(t.rows[2].checked);
  EXPECT_EQ(t.rows[2].Image(2), 5);
  EXPECT_EQ(t.rows[1].tag, 77);
  EXPECT_EQ(t.rows[2].tag, 1);
  EXPECT_EQ(t.selected, 2);
  EXPECT_TRUE(r.selectionRestored);

  t.selected = 1;  // "b" keeps its own tag 77
  SortItemRows(t, 1, false, false);
  EXPECT_EQ(Names(t), (V{"c", "b", "a"}));
  EXPECT_EQ(t.selected, 1);
}

// The blocked insertion must give exactly the order of inserting into one
// flat array, which is the definition.
TEST(ItemSort, LargeInputsMatchAFlatInsertion) {
  std::mt19937 rng(7);
  std::vector<Text> names;
  const char* pool[] = {"a", "A", "b", "B", "_", "ab", "Ab", "\xD6\xD0", "z"};
  for (int i = 0; i < 5000; ++i) names.push_back(pool[rng() % 9] + std::string(rng() % 2 ? "x" : ""));

  std::vector<Text> flat;
  for (const Text& key : names) {
    size_t m = flat.size(), p;
    if (m == 0 || CompareNames(key, flat[m - 1]) >= 0) {
      p = m;
    } else if (CompareNames(key, flat[0]) <= 0) {
      p = 0;
    } else {
      size_t lo = 1, hi = m;
      while (lo + 1 < hi) {
        size_t mid = (lo + hi) / 2;
        int c = CompareNames(key, flat[mid - 1]);
        if (c == 0) { lo = mid; break; }
        (c < 0 ? hi : lo) = mid;
      }
      p = lo;
    }
    flat.insert(flat.begin() + static_cast<long>(p), key);
  }

  RowTable t;
  for (const Text& n : names) t.rows.push_back(Row{{"", n, ""}, 0, false, {}});
  SortItemRows(t, 1, true, false);
  EXPECT_EQ(Names(t), flat);
}

}  // namespace
}  // namespace ds
