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

TEST(ColumnFit, ValueColumnTakesTheRestAndIsNeverNegative) {
  struct Case {
    int list, number, name;
    bool repair;
    int wantName, wantValue;
    int dpi = 96;
  } cases[] = {
      {300, 54, 100, true, 100, 126},   // room enough
      {174, 54, 80, true, 80, 20},      // exactly 20 is kept
      {174, 54, 81, true, 0, 100},      // 19 is too narrow; 81 - 95 stops at nothing
      {100, 54, 600, true, 505, 100},   // scrolls sideways instead
      {100, 54, 60, true, 0, 100},      // a name column cannot go below nothing
      {100, 54, 600, false, 600, 0},    // no repair: empty, never -1 or -2 (auto-size)
      {100, 79, 2, false, 2, 0},        // -1 would mean "size to the content"
      // At 150 %: a 30 pixel margin and narrowest column, 150 for 142 given up.
      {300, 54, 100, true, 100, 116, 144},
      {261, 81, 120, true, 120, 30, 144},
      {290, 81, 200, true, 58, 150, 144},
  };
  for (const Case& c : cases) {
    ColumnFit fit = FitValueColumn(c.list, c.number, c.name, c.repair, c.dpi);
    EXPECT_EQ(fit.name, c.wantName) << c.list << " " << c.name << " at " << c.dpi;
    EXPECT_EQ(fit.value, c.wantValue) << c.list << " " << c.name << " at " << c.dpi;
  }
}

TEST(VisibleSpot, KeepsAVisiblePlaceElseTheNearestFreeOne) {
  const Box area{0, 0, 800, 530};
  const std::vector<Box> covers{{200, 330, 600, 190}};  // a box over the lower right
  // Visible as designed: kept.
  Box kept = NearestVisibleSpot({10, 10, 18, 18}, area, covers);
  EXPECT_EQ(kept.left, 10);
  EXPECT_EQ(kept.top, 10);
  // Below the area and under the box: the nearest free place is just above the box.
  Box moved = NearestVisibleSpot({780, 575, 18, 18}, area, covers);
  EXPECT_EQ(moved.left, 780);
  EXPECT_EQ(moved.top, 312);
  // Nothing to avoid: only moved inside.
  Box clamped = NearestVisibleSpot({588, 388, 18, 18}, {0, 0, 505, 380}, {});
  EXPECT_EQ(clamped.left, 487);
  EXPECT_EQ(clamped.top, 362);
}

}  // namespace
}  // namespace app
