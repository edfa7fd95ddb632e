#include "app/layout.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(Layout, ScalesByTheWindowAndTruncatesTowardZero) {
  Layout layout;
  layout.Register({{194, -5, 611, 695}, {-1, -3, 12, 550}, {0, 0, 0, 0}}, 822, 581);
  std::vector<Box> same = layout.Apply(822, 581);
  EXPECT_EQ(same[0].left, 194);
  // -5 / 581 * 581 is -4.999... in double precision; at the registered size
  // nothing may move.
  EXPECT_EQ(same[0].top, -5);
  EXPECT_EQ(same[1].width, 12);

  std::vector<Box> bigger = layout.Apply(1644, 1162);  // twice the size
  EXPECT_EQ(bigger[0].left, 388);
  EXPECT_EQ(bigger[0].top, -10);
  EXPECT_EQ(bigger[0].height, 1390);
  // -3 / 581 * 900 = -4.64...: toward zero, not down.
  std::vector<Box> odd = layout.Apply(822, 900);
  EXPECT_EQ(odd[1].top, -4);
  EXPECT_EQ(odd[1].height, 851);  // 550 / 581 * 900 = 851.97
}

TEST(Layout, ClearedTableAppliesNothing) {
  Layout layout;
  layout.Register({{1, 2, 3, 4}}, 100, 100);
  EXPECT_EQ(layout.size(), 1u);
  layout.Clear();
  EXPECT_TRUE(layout.Apply(200, 200).empty());
}

}  // namespace
}  // namespace app
