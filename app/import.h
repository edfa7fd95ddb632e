// Captures brought into a slot through the recogniser: a file dropped on an
// input box, or the clipboard pasted with Ctrl+Shift+V.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/main_controls.h"
#include "app/session_window.h"

namespace app {

// The HAR last brought into each slot, for comparing two sessions whole,
// and its text, for a sanitised copy.
struct HarSources {
  HarEntries slot[2];
  HarText text[2];
  std::wstring name[2];  // the dropped file's name; empty for a paste
};

struct ImportView {
  HWND owner;  // of the message boxes and the HAR entry choice
  ds::Slot slot;
  ui::EditBox& input;
  ui::EditBox& reportBox;  // a HAR request's cookie findings go under what the import put there
  ui::StatusBar& statusBar;
  HarSources& hars;
  std::function<void()> compareSessions;  // both slots hold a HAR: compare them request by request
};

inline ImportView ImportViewOf(HWND owner, MainControls& c, ds::Slot slot, HarSources& hars,
                               std::function<void()> compareSessions) {
  return {owner, slot, c.Input(slot), c.reportBox, c.statusBar, hars, std::move(compareSessions)};
}

// The file's name with "-脱敏.har" for its stem's end: the name a sanitised
// copy is offered.
std::wstring SanitisedName(const std::wstring& fileName);

// The file's text (UTF-8 with or without a byte order mark, UTF-16 with one,
// or GBK) replaces the box's; a file that cannot be read or held is refused
// and nothing changes.
void LoadDroppedFile(const ImportView& view, AppState& state, const std::wstring& path);

// The recognised clipboard text replaces the selection, as a paste does.
// Both remember where the capture was sent, for the slot's copies as commands.
void PasteRecognised(const ImportView& view, AppState& state);

}  // namespace app
