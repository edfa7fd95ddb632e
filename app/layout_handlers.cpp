#include "app/layout_handlers.h"

#include "app/layout.h"
#include "app/main_window.h"
#include "app/main_window_design.h"
#include "app/settings.h"
#include "app/slots.h"
#include "app/texts.h"

namespace app {
namespace {

void FitResultColumns(MainControls& c) {
  for (ui::ListView* list : {&c.slot1Items, &c.slot2Items, &c.slot1Missing, &c.slot2Missing})
    SettleColumns(*list, list == &c.slot1Items || list == &c.slot2Items, ui::ListView::Fit::kAsHeaderSizing);
}

}  // namespace

void RegisterLayout(MainWindow& window) {
  std::vector<Box> boxes;
  for (ui::Control* control : LaidOutControls(window.controls())) {
    ui::Rect r = control->Bounds();
    boxes.push_back({r.x, r.y, r.width, r.height});
  }
  SIZE size = window.Size();
  window.state().layout.Register(boxes, size.cx, size.cy);
}

void OnResize(MainWindow& window) {
  if (!window.state().created) return;  // nothing registered yet
  ui::RedrawSuspension suspended(window.hwnd());
  MainControls& c = window.controls();
  window.Focus();
  const Layout& layout = window.state().layout;
  std::vector<ui::Control*> controls = LaidOutControls(c);
  if (!layout.suspended && layout.size() == controls.size()) {
    MainWindow::LayoutSize size = window.layoutSize();
    std::vector<Box> boxes = layout.Apply(size.width, size.height);
    std::vector<std::pair<ui::Control*, ui::Rect>> moves;
    for (size_t k = 0; k < controls.size(); ++k)
      moves.push_back({controls[k], {boxes[k].left, boxes[k].top, boxes[k].width, boxes[k].height}});
    ui::SetBoundsTogether(window.hwnd(), moves);
  }
  window.PlaceInputWindow();
  FitResultColumns(c);
  switch (window.CurrentPlacement()) {
    case ui::Placement::kMinimised:
      break;
    case ui::Placement::kMaximised:
      WriteSetting(texts::kWindowPositionKey, "3");
      break;
    case ui::Placement::kNormal:
    case ui::Placement::kCentred:
      WriteSetting(texts::kWindowPositionKey, "1");
      break;
  }
}

}  // namespace app
