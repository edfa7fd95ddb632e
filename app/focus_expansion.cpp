#include "app/focus_expansion.h"

#include "app/keys.h"
#include "app/option_handlers.h"
#include "app/texts.h"
#include "ui/dpi.h"

namespace app {
namespace {

// Sizes are whole pixels, truncated toward zero.
int Part(int width, double divisor) { return static_cast<int>(width / divisor); }

void SetValueColumns(ui::ListView& list, int width) {
  list.SetColumnWidth(2, width);
  list.SetColumnWidth(3, width);
}

}  // namespace

void GrowInputBox(const FocusView& v, const AppState& state, ds::Slot slot) {
  ui::EditBox& box = v.Input(slot);
  // The click that gave the focus lands before the box changes under it.
  ui::LetPendingEventsRun();
  box.BringToTop();  // drawn over the Analyse bar button and the item list
  ui::Rect bounds = box.Bounds();
  box.Resize(bounds.width, v.splitter.Bounds().y - bounds.y - ui::Scaled(1, ui::DpiOf(v.mainWindow)));
  box.ScrollToLastLine();
  v.statusBar.SetText(texts::kLeaveHint);
  OnInputFocus(box, state, slot);
}

void ShrinkInputBox(const FocusView& v, const AppState& state, ds::Slot slot) {
  ui::EditBox& box = v.Input(slot);
  PutPlaceholderIfEmpty(box, state, slot);
  box.Resize(box.Bounds().width, v.searchBox.Bounds().height);
  // The controls it lay over repaint before the next one takes the focus.
  ui::LetPendingEventsRun();
}

void OnInputKey(const FocusView& v, ds::Slot slot, UINT key) {
  if (key == VK_ESCAPE)
    SetFocus(v.mainWindow);
  else if (IsCtrlA(key))
    v.Input(slot).SelectAll();
}

void ExpandLowerArea(const FocusView& v, LowerArea& area) {
  if (!v.autoExpandSwitch.IsChecked()) return;
  // Moving between the two collapses and expands again: the widths to come
  // back to are the ones before the first expansion.
  if (!area.expanded) {
    area.contentWidth = v.contentBox.Bounds().width;
    area.differenceWidth = v.differenceList.Bounds().width;
    area.expanded = true;
  }
  ui::Rect splitter = v.splitter.Bounds();
  v.contentBox.SetBounds({splitter.x, v.contentBox.Bounds().y, splitter.width, v.contentBox.Bounds().height});
  ui::LetPendingEventsRun();  // each step repaints before the next moves on
  SetValueColumns(v.differenceList, Part(v.differenceList.Bounds().width, 1.88));
  ui::Rect list = v.differenceList.Bounds();
  v.differenceList.SetBounds({splitter.x, list.y, splitter.width, list.height});
  ui::LetPendingEventsRun();
  // The report box stays in sight above the widened content box.
  ui::Rect report = v.reportBox.Bounds();
  v.reportBox.Move(report.x, v.searchResultBox.Bounds().y);
  ui::LetPendingEventsRun();
  v.statusBar.SetText(texts::kLeaveHint);
}

void CollapseLowerArea(const FocusView& v, LowerArea& area) {
  if (!v.autoExpandSwitch.IsChecked() || !area.expanded) return;
  ui::LetPendingEventsRun();
  int left = v.rightPanel.Bounds().x + v.slot1Items.Bounds().x;
  ui::Rect list = v.differenceList.Bounds();
  v.differenceList.SetBounds({left, list.y, area.differenceWidth, list.height});
  ui::Rect content = v.contentBox.Bounds();
  v.contentBox.SetBounds({left, content.y, area.contentWidth, content.height});
  v.reportBox.Move(v.reportBox.Bounds().x, content.y);
  SetValueColumns(v.differenceList, Part(v.differenceList.Bounds().width, 2.66));
  area.expanded = false;
  ui::LetPendingEventsRun();
}

void OnWindowMoved(const FocusView& v, LowerArea& area, ui::Window* detail) {
  if (v.differenceList.HasFocus()) {
    SetFocus(v.mainWindow);
    CollapseLowerArea(v, area);
  }
  constexpr int kNormalValueColumn = 215;
  int dpi = ui::DpiOf(v.mainWindow);
  SetValueColumns(v.differenceList, IsZoomed(v.mainWindow) ? Part(v.differenceList.Bounds().width, 1.4)
                                                           : ui::Scaled(kNormalValueColumn, dpi));
  if (!detail) return;
  RECT main, shown;
  GetWindowRect(v.mainWindow, &main);
  GetWindowRect(detail->hwnd(), &shown);
  SetWindowPos(detail->hwnd(), nullptr, shown.left, main.top + ui::Scaled(30, dpi), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WireFocusExpansion(const FocusView& v, AppState& state) {
  for (ds::Slot slot : ds::kSlots) {
    ui::EditBox& input = v.Input(slot);
    input.onFocus = [v, &state, slot] { GrowInputBox(v, state, slot); };
    input.onBlur = [v, &state, slot] { ShrinkInputBox(v, state, slot); };
    input.onKeyDown = [v, slot](UINT key) { OnInputKey(v, slot, key); };
  }
  v.contentBox.onFocus = [v, &state] { ExpandLowerArea(v, state.lowerArea); };
  v.contentBox.onBlur = [v, &state] { CollapseLowerArea(v, state.lowerArea); };
  v.differenceList.onBlur = [v, &state] { CollapseLowerArea(v, state.lowerArea); };
}

}  // namespace app
