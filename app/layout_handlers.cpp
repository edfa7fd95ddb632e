#include "app/layout_handlers.h"

#include <array>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/texts.h"

namespace app {
namespace {

constexpr size_t kLaidOutControls = 35;

// The fixed order of the layout table; the status bar is not in it.
std::array<ui::Control*, kLaidOutControls> LaidOutControls(MainControls& c) {
  return {&c.lineSeparatorCaption, &c.lineSeparatorBox, &c.obsoleteLabel,     &c.reportCaption,
          &c.splitter,             &c.contentBox,       &c.searchResultCaption, &c.caseSensitiveSwitch,
          &c.searchResultBox,      &c.slot2Caption,     &c.slot1Caption,      &c.searchBox,
          &c.exactMatchSwitch,     &c.analyseButton,    &c.slot2Missing,      &c.slot1Missing,
          &c.slot2Items,           &c.slot2Input,       &c.slot1Input,        &c.slot1Items,
          &c.differenceList,       &c.differenceCaption, &c.contentCaption,   &c.detailButton,
          &c.valueSeparatorCaption, &c.valueSeparatorBox, &c.leftPanel,       &c.rightPanel,
          &c.compactToggle,        &c.cookiesModeSwitch, &c.httpModeSwitch,   &c.analyseBarButton,
          &c.reportBox,            &c.autoExpandSwitch,  &c.restoreButton};
}

void FitResultColumns(MainControls& c) {
  ui::ListView* lists[] = {&c.slot1Items, &c.slot2Items, &c.slot1Missing, &c.slot2Missing};
  for (int column : {0, 1})
    for (ui::ListView* list : lists) list->FitColumnToHeader(column);
  for (ui::ListView* list : {&c.slot1Items, &c.slot2Items}) list->SetColumnWidth(0, list->ColumnWidth(0) + 4);
  for (ui::ListView* list : lists)
    list->SetColumnWidth(2, list->Bounds().width - list->ColumnWidth(0) - list->ColumnWidth(1) - 20);
  // Only the item lists scroll sideways rather than hide their values.
  for (ui::ListView* list : {&c.slot1Items, &c.slot2Items}) {
    if (list->ColumnWidth(2) < 20) {
      list->SetColumnWidth(2, 100);
      list->SetColumnWidth(1, list->ColumnWidth(1) - 95);
    }
  }
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
  if (!window.detail()) return;  // still being created: nothing registered yet
  ui::RedrawSuspension suspended(window.hwnd());
  MainControls& c = window.controls();
  window.Focus();
  const Layout& layout = window.state().layout;
  if (!layout.suspended && layout.size() == kLaidOutControls) {
    SIZE size = window.Size();
    std::vector<Box> boxes = layout.Apply(size.cx, size.cy);
    auto controls = LaidOutControls(c);
    for (size_t k = 0; k < kLaidOutControls; ++k)
      controls[k]->SetBounds({boxes[k].left, boxes[k].top, boxes[k].width, boxes[k].height});
  }
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
