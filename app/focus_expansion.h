// Controls that grow while the user works in them: the two input boxes
// always, the content box and the difference list (the lower area) when the
// auto-expand switch is on; and the main window's moved handling.
#pragma once

#include "app/main_controls.h"
#include "ui/window.h"

namespace app {

struct FocusView {
  HWND mainWindow;  // taking the focus there leaves any control
  ui::EditBox& slot1Input;
  ui::EditBox& slot2Input;
  ui::EditBox& searchBox;        // its height is the input boxes' normal height
  ui::EditBox& searchResultBox;  // the report box rises to its top
  ui::EditBox& reportBox;
  ui::EditBox& contentBox;
  ui::ListView& differenceList;
  ui::ListView& slot1Items;  // the difference list lines up with it again
  ui::Divider& splitter;
  ui::Panel& rightPanel;
  ui::CheckBox& autoExpandSwitch;
  ui::StatusBar& statusBar;

  ui::EditBox& Input(ds::Slot slot) const { return slot == ds::Slot::k1 ? slot1Input : slot2Input; }
};

inline FocusView FocusViewOf(HWND mainWindow, MainControls& c) {
  return {mainWindow,       c.slot1Input, c.slot2Input,     c.searchBox,  c.searchResultBox,
          c.reportBox,      c.contentBox, c.differenceList, c.slot1Items, c.splitter,
          c.rightPanel,     c.autoExpandSwitch, c.statusBar};
}

// The input box reaches down to the splitter while it has the focus; the
// placeholder leaves it, or all of its data is selected.
void GrowInputBox(const FocusView& view, const AppState& state, ds::Slot slot);
// The placeholder comes back into an empty box before it shrinks.
void ShrinkInputBox(const FocusView& view, const AppState& state, ds::Slot slot);
// Esc leaves the box (which shrinks it); Ctrl+A selects all.
void OnInputKey(const FocusView& view, ds::Slot slot, UINT key);

void ExpandLowerArea(const FocusView& view, LowerArea& area);
void CollapseLowerArea(const FocusView& view, LowerArea& area);

// The window moved, was maximised or restored: the lower area collapses if
// the difference list had the focus, its value columns fit the window, and
// the detail window follows.
void OnWindowMoved(const FocusView& view, LowerArea& area, ui::Window* detail);

// The focus and key handlers of the input boxes, the content box's focus
// handlers and the difference list's focus loss.
void WireFocusExpansion(const FocusView& view, AppState& state);

}  // namespace app
