// Search, locating a result and the controls that grow while in use, driven
// through the real window as a user would: typing, clicks on text, Esc,
// Ctrl+A, focus moving between controls, the window moved and maximised.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/texts.h"
#include "items/texts.h"
#include "tests/test_gbk.h"
#include "tests/win/window_test_support.h"
#include "ui/clipboard.h"
#include "ui/text_convert.h"

namespace wintest {
namespace {

namespace at = app::texts;
using ds::test::Gbk;
using Span = std::pair<int, int>;

class SearchWindowTest : public MainWindowTest {
 protected:
  // A click on the character at `index` as a hand makes it: press, a small
  // move with the button held, release.
  static void ClickOnCharacter(ui::EditBox& box, int index) {
    LRESULT at = SendMessageW(box.hwnd(), EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    int x = LOWORD(at) + 2, y = HIWORD(at) + 4;
    SendMessageW(box.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ui::LetPendingEventsRun();
    SendMessageW(box.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 1, y));
    SendMessageW(box.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x + 1, y));
    ui::LetPendingEventsRun();
  }
  void ClickResultLine(const std::string& line) {
    std::string text = c().searchResultBox.GetText();
    size_t at = text.find("\r\n" + line);
    ASSERT_NE(at, std::string::npos) << line;
    ClickOnCharacter(c().searchResultBox, static_cast<int>(ui::ToWide(text.substr(0, at + 2)).text.size()));
  }
  std::pair<int, int> Selected() { return {c().slot1Items.SelectedRow(), c().slot2Items.SelectedRow()}; }
  static Span Selection(const ui::EditBox& box) {
    int start = -1, end = -1;
    box.GetSelection(&start, &end);
    return {start, end};
  }
  static int Length(const ui::EditBox& box) { return GetWindowTextLengthW(box.hwnd()); }
  static Span LeftAndWidth(const ui::Control& control) { return {control.Bounds().x, control.Bounds().width}; }
};

TEST_F(SearchWindowTest, TypingSearchesBothSlotsAndTheIdleTextComesAndGoes) {
  c().slot1Input.SetText("sid=1;SID_B=2;xsid=3");
  c().slot2Input.SetText("asi=1");
  c().searchBox.Focus();  // the idle text leaves, and the empty text lists every name
  EXPECT_EQ(c().searchBox.GetText(), "");
  EXPECT_EQ(c().searchResultBox.GetText(), Gbk("Cookies 1号:\r\nsid\r\nSID_B\r\nxsid\r\n\r\nCookies 2号:\r\nasi\r\n"));
  Paste(c().searchBox, "s");
  Paste(c().searchBox, "i");
  EXPECT_EQ(c().searchResultBox.GetText(), Gbk("Cookies 1号:\r\nsid\r\n\r\nCookies 2号:\r\n"));
  EXPECT_EQ(Selection(c().searchResultBox), Span(Length(c().searchResultBox), Length(c().searchResultBox)));
  // The switches are read at each keystroke.
  c().caseSensitiveSwitch.Click();
  messages->Expect(ui::MessageAnswer::kOk);
  c().exactMatchSwitch.Click();
  SendMessageW(c().searchBox.hwnd(), WM_CHAR, 'D', 0);
  EXPECT_EQ(c().searchResultBox.GetText(), Gbk("Cookies 1号:\r\nsid\r\nSID_B\r\nxsid\r\n\r\nCookies 2号:\r\n"));
  SendMessageW(c().searchBox.hwnd(), WM_CHAR, '\r', 0);  // one line: no line break in the search text
  EXPECT_EQ(c().searchBox.GetText(), "siD");

  c().searchBox.Focus();  // the switches took the focus
  c().searchBox.SetText("");
  c().slot1Input.Focus();
  EXPECT_EQ(c().searchBox.GetText(), at::kSearchBoxDesign);
  EXPECT_EQ(c().searchResultBox.GetText(), Gbk("Cookies 1号:\r\n\r\nCookies 2号:\r\n"));
}

TEST_F(SearchWindowTest, ClickingAResultLineSelectsThatNameInBothLists) {
  c().slot1Input.SetText("a=1;b=2;c=3");
  c().slot2Input.SetText("b=1;d=2");
  c().searchBox.Focus();
  ClickResultLine("b");
  EXPECT_EQ(Selected(), Span(1, 0));
  // Leaving the empty search box for its result box keeps every name listed.
  ClickResultLine("d");
  EXPECT_EQ(Selected(), Span(-1, 1));
  ClickOnCharacter(c().searchResultBox, 0);  // a heading names no item
  EXPECT_EQ(Selected(), Span(-1, -1));

  // Far down a long list, and a line longer than a line read can hold.
  std::string capture, longName(100 * 1024, 'n');
  for (int i = 0; i < 2000; ++i) capture += "k" + std::to_string(10000 + i) + "=v;";
  c().slot1Input.SetText(capture + longName + "=1");
  c().searchBox.SetText("");
  ClickResultLine("k11999");
  EXPECT_EQ(c().slot1Items.SelectedRow(), 1999);
  RECT shown;
  ListView_GetItemRect(c().slot1Items.hwnd(), 1999, &shown, LVIR_BOUNDS);
  EXPECT_GT(shown.top, 0);  // scrolled into view
  ClickResultLine(longName);
  EXPECT_EQ(c().slot1Items.SelectedRow(), 2000);
}

// The result box shows what the search found and takes no input of its
// own: a name typed over, pasted or cut would be located instead.
TEST_F(SearchWindowTest, TheResultBoxTakesNoTypingAndStillLocates) {
  c().slot1Input.SetText("a=1;b=2");
  c().slot2Input.SetText("b=3");
  c().searchBox.Focus();
  const std::string listed = c().searchResultBox.GetText();
  ASSERT_TRUE(ui::SetClipboardText(window->hwnd(), "a"));
  ClickResultLine("b");
  HWND box = c().searchResultBox.hwnd();
  SendMessageW(box, WM_KEYDOWN, VK_DELETE, 0);
  SendMessageW(box, WM_CHAR, L'\b', 0);
  SendMessageW(box, WM_CHAR, 'x', 0);
  SendMessageW(box, WM_PASTE, 0, 0);
  c().searchResultBox.Select(0, 3);
  SendMessageW(box, WM_CUT, 0, 0);
  SendMessageW(box, WM_CLEAR, 0, 0);
  EXPECT_EQ(c().searchResultBox.GetText(), listed);
  ClickResultLine("b");
  EXPECT_EQ(Selected(), Span(1, 0));
}

// A result of thousands of lines shows its end at once and arrives whole
// while the window is idle; a keystroke meanwhile leaves nothing of it behind.
TEST_F(SearchWindowTest, LongResultArrivesWholeWithTheViewKeptAtItsEnd) {
  std::string capture, names;
  for (int i = 0; i < 6000; ++i) {
    capture += "k" + std::to_string(100000 + i) + "=v;";
    names += "k" + std::to_string(100000 + i) + "\r\n";
  }
  c().slot1Input.SetText(capture);
  ui::EditBox& box = c().searchResultBox;
  auto fillIn = [&box] {
    for (int i = 0; i < 2000 && box.Filling(); ++i) {
      ui::LetPendingEventsRun();
      Sleep(2);
    }
  };
  c().searchBox.SetText("k1");
  ASSERT_TRUE(box.Filling());
  box.Focus();  // tabbed into: the box lays out the pieces where the caret is
  fillIn();
  ASSERT_FALSE(box.Filling());
  std::string whole = Gbk("Cookies 1号:\r\n") + names + Gbk("\r\nCookies 2号:\r\n");
  EXPECT_EQ(box.GetText(), whole);
  EXPECT_EQ(Selection(box), Span(Length(box), Length(box)));
  LRESULT top = SendMessageW(box.hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0);
  box.SetText(whole);  // the same text at once shows the same lines
  box.PutCaretAtEnd();
  EXPECT_EQ(SendMessageW(box.hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0), top);

  c().searchBox.SetText("k1");
  EXPECT_EQ(box.GetText(), whole);  // reading takes in the rest at once
  c().searchBox.SetText("k1");
  c().searchBox.SetText("k10599");
  fillIn();
  EXPECT_EQ(box.GetText(), Gbk("Cookies 1号:\r\nk105990\r\nk105991\r\nk105992\r\nk105993\r\nk105994\r\n"
                               "k105995\r\nk105996\r\nk105997\r\nk105998\r\nk105999\r\n\r\nCookies 2号:\r\n"));
}

TEST_F(SearchWindowTest, InputBoxGrowsToTheSplitterWithAllSelectedAndEscShrinksIt) {
  c().slot1Input.SetText("a=1;b=2;c=3");
  int normal = c().slot1Input.Bounds().height;
  ClickOnCharacter(c().slot1Input, 4);  // on the text: the click's caret must not undo the selection
  EXPECT_EQ(Selection(c().slot1Input), Span(0, Length(c().slot1Input)));
  EXPECT_EQ(c().slot1Input.Bounds().height, c().splitter.Bounds().y - c().slot1Input.Bounds().y - 1);
  EXPECT_EQ(GetWindow(c().rightPanel.hwnd(), GW_CHILD), c().slot1Input.hwnd());  // drawn over the list
  EXPECT_EQ(c().statusBar.GetText(), at::kLeaveHint);

  KeyWith(c().slot1Input.hwnd(), VK_ESCAPE, {});
  EXPECT_EQ(GetFocus(), window->hwnd());
  EXPECT_EQ(c().slot1Input.Bounds().height, normal);
  EXPECT_EQ(c().slot1Input.GetText(), "a=1;b=2;c=3");

  // A placeholder is cleared by the click and comes back when left empty.
  ClickOnCharacter(c().slot2Input, 0);
  EXPECT_EQ(c().slot2Input.GetText(), "");
  KeyWith(c().slot2Input.hwnd(), VK_ESCAPE, {});
  EXPECT_EQ(c().slot2Input.GetText(), ds::PlaceholderText("Cookies", ds::Slot::k2));
  EXPECT_EQ(c().slot2Input.Bounds().height, normal);
}

TEST_F(SearchWindowTest, CtrlAAloneSelectsAllInTheBoxesThatAnswerIt) {
  window->detail()->detailBox.SetText("detail");
  c().searchBox.SetText("abc");
  c().slot1Input.SetText("a=1;b=2");
  c().contentBox.SetText("a=1;");  // after the parse, which writes its notes there
  for (ui::EditBox* box : {&c().slot1Input, &c().searchBox, &c().contentBox, &window->detail()->detailBox}) {
    SCOPED_TRACE(box->GetText());
    box->SetCaret(1);
    KeyWith(box->hwnd(), 'A', {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(Selection(*box), Span(1, 1));
    KeyWith(box->hwnd(), 'A', {VK_CONTROL});
    EXPECT_EQ(Selection(*box), Span(0, Length(*box)));
  }
  // The line separator box selects all on focus and on the button's release.
  c().lineSeparatorBox.Focus();
  EXPECT_EQ(Selection(c().lineSeparatorBox), Span(0, 1));
  c().lineSeparatorBox.SetCaret(0);
  SendMessageW(c().lineSeparatorBox.hwnd(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(Selection(c().lineSeparatorBox), Span(0, 1));
}

TEST_F(SearchWindowTest, LowerAreaExpandsOverTheSplitterAndComesBackToItsFirstWidths) {
  ui::Rect content = c().contentBox.Bounds(), list = c().differenceList.Bounds();
  Span splitter = LeftAndWidth(c().splitter);
  c().contentBox.Focus();
  EXPECT_EQ(LeftAndWidth(c().contentBox), splitter);
  EXPECT_EQ(LeftAndWidth(c().differenceList), splitter);
  EXPECT_EQ(c().differenceList.ColumnWidth(3), static_cast<int>(list.width / 1.88));
  EXPECT_EQ(c().reportBox.Bounds().y, c().searchResultBox.Bounds().y);
  EXPECT_EQ(c().statusBar.GetText(), at::kLeaveHint);

  c().differenceList.Focus();  // collapses and expands again
  EXPECT_EQ(LeftAndWidth(c().differenceList), splitter);
  EXPECT_EQ(window->state().current.list, &c().differenceList);
  window->Focus();
  int left = c().rightPanel.Bounds().x + c().slot1Items.Bounds().x;
  EXPECT_EQ(LeftAndWidth(c().differenceList), Span(left, list.width));
  EXPECT_EQ(LeftAndWidth(c().contentBox), Span(left, content.width));
  EXPECT_EQ(c().reportBox.Bounds().y, content.y);
  EXPECT_EQ(c().differenceList.ColumnWidth(2), static_cast<int>(list.width / 2.66));

  // Switched off: no size changes, but the list still becomes the current one.
  c().autoExpandSwitch.Click();
  window->state().current = {};
  c().differenceList.Focus();
  EXPECT_EQ(c().differenceList.Bounds().width, list.width);
  EXPECT_EQ(window->state().current.list, &c().differenceList);
}

TEST_F(SearchWindowTest, MovingTheWindowCollapsesTheAreaAndTheDetailWindowFollows) {
  int width = c().differenceList.Bounds().width;
  c().differenceList.Focus();
  RECT main, detail;
  GetWindowRect(window->hwnd(), &main);
  SetWindowPos(window->hwnd(), nullptr, main.left + 17, main.top + 23, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(GetFocus(), window->hwnd());
  EXPECT_EQ(c().differenceList.Bounds().width, width);
  EXPECT_EQ(c().differenceList.ColumnWidth(2), 215);
  GetWindowRect(window->hwnd(), &main);
  GetWindowRect(window->detail()->hwnd(), &detail);
  EXPECT_EQ(detail.top, main.top + 30);

  window->SetPlacement(ui::Placement::kMaximised);
  EXPECT_EQ(c().differenceList.ColumnWidth(3), static_cast<int>(c().differenceList.Bounds().width / 1.4));
  window->SetPlacement(ui::Placement::kNormal);
  EXPECT_EQ(c().differenceList.ColumnWidth(3), 215);
}

}  // namespace
}  // namespace wintest
