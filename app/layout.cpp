#include "app/layout.h"

namespace app {

void Layout::Register(const std::vector<Box>& controls, int windowWidth, int windowHeight) {
  records_.clear();
  records_.reserve(controls.size());
  double w = windowWidth, h = windowHeight;
  for (const Box& b : controls) records_.push_back({b.top / h, b.left / w, b.height / h, b.width / w});
}

std::vector<Box> Layout::Apply(int windowWidth, int windowHeight) const {
  std::vector<Box> out;
  out.reserve(records_.size());
  double w = windowWidth, h = windowHeight;
  // A conversion to int truncates toward zero, also for negative positions.
  for (const LayoutRecord& r : records_)
    out.push_back({static_cast<int>(r.left * w), static_cast<int>(r.top * h), static_cast<int>(r.width * w),
                   static_cast<int>(r.height * h)});
  return out;
}

}  // namespace app
