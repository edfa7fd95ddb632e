// Shared set-up of the window tests: a fresh settings file, a scripted
// answer for every message box, and the real main window.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "ui/message_box.h"
#include "ui/popup_menu.h"

namespace wintest {

// Records every message box and answers from a queue; a box nobody expected
// fails the test instead of hanging it.
class ScriptedMessages {
 public:
  ScriptedMessages();
  ~ScriptedMessages();
  void Expect(ui::MessageAnswer answer) { answers_.push_back(answer); }
  const std::vector<ui::MessageRequest>& shown() const { return shown_; }

 private:
  std::deque<ui::MessageAnswer> answers_;
  std::vector<ui::MessageRequest> shown_;
};

void DeleteSettingsFile();

// Text as a user types or pastes it: replaces the selection, so the control
// itself raises EN_CHANGE.
void Paste(ui::EditBox& box, std::string_view gbk);
void SelectAllAndPaste(ui::EditBox& box, std::string_view gbk);

// A key pressed with modifier keys held, as the control's own handling sees it.
void KeyWith(HWND target, UINT key, std::initializer_list<int> held);

std::vector<std::string> Column(const ui::ListView& list, size_t column);

// A right click on the list: the list takes the focus, then the menu opens
// and the entry `choose` is picked from it (0: it is dismissed); menus
// opened later are dismissed. The visible entries as offered.
std::vector<ui::MenuRequest::Item> RightClickChoosing(ui::ListView& list, int choose);
// CF_TEXT as it is on the clipboard.
std::string ClipboardAnsi();
// What the list view itself shows in a cell (through LVM_GETITEMTEXTW).
std::string ShownCell(const ui::ListView& list, int row, int column);

// A window's rectangle on the screen, and whether one rectangle lies inside another.
RECT ScreenRect(HWND hwnd);
bool Inside(const RECT& inner, const RECT& outer);

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  app::MainControls& c() { return window->controls(); }

  // Creates the window, which runs the start-up; SetUp calls it with empty
  // input boxes afterwards unless a test starts the window itself.
  void Start();
  bool startInSetUp = true;

  std::unique_ptr<ScriptedMessages> messages;
  std::unique_ptr<app::MainWindow> window;
};

}  // namespace wintest
