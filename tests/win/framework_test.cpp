// The event semantics the program is built on, checked on real controls.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "tests/win/window_test_support.h"
#include "ui/clipboard.h"
#include "ui/popup_menu.h"

namespace wintest {
namespace {

class FrameworkTest : public MainWindowTest {};

// From the start, caret first, nothing to undo, not modified, not scrolled
// sideways (an empty box has no first character to place).
void ExpectAsFreshlySet(ui::EditBox& box) {
  int start = -1, end = -1;
  box.GetSelection(&start, &end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 0);
  EXPECT_EQ(SendMessageW(box.hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_FALSE(SendMessageW(box.hwnd(), EM_CANUNDO, 0, 0));
  EXPECT_FALSE(SendMessageW(box.hwnd(), EM_GETMODIFY, 0, 0));
  if (GetWindowTextLengthW(box.hwnd()) == 0) return;
  RECT format{};
  SendMessageW(box.hwnd(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(static_cast<short>(LOWORD(SendMessageW(box.hwnd(), EM_POSFROMCHAR, 0, 0))), format.left);
}

TEST_F(FrameworkTest, ProgramSetTextRunsTheChangeHandlerOnceAndNested) {
  for (ui::EditBox* box : {&c().searchBox, &c().lineSeparatorBox}) {  // multi-line, one-line
    int runs = 0;
    std::string seen;
    box->onChange = [&] {
      ++runs;
      seen = box->GetText();
    };
    box->SetText("abc");
    EXPECT_EQ(runs, 1);  // before SetText returned, and only once
    EXPECT_EQ(seen, "abc");
    ui::LetPendingEventsRun();
    EXPECT_EQ(runs, 1);
    // A user edit arrives through the control's own notification.
    SelectAllAndPaste(*box, "xy");
    ui::LetPendingEventsRun();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(seen, "xy");
    box->onChange = nullptr;
  }
}

// Setting the text a box already holds may be left out, but the box must
// still end as a fresh set leaves it: from the start, caret first, nothing
// to undo; and the change handler still runs.
TEST_F(FrameworkTest, SettingTheSameTextAgainShowsItAsAFreshSetWould) {
  std::string lines;
  for (int i = 0; i < 40; ++i)
    lines.append("line").append(std::to_string(i)).append(std::string(i * 4, 'w')).append("\r\n");
  ui::EditBox& multi = c().contentBox;
  ui::EditBox& single = c().lineSeparatorBox;
  auto expectFresh = [](ui::EditBox& box) { ExpectAsFreshlySet(box); };
  int runs = 0;
  multi.onChange = [&] { ++runs; };
  multi.SetText(lines);
  multi.Select(5, 9);
  SendMessageW(multi.hwnd(), EM_LINESCROLL, 0, 20);
  multi.SetText(lines);
  expectFresh(multi);
  // Scrolled sideways only, the caret back at the start.
  SendMessageW(multi.hwnd(), EM_LINESCROLL, 30, 0);
  multi.SetText(lines);
  expectFresh(multi);
  EXPECT_EQ(runs, 3);
  multi.onChange = nullptr;

  // Typed over, then the same text set from the program.
  SelectAllAndPaste(single, "xy");
  single.SetCaret(0);
  single.SetText("xy");
  expectFresh(single);
}

// A short text that fits the box replaces its content without WM_SETTEXT;
// whatever the box held and however it was scrolled, typed in or selected,
// it ends as a set leaves it, and the handler runs once.
TEST_F(FrameworkTest, ShortTextLeavesTheBoxAsASetWould) {
  ui::EditBox& box = c().contentBox;
  auto expectFresh = [&box](const std::string& text) {
    EXPECT_EQ(box.GetText(), text);
    ExpectAsFreshlySet(box);
  };
  int runs = 0;
  box.onChange = [&] { ++runs; };
  box.SetText("a=1\r\n\r\nb=2\r\n");
  expectFresh("a=1\r\n\r\nb=2\r\n");
  // Typed over with part of it selected.
  SelectAllAndPaste(box, "typed");
  box.Select(1, 3);
  box.SetText("c=3\r\n");
  expectFresh("c=3\r\n");
  // One long line scrolled sideways, then a text whose end would still be
  // in view at that offset.
  std::string wide(300, 'w');
  box.SetText(wide);
  box.SetCaret(300);
  SendMessageW(box.hwnd(), EM_SCROLLCARET, 0, 0);
  box.SetText(wide.substr(0, 290));
  expectFresh(wide.substr(0, 290));
  // Taller than the box, and back to a short text.
  std::string tall;
  for (int i = 0; i < 30; ++i) tall.append("line").append(std::to_string(i)).append("\r\n");
  box.SetText(tall);
  SendMessageW(box.hwnd(), EM_LINESCROLL, 0, 10);
  box.SetText("d=4");
  expectFresh("d=4");
  box.SetText("");
  expectFresh("");
  ui::LetPendingEventsRun();
  EXPECT_EQ(runs, 8);  // each set once, the typing once
  box.onChange = nullptr;
}

TEST_F(FrameworkTest, CheckBoxToggledBeforeItsClickHandler) {
  ui::CheckBox& box = c().exactMatchSwitch;
  box.SetChecked(false);
  std::vector<bool> seen;
  box.onClick = [&] { seen.push_back(box.IsChecked()); };
  box.Click();
  box.Click();
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  box.SetChecked(true);  // from the program: no handler
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(FrameworkTest, ListRowsReadBackWithTagCheckStateAndSelection) {
  ui::ListView& list = c().slot1Missing;
  for (int i = 0; i < 100000; ++i) {
    ds::Row row{{std::to_string(i + 1), "name" + std::to_string(i), "\xD6\xD0"}, i * 3, i % 2 == 0};
    list.rows().rows.push_back(std::move(row));
  }
  list.Refresh();
  EXPECT_EQ(SendMessageW(list.hwnd(), LVM_GETITEMCOUNT, 0, 0), 100000);
  EXPECT_EQ(ShownCell(list, 99999, 1), "name99999");
  EXPECT_EQ(ShownCell(list, 5, 2), "\xD6\xD0");
  EXPECT_EQ(list.rows().rows[7].tag, 21);
  EXPECT_FALSE(list.rows().rows[7].Checked());
  int changes = 0;
  list.onSelectionChanged = [&] { ++changes; };
  list.SelectRow(99999);
  list.ScrollIntoView(99999);
  EXPECT_EQ(list.SelectedRow(), 99999);
  EXPECT_EQ(list.rows().selected, 99999);
  EXPECT_EQ(changes, 1);
  list.ClearSelection();
  EXPECT_EQ(list.SelectedRow(), -1);
}

TEST_F(FrameworkTest, StatusBarAndConversionFailuresAreVisible) {
  EXPECT_EQ(c().statusBar.GetText(), "\xB7\xD6\xCE\xF6\xCC\xE1\xCA\xBE:");  // 分析提示:
  EXPECT_TRUE(c().statusBar.SetText("ok \xD6\xD0"));
  EXPECT_EQ(c().statusBar.GetText(), "ok \xD6\xD0");
  // A lone lead byte at the end: what converts is shown, the caller is told.
  EXPECT_FALSE(c().reportBox.SetText("abc\xD6"));
  EXPECT_EQ(c().reportBox.GetText().substr(0, 3), "abc");
}

TEST_F(FrameworkTest, MessageBoxesGoThroughTheHook) {
  messages->Expect(ui::MessageAnswer::kYes);
  ui::MessageRequest r{"q", "t", ui::MessageButtons::kYesNo, ui::MessageIcon::kExclamation, true};
  EXPECT_EQ(ui::ShowMessage(window->hwnd(), r), ui::MessageAnswer::kYes);
  ASSERT_EQ(messages->shown().size(), 1u);
  EXPECT_EQ(messages->shown()[0].text, "q");
}

TEST_F(FrameworkTest, ClipboardCarriesGbkAndUnicode) {
  ASSERT_TRUE(ui::SetClipboardText(window->hwnd(), "a=\xD6\xD0;"));
  EXPECT_EQ(ui::GetClipboardText(window->hwnd()), "a=\xD6\xD0;");
  ASSERT_TRUE(OpenClipboard(window->hwnd()));
  HANDLE wide = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(wide))), L"a=\x4E2D;");
  GlobalUnlock(wide);
  CloseClipboard();
}

TEST_F(FrameworkTest, PopupMenuEntriesHideShowAndRecaption) {
  ui::PopupMenu menu;
  menu.Add(1, "one");
  menu.Add(0, "");
  menu.Add(2, "two");
  menu.SetVisible(1, false);
  menu.SetCaption(2, "zwei");
  EXPECT_EQ(menu.VisibleIds(), std::vector<int>{2});
  EXPECT_EQ(menu.Caption(2), "zwei");
  menu.SetVisible(1, true);
  EXPECT_EQ(menu.VisibleIds(), (std::vector<int>{1, 2}));
}

TEST_F(FrameworkTest, PlacementStates) {
  window->SetPlacement(ui::Placement::kMaximised);
  EXPECT_EQ(window->CurrentPlacement(), ui::Placement::kMaximised);
  window->SetPlacement(ui::Placement::kCentred);
  EXPECT_EQ(window->CurrentPlacement(), ui::Placement::kNormal);
  window->SetPlacement(ui::Placement::kMinimised);
  EXPECT_EQ(window->CurrentPlacement(), ui::Placement::kMinimised);
  window->SetPlacement(ui::Placement::kNormal);
  EXPECT_EQ(window->CurrentPlacement(), ui::Placement::kNormal);
  EXPECT_EQ(window->Size().cx, 822);
}

}  // namespace
}  // namespace wintest
