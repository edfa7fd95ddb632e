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

  // New geometry for every registered control, truncated toward zero.
  std::vector<Box> Apply(int windowWidth, int windowHeight) const;

  bool suspended = false;  // set while the compact toggle rearranges the window

 private:
  std::vector<LayoutRecord> records_;
};

}  // namespace app
