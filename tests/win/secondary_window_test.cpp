// The smaller windows as a user sees them: every part inside its window and
// its window inside the screen, scaled with the DPI like the rest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compare/list_menu.h"
#include "tests/win/window_test_support.h"
#include "ui/dpi.h"
#include "ui/list_choice.h"
#include "ui/text_convert.h"

namespace wintest {
namespace {

// How tall `text` is drawn in the control's own font.
int TextHeight(HWND control, const std::wstring& text) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cy;
}

class SecondaryWindowTest : public MainWindowTest {
 protected:
  void TearDown() override {
    ui::SetMenuHook(nullptr);
    MainWindowTest::TearDown();
  }
};

// The detail box ends inside the window (its bottom scroll arrow shows), and
// the close button is drawn over it, not painted over by it.
TEST_F(SecondaryWindowTest, DetailBoxFitsItsWindowAndTheCloseButtonShows) {
  c().detailButton.Click();
  app::DetailWindow& detail = *window->detail();
  ASSERT_TRUE(detail.IsShown());
  ui::LetPendingEventsRun();
  SIZE client = detail.ClientSize();
  ui::Rect box = detail.detailBox.Bounds();
  EXPECT_EQ(box.y, 0);
  EXPECT_LE(box.y + box.height, client.cy);
  EXPECT_GE(box.height, client.cy - 1) << "the box still fills the window";
  ui::Rect close = detail.closeButton.Bounds();
  EXPECT_LE(close.y + close.height, client.cy);
  // The box repainted: the button's face, not the box's white, at its edge.
  RedrawWindow(detail.detailBox.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = GetDC(detail.closeButton.hwnd());
  COLORREF edge = GetPixel(dc, 2, close.height / 2);
  ReleaseDC(detail.closeButton.hwnd(), dc);
  EXPECT_NE(edge, RGB(255, 255, 255));
  EXPECT_NE(edge, CLR_INVALID);
}

// The prompt line is as tall as its text and lies inside the window, under
// the entry box.
TEST_F(SecondaryWindowTest, InputPromptShowsWhole) {
  RightClickChoosing(c().slot2Items, static_cast<int>(ds::MenuEntry::kAdd));
  app::InputWindow& input = *window->input();
  ASSERT_TRUE(input.IsShown());
  ui::Rect prompt = input.promptLine.Bounds(), entry = input.entryBox.Bounds();
  EXPECT_GE(prompt.height, TextHeight(input.promptLine.hwnd(), L"(可批量)"));
  EXPECT_LE(prompt.y + prompt.height, input.ClientSize().cy);
  EXPECT_GE(prompt.y, entry.y + entry.height);
  // The designed places that are not the prompt's own stay.
  EXPECT_EQ(prompt.x, 5);
  EXPECT_EQ(entry.y, 12);
  EXPECT_EQ(prompt.width, entry.width);
}

// The chooser at 200 %: the third button scaled like OK and Cancel, on their
// line; and inside the screen even when its owner lies partly off it.
struct ChooserSeen {
  RECT window{}, ok{}, extra{};
};
ChooserSeen gChooser;

BOOL CALLBACK NoteButton(HWND child, LPARAM) {
  wchar_t text[16] = {};
  GetWindowTextW(child, text, 16);
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  if (std::wstring(text) == L"OK") gChooser.ok = r;
  if (std::wstring(text) == L"All") gChooser.extra = r;
  return TRUE;
}

void CALLBACK MeasureChooser(HWND, UINT, UINT_PTR id, DWORD) {
  HWND chooser = FindWindowW(nullptr, L"pick");
  if (!chooser) return;
  KillTimer(nullptr, id);
  gChooser.window = ScreenRect(chooser);
  EnumChildWindows(chooser, NoteButton, 0);
  PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(SecondaryWindowTest, ChooserButtonsScaleTogether) {
  constexpr int kDpi = 192;
  ui::SetLaidOutDpi(window->hwnd(), kDpi);
  SetWindowPos(window->hwnd(), nullptr, -600, -400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  gChooser = {};
  ui::ChoiceRequest request{"pick", {"a", "b"}, 0, "OK", "Cancel", "All"};
  UINT_PTR timer = SetTimer(nullptr, 0, 50, MeasureChooser);
  EXPECT_EQ(ui::ChooseFromList(window->hwnd(), request), -1);
  KillTimer(nullptr, timer);
  ui::SetLaidOutDpi(window->hwnd(), ui::kDesignDpi);
  const RECT &ok = gChooser.ok, &extra = gChooser.extra;
  EXPECT_EQ(extra.left, ui::Scaled(8, kDpi));
  EXPECT_EQ(extra.right - extra.left, ui::Scaled(140, kDpi));
  EXPECT_EQ(extra.bottom - extra.top, ok.bottom - ok.top);
  EXPECT_EQ(extra.top, ok.top);
  EXPECT_LT(extra.right, ok.left);
  EXPECT_TRUE(Inside(gChooser.window, ui::WorkAreaOf(window->hwnd())));
}

}  // namespace
}  // namespace wintest
