#include "items/name_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>

namespace ds {
namespace {

// The first row of each name, the plain way.
std::map<std::string_view, int> FirstRows(const std::vector<std::string_view>& names) {
  std::map<std::string_view, int> first;
  for (size_t i = 0; i < names.size(); ++i) first.emplace(names[i], static_cast<int>(i));
  return first;
}

// Names made of two pieces each: ties, prefixes and bytes above 0x7F.
std::vector<std::string> RandomNames(std::mt19937& random, size_t n) {
  const std::string pieces[] = {"a", "ab", "B", "\xD6\xD0", "\x81", ""};
  std::vector<std::string> names;
  for (size_t i = 0; i < n; ++i) names.push_back(pieces[random() % 6] + pieces[random() % 6]);
  return names;
}

// Lists in byte order take the walk and the halving, others the table; a
// sorted list sought with names in any order must still find the first row
// of each, ties, prefixes and bytes above 0x7F included.
TEST(NameIndex, FindsTheFirstRowOfEachNameWhateverTheOrders) {
  std::mt19937 random(3);
  for (int round = 0; round < 40; ++round) {
    std::vector<std::string> listed = RandomNames(random, random() % 60), sought = RandomNames(random, random() % 60);
    if (round % 2) std::sort(listed.begin(), listed.end());
    if (round % 4 >= 2) std::sort(sought.begin(), sought.end());
    std::vector<std::string_view> listedViews(listed.begin(), listed.end()), soughtViews(sought.begin(), sought.end());
    std::map<std::string_view, int> first = FirstRows(listedViews);
    NameIndex index(listedViews);
    std::vector<int> found = index.FirstOfEach(soughtViews);
    ASSERT_EQ(found.size(), sought.size());
    for (size_t i = 0; i < sought.size(); ++i) {
      auto it = first.find(soughtViews[i]);
      int expected = it == first.end() ? -1 : it->second;
      EXPECT_EQ(found[i], expected) << round << " " << sought[i];
      EXPECT_EQ(index.First(soughtViews[i]), expected) << round << " " << sought[i];
    }
  }
}

// Two sorted lists meet in one walk: each row finds the first row of its
// name on the other side, runs of one name on both sides and names on one
// side only included; a list out of byte order is left to the index.
TEST(NameIndex, SortedListsFindEachOtherInOneWalk) {
  std::mt19937 random(11);
  for (int round = 0; round < 60; ++round) {
    std::vector<std::string> a = RandomNames(random, random() % 40), b = RandomNames(random, random() % 40);
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    std::vector<std::string_view> av(a.begin(), a.end()), bv(b.begin(), b.end());
    std::vector<int> inB = {7}, inA;
    ASSERT_TRUE(FirstOfEachBothWays(av, bv, inB, inA)) << round;
    std::map<std::string_view, int> firstA = FirstRows(av), firstB = FirstRows(bv);
    auto expect = [](const std::map<std::string_view, int>& first, std::string_view name) {
      auto it = first.find(name);
      return it == first.end() ? -1 : it->second;
    };
    ASSERT_EQ(inB.size(), a.size());
    ASSERT_EQ(inA.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(inB[i], expect(firstB, av[i])) << round << " " << a[i];
    for (size_t j = 0; j < b.size(); ++j) EXPECT_EQ(inA[j], expect(firstA, bv[j])) << round << " " << b[j];
  }
  std::vector<std::string_view> sorted = {"a", "b"}, unsorted = {"b", "a"};
  std::vector<int> inB, inA;
  EXPECT_FALSE(FirstOfEachBothWays(sorted, unsorted, inB, inA));
  EXPECT_FALSE(FirstOfEachBothWays(unsorted, sorted, inB, inA));
}

}  // namespace
}  // namespace ds
