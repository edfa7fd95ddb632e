// Captures brought into a slot through the recogniser: a file dropped on an
// input box, or the clipboard pasted with Ctrl+Shift+V.
#pragma once

#include <string>

#include "app/main_controls.h"

namespace app {

struct ImportView {
  HWND owner;  // of the message boxes and the HAR entry choice
  ds::Slot slot;
  ui::EditBox& input;
  ui::StatusBar& statusBar;
};

inline ImportView ImportViewOf(HWND owner, MainControls& c, ds::Slot slot) {
  return {owner, slot, c.Input(slot), c.statusBar};
}

// The file's text (UTF-8 with or without a byte order mark, UTF-16 with one,
// or GBK) replaces the box's; a file that cannot be read or held is refused
// and nothing changes.
void LoadDroppedFile(const ImportView& view, AppState& state, const std::wstring& path);

// The recognised clipboard text replaces the selection, as a paste does.
// Both remember where the capture was sent, for the slot's copies as commands.
void PasteRecognised(const ImportView& view, AppState& state);

}  // namespace app
