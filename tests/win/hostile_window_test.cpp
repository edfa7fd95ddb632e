// The window under hostile use: input queued while a handler lets events
// run, tear-down with everything open, proportional fonts, tiny windows.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/main_window_design.h"
#include "tests/test_gbk.h"
#include "tests/win/window_test_support.h"
#include "ui/text_convert.h"

namespace wintest {
namespace {

using V = std::vector<std::string>;

class HostileTest : public MainWindowTest {
 protected:
  // Keystrokes typed at the end of a box, waiting in the queue.
  void QueueTyping(ui::EditBox& box, std::string_view text) {
    int end = GetWindowTextLengthW(box.hwnd());
    box.Select(end, end);
    for (char ch : text) PostMessageW(box.hwnd(), WM_CHAR, static_cast<WPARAM>(ch), 0);
  }
};

TEST_F(HostileTest, InputQueuedWhileTheDuplicateQuestionIsOpen) {
  c().slot1Input.SetText("a=1;a=2;b=1");
  c().slot2Input.SetText("a=1");
  int asked = 0;
  ui::SetMessageHook([&](const ui::MessageRequest&) {
    ++asked;
    QueueTyping(c().slot1Input, ";c=3;d=4;b=5");
    ui::LetPendingEventsRun();  // as the box's own loop would
    return ui::MessageAnswer::kYes;
  });
  c().analyseButton.Click();
  EXPECT_EQ(asked, 1);
  // What was typed meanwhile takes part, under the answer already given.
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(Column(c().slot1Items, 2), (V{"1", "1", "3", "4"}));
  EXPECT_EQ(Column(c().slot2Missing, 1), (V{"b", "c", "d"}));
  EXPECT_EQ(c().statusBar.GetText(), ds::test::Gbk("分析提示:[1号]缺少:0项   [2号]缺少:3项   Cookies值异同:0项"));
}

TEST_F(HostileTest, InputQueuedWhileADifferenceRowIsShown) {
  c().slot1Input.SetText("a=1;b=2");
  c().slot2Input.SetText("a=1;b=3");
  c().analyseButton.Click();
  ASSERT_EQ(c().differenceList.RowCount(), 1);
  c().differenceList.Focus();
  // Typing arrives while the handler selects the counterpart and lets events
  // run, after it has looked the Slot 1 row up: Slot 1 is parsed anew.
  std::function<void()> selected = c().slot2Items.onSelectionChanged;
  bool typed = false;
  c().slot2Items.onSelectionChanged = [&] {
    if (!typed) QueueTyping(c().slot1Input, "x;z=9");
    typed = true;
    selected();
  };
  c().differenceList.SelectRow(0);
  ui::LetPendingEventsRun();
  EXPECT_TRUE(typed);
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"a", "b", "z"}));
  // The new Slot 1 list has no current row yet: an empty first line.
  EXPECT_EQ(c().contentBox.GetText(), "=\r\n\r\nb=3\r\n");
}

