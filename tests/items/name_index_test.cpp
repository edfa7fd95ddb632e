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

// Lists in byte order take the walk and the halving, others the table; a
// sorted list sought with names in any order must still find the first row
// of each, ties, prefixes and bytes above 0x7F included.
TEST(NameIndex, FindsTheFirstRowOfEachNameWhateverTheOrders) {
  std::mt19937 random(3);
  const std::string pieces[] = {"a", "ab", "B", "\xD6\xD0", "\x81", ""};
  auto randomNames = [&](size_t n) {
    std::vector<std::string> names;
    for (size_t i = 0; i < n; ++i) names.push_back(pieces[random() % 6] + pieces[random() % 6]);
    return names;
  };
  for (int round = 0; round < 40; ++round) {
    std::vector<std::string> listed = randomNames(random() % 60), sought = randomNames(random() % 60);
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

}  // namespace
}  // namespace ds
