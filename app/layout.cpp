#include "app/layout.h"

namespace app {

void Layout::Register(const std::vector<Box>& controls, int windowWidth, int windowHeight) {
  records_.clear();
  records_.reserve(controls.size());
  double w = windowWidth, h = windowHeight;
  for (const Box& b : controls) records_.push_back({b.top / h, b.left / w, b.height / h, b.width / w});
}

namespace {

// Truncates toward zero, also for negative positions. A product within a
// hair of a whole number is that number: 5 / 581 * 581 comes out as
// 4.9999999999 and must not move a control at the size it was registered at.
int Scaled(double ratio, double size) {
  double v = ratio * size;
  return static_cast<int>(v + (v >= 0 ? 1e-9 : -1e-9));
}

}  // namespace

std::vector<Box> Layout::Apply(int windowWidth, int windowHeight) const {
  std::vector<Box> out;
  out.reserve(records_.size());
  double w = windowWidth, h = windowHeight;
  for (const LayoutRecord& r : records_)
    out.push_back({Scaled(r.left, w), Scaled(r.top, h), Scaled(r.width, w), Scaled(r.height, h)});
  return out;
}

ColumnFit FitValueColumn(int listWidth, int numberWidth, int nameWidth, bool repair) {
  constexpr int kMargin = 20, kNarrowest = 20, kRepairedValue = 100, kNameGivesUp = 95;
  ColumnFit fit{nameWidth, listWidth - numberWidth - nameWidth - kMargin};
  if (repair && fit.value < kNarrowest) {
    fit.value = kRepairedValue;
    fit.name -= kNameGivesUp;
  }
  if (fit.name < 0) fit.name = 0;
  if (fit.value < 0) fit.value = 0;
  return fit;
}

}  // namespace app