// Seen as the thread's windows are destroyed: each control still has the
// window's font, which is only deleted once no control uses it.
HFONT gWindowFont = nullptr;
int gDestroyed = 0, gDestroyedWithoutFont = 0;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wp, LPARAM lp) {
  auto* message = reinterpret_cast<CWPSTRUCT*>(lp);
  if (code == HC_ACTION && message->message == WM_DESTROY && GetParent(message->hwnd)) {
    ++gDestroyed;
    if (GetObjectType(gWindowFont) != OBJ_FONT) ++gDestroyedWithoutFont;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// Closing runs no handler on a half-destroyed window, whatever is open, and
// no control outlives the font it draws with.
TEST_F(HostileTest, TearDownWithTheDetailWindowShownAndAListFocused) {
  c().slot1Input.SetText("a=1");
  c().slot2Input.SetText("a=2");
  c().analyseButton.Click();
  int handled = 0;
  for (const app::ControlDesign& d : app::MainWindowDesign()) {
    ui::Control& control = d.Of(c());
    control.onFocus = [&handled] { ++handled; };
    control.onBlur = [&handled] { ++handled; };
  }
  c().slot1Items.Focus();
  window->ShowDetail();
  SetActiveWindow(window->detail()->hwnd());
  SetFocus(window->detail()->detailBox.hwnd());
  ui::LetPendingEventsRun();
  handled = 0;
  gWindowFont = reinterpret_cast<HFONT>(SendMessageW(window->hwnd(), WM_GETFONT, 0, 0));
  ASSERT_EQ(GetObjectType(gWindowFont), static_cast<DWORD>(OBJ_FONT));
  gDestroyed = gDestroyedWithoutFont = 0;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchDestroy, nullptr, GetCurrentThreadId());
  window.reset();
  UnhookWindowsHookEx(hook);
  ui::LetPendingEventsRun();
  EXPECT_EQ(handled, 0);
  EXPECT_GT(gDestroyed, 30);
  EXPECT_EQ(gDestroyedWithoutFont, 0);
  EXPECT_EQ(GetObjectType(gWindowFont), 0u);  // and then it is gone
}

TEST_F(HostileTest, NarrowWindowNeverAutoSizesAValueColumn) {
  c().slot1Input.SetText(std::string(120, 'n') + "=1");
  c().slot2Input.SetText("m=" + std::string(400, 'v'));
  c().analyseButton.Click();
  ui::LetPendingEventsRun();
  int nameBefore = c().slot1Items.ColumnWidth(1);
  window->SetSize(300, 581);
  // The item list scrolls sideways: its value column takes 100, its name
  // column gives up 95 of what fits its header.
  EXPECT_EQ(c().slot1Items.ColumnWidth(2), 100);
  int nameAfter = c().slot1Items.ColumnWidth(1);
  c().slot1Items.FitColumnToHeader(1);
  EXPECT_EQ(nameAfter, c().slot1Items.ColumnWidth(1) - 95) << nameBefore;
  // A missing list's value column that comes out negative is empty, not as
  // wide as its longest value.
  EXPECT_EQ(c().slot1Missing.ColumnWidth(2), 0);
}

// Column fitting measures every text in the list's own font: with a
// proportional font a short wide name beats many long narrow ones.
TEST_F(HostileTest, FittedColumnHoldsTheWidestNameInAProportionalFont) {
  HFONT font = CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Tahoma");
  ui::ListView& list = c().slot1Missing;
  list.SetFont(font);
  for (int i = 0; i < 200; ++i) list.rows().rows.push_back(ds::Row{{"1", std::string(12, 'i'), "v"}});
  list.rows().rows.push_back(ds::Row{{"1", "WWWWWWWW", "v"}});
  list.rows().rows.push_back(ds::Row{{"1", "\xD6\xD0\xD6\xD0\xD6\xD0", "v"}});
  list.Refresh();
  list.FitColumn(1);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  int widest = 0;
  for (const wchar_t* text : {L"iiiiiiiiiiii", L"WWWWWWWW", L"\x4E2D\x4E2D\x4E2D"}) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    widest = std::max<int>(widest, size.cx);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_GE(list.ColumnWidth(1), widest);
  EXPECT_LE(list.ColumnWidth(1), widest + 16);
  list.SetFont(nullptr);
  DeleteObject(font);
}

// A column's widest cell is remembered between fits (a resize refits every
// list): a cell edited in place must be measured again.
TEST_F(HostileTest, FittingSeesCellsEditedSinceTheLastFit) {
  ui::ListView& list = c().slot1Missing;
  list.rows().rows = {ds::Row{"1", "a", "v"}, ds::Row{"2", std::string(40, 'W'), "v"}};
  list.Refresh();
  list.FitColumn(1);
  int wide = list.ColumnWidth(1);
  list.rows().rows[1].SetCell(1, "b");
  list.Redraw();
  list.FitColumn(1);
  EXPECT_LT(list.ColumnWidth(1), wide - 100);
  list.rows().rows[0].SetCell(1, std::string(60, 'W'));
  list.Redraw();
  list.FitColumn(1);
  EXPECT_GT(list.ColumnWidth(1), wide + 100);
  list.Clear();
}

// Fitting to the header is measured by the program, not left to the list
// view, which would fetch every row: it must land where the list view's own
// sizing lands, whether a cell or the title is the wider, in either font.
TEST_F(HostileTest, FittingToTheHeaderMatchesTheListViewsOwnSizing) {
  HFONT font = CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Tahoma");
  ui::ListView& list = c().slot1Missing;
  const std::vector<std::vector<std::string>> contents = {
      {}, {"a"}, {"WWWWWWWWWWWW", "i"}, {"\xD6\xD0\xCE\xC4\xC3\xFB"}, {"x", std::string(60, 'y')}};
  for (HFONT f : {HFONT(nullptr), font}) {
    if (f) list.SetFont(f);
    for (const auto& names : contents) {
      list.rows().rows.clear();
      for (const std::string& name : names) list.rows().rows.push_back(ds::Row{{"1234", name, "v"}});
      list.Refresh();
      for (int column : {0, 1}) {
        list.FitColumnToHeader(column);
        int ours = list.ColumnWidth(column);
        SendMessageW(list.hwnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), LVSCW_AUTOSIZE_USEHEADER);
        EXPECT_EQ(ours, list.ColumnWidth(column)) << column << " " << (names.empty() ? "" : names.back());
      }
    }
  }
  list.SetFont(nullptr);
  DeleteObject(font);
}

// A quick click on a button while an input box has the focus: the press and
// the release are both queued when the box's focus loss lets events run.
TEST_F(HostileTest, QuickClickOnAButtonWhileAnInputBoxHasTheFocus) {
  c().slot1Input.SetText("a=1");
  c().slot2Input.SetText("a=2");
  SetForegroundWindow(window->hwnd());
  c().slot1Input.Focus();
  ui::LetPendingEventsRun();
  RECT r;
  GetWindowRect(c().analyseButton.hwnd(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT click[2] = {};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
  for (int i = 0; i < 100 && c().differenceList.RowCount() == 0; ++i) {
    ui::LetPendingEventsRun();
    Sleep(10);
  }
  EXPECT_EQ(c().differenceList.RowCount(), 1);
  EXPECT_EQ(SendMessageW(c().analyseButton.hwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED, 0);  // not left pressed
}

// Every button can be clicked: none lies outside its window's client area
// or under another control.
TEST_F(HostileTest, DetailButtonsLieWhereTheyCanBeClicked) {
  auto reachable = [](const ui::Control& button) {
    RECT r;
    GetWindowRect(button.hwnd(), &r);
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return WindowFromPoint(centre) == button.hwnd();
  };
  for (int pass = 0; pass < 2; ++pass) {  // full mode, then compact mode
    EXPECT_TRUE(reachable(c().detailButton)) << "pass " << pass;
    c().detailButton.Click();
    ASSERT_TRUE(window->detail()->IsShown());
    ui::LetPendingEventsRun();
    EXPECT_TRUE(reachable(window->detail()->closeButton)) << "pass " << pass;
    window->detail()->closeButton.Click();
    EXPECT_FALSE(window->detail()->IsShown());
    c().compactToggle.Click();
    ui::LetPendingEventsRun();
  }
}

}  // namespace
}  // namespace wintest
