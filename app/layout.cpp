#include "app/layout.h"

#include <algorithm>

#include "ui/dpi.h"

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

std::vector<Box> Layout::Apply(double windowWidth, double windowHeight) const {
  std::vector<Box> out;
  out.reserve(records_.size());
  for (const LayoutRecord& r : records_)
    out.push_back({Scaled(r.left, windowWidth), Scaled(r.top, windowHeight), Scaled(r.width, windowWidth),
                   Scaled(r.height, windowHeight)});
  return out;
}

namespace {

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

}  // namespace

Box NearestVisibleSpot(const Box& wanted, const Box& area, const std::vector<Box>& covers) {
  auto free = [&](const Box& b) {
    for (const Box& c : covers)
      if (Overlap(b, c)) return false;
    return true;
  };
  int lastLeft = area.left + area.width - wanted.width, lastTop = area.top + area.height - wanted.height;
  auto inside = [&](const Box& b) {
    return b.left >= area.left && b.top >= area.top && b.left <= lastLeft && b.top <= lastTop;
  };
  if (inside(wanted) && free(wanted)) return wanted;
  Box best = wanted;
  best.left = std::max(area.left, std::min(wanted.left, lastLeft));
  best.top = std::max(area.top, std::min(wanted.top, lastTop));
  if (covers.empty()) return best;
  long long bestDistance = -1;
  for (int top = area.top; top <= lastTop; ++top) {
    for (int left = area.left; left <= lastLeft; ++left) {
      long long dx = left - wanted.left, dy = top - wanted.top, distance = dx * dx + dy * dy;
      if (bestDistance >= 0 && distance >= bestDistance) continue;
      Box b{left, top, wanted.width, wanted.height};
      if (!free(b)) continue;
      best = b;
      bestDistance = distance;
    }
  }
  return best;
}

ColumnFit FitValueColumn(int listWidth, int numberWidth, int nameWidth, bool repair, int dpi) {
  constexpr int kMargin = 20, kNarrowest = 20, kRepairedValue = 100, kNameGivesUp = 95;
  ColumnFit fit{nameWidth, listWidth - numberWidth - nameWidth - ui::Scaled(kMargin, dpi)};
  if (repair && fit.value < ui::Scaled(kNarrowest, dpi)) {
    fit.value = ui::Scaled(kRepairedValue, dpi);
    fit.name -= ui::Scaled(kNameGivesUp, dpi);
  }
  if (fit.name < 0) fit.name = 0;
  if (fit.value < 0) fit.value = 0;
  return fit;
}

}  // namespace app
