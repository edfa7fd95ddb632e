// Proportional layout: each control keeps, relative to the window's outer
// size, the proportions it had when the layout was registered.
#pragma once

#include <cstddef>
#include <vector>

namespace app {

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
};

struct LayoutRecord {
  double top, left, height, width;  // ratios to the window's height and width
};

// The table, in the fixed order of the controls; an empty table applies nothing.
class Layout {
 public:
  void Register(const std::vector<Box>& controls, int windowWidth, int windowHeight);
  void Clear() { records_.clear(); }
  bool empty() const { return records_.empty(); }
  size_t size() const { return records_.size(); }

  // New geometry for every registered control, truncated toward zero. The
  // size may hold a fraction: a window's size at another DPI.
  std::vector<Box> Apply(double windowWidth, double windowHeight) const;

  bool suspended = false;  // set while the compact toggle rearranges the window

 private:
  std::vector<LayoutRecord> records_;
};

// Where a control can be seen and clicked: `wanted` itself when it lies inside
// `area` and under none of `covers`, else the nearest such place (by its top
// left corner); with no such place, `wanted` moved just inside `area`.
Box NearestVisibleSpot(const Box& wanted, const Box& area, const std::vector<Box>& covers);

// Widths of a list's name and value columns once the number and name columns
// are fitted: the value column takes what is left after them and 20 pixels.
// With `repair`, a value column narrower than 20 takes 100 and the name column
// gives up 95, so the list scrolls sideways instead of hiding the values.
// Never negative: the list view reads -1 and -2 (and, under Wine, anything
// below) as "size to the content". The pixel counts are designed ones, scaled
// to `dpi`.
struct ColumnFit {
  int name = 0;
  int value = 0;
};
ColumnFit FitValueColumn(int listWidth, int numberWidth, int nameWidth, bool repair, int dpi);

}  // namespace app
