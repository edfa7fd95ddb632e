// The operations of the lists' context menu and of the keys and buttons that
// edit the lists: copies, completion, add, modify, delete, replace, swap,
// reload, and analysing one value as Cookies. They change list rows only;
// the slot texts stay as entered.
#pragma once

#include <functional>
#include <string_view>

#include "app/input_window.h"
#include "app/main_controls.h"
#include "compare/list_menu.h"

namespace app {

struct EditingView {
  HWND owner;  // the main window: clipboard owner, input window placement
  MainControls& c;
  InputWindow* inputWindow;  // null when it could not be created: no add or modify then
  std::function<void(std::string_view)> showInDetail;  // a text of its own in the detail window
};

// A right click, or the menu key, on one of the five lists; (x, y) is the
// point on the screen the menu opens at.
void OpenListMenu(const EditingView& v, AppState& state, ui::ListView& list, int x, int y);
void RunMenuEntry(const EditingView& v, AppState& state, ds::MenuEntry entry);
// An entry, or a format of the copy-as submenus.
void RunMenuCommand(const EditingView& v, AppState& state, int id);

void OpenForModifying(const EditingView& v, AppState& state);
void ModifyOnDoubleClick(const EditingView& v, AppState& state, ds::Slot slot);
void ConfirmInput(const EditingView& v, AppState& state);  // Enter in the input window
void DeleteWithKey(const EditingView& v, AppState& state, ds::Slot slot);
void Reload(const EditingView& v, AppState& state);

}  // namespace app
