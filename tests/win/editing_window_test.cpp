// Editing through the real window: the lists' menu as each list opens it,
// the input window, and what the operations leave in the lists, the boxes,
// the status bar and the clipboard.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/settings.h"
#include "compare/list_menu.h"
#include "tests/test_gbk.h"
#include "tests/win/window_test_support.h"
#include "ui/clipboard.h"
#include "ui/popup_menu.h"

namespace wintest {
namespace {

using V = std::vector<std::string>;
using E = ds::MenuEntry;
using ds::test::Gbk;

class EditingTest : public MainWindowTest {
 protected:
  void TearDown() override {
    ui::SetMenuHook(nullptr);
    MainWindowTest::TearDown();
  }
  // A right click choosing `choose` (none: the menu is dismissed): the ids shown.
  std::vector<int> RightClick(ui::ListView& list, std::optional<E> choose = std::nullopt) {
    std::vector<int> shown;
    for (const auto& item : RightClickChoosing(list, choose ? static_cast<int>(*choose) : 0)) shown.push_back(item.id);
    return shown;
  }
  void Analysed(const char* slot1, const char* slot2) {
    c().slot1Input.SetText(slot1);
    c().slot2Input.SetText(slot2);
    c().analyseButton.Click();
    ui::LetPendingEventsRun();
  }
  void Key(ui::Control& control, UINT key) { SendMessageW(control.hwnd(), WM_KEYDOWN, key, 0); }
  app::InputWindow& Input() { return *window->input(); }
};

TEST_F(EditingTest, EachListOpensTheMenuItSuits) {
  Analysed("a=1;Cookie=x", "a=2;b=3");
  c().slot1Items.SelectRow(1);  // "Cookie" sorts after "a"
  auto slot1 = RightClick(c().slot1Items);
  EXPECT_EQ(slot1, (std::vector<int>{1, 2, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17, 18, 19, 22, 23, 24}));
  c().slot2Items.SelectRow(0);
  EXPECT_EQ(RightClick(c().slot2Items),
            (std::vector<int>{5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 17, 18, 19, 22, 23, 24}));
  EXPECT_EQ(RightClick(c().slot1Missing), (std::vector<int>{5, 6, 7, 8, 9, 18, 20, 22, 23, 24}));
  // The difference list offers no menu until a row is selected.
  c().differenceList.ClearSelection();
  EXPECT_TRUE(RightClick(c().differenceList).empty());
  c().differenceList.SelectRow(0);
  ui::LetPendingEventsRun();
  EXPECT_EQ(RightClick(c().differenceList), (std::vector<int>{3, 4, 7, 10, 11, 12, 13, 18, 19, 20}));
  EXPECT_EQ(c().listMenu.Caption(12), Gbk("替换 2号[a]值 到 1号值"));
  // The item lists' menus show the design captions again, not that row's name.
  RightClick(c().slot1Items);
  EXPECT_EQ(c().listMenu.Caption(12), Gbk("替换 为2号的值"));
  EXPECT_EQ(c().listMenu.Caption(13), Gbk("互换 1号值-2号值"));
}

TEST_F(EditingTest, MenuOpensBesideThePointerAndFromTheKeyboard) {
  c().slot1Input.SetText("a=1;b=2");
  POINT at{};
  ui::SetMenuHook([&](const ui::MenuRequest& r) {
    at = {r.x, r.y};
    return 0;
  });
  c().slot1Items.Focus();
  SetCursorPos(300, 200);
  NMHDR header{c().slot1Items.hwnd(), 0, static_cast<UINT>(NM_RCLICK)};
  SendMessageW(GetParent(c().slot1Items.hwnd()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(at.x, cursor.x + 3);
  EXPECT_EQ(at.y, cursor.y + 3);
  // The menu key and Shift+F10 reach the list as a menu request without a
  // point: the menu opens at the selected row.
  c().slot1Items.SelectRow(1);
  SendMessageW(c().slot1Items.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c().slot1Items.hwnd()), -1);
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(c().slot1Items.hwnd(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  POINT corner{row.left, row.bottom};
  ClientToScreen(c().slot1Items.hwnd(), &corner);
  EXPECT_EQ(at.x, corner.x + 3);
  EXPECT_EQ(at.y, corner.y + 3);
}

TEST_F(EditingTest, AddItemsThroughTheInputWindow) {
  c().slot2Input.SetText("a=1");
  RightClick(c().slot2Items, E::kAdd);
  ASSERT_TRUE(Input().IsShown());
  EXPECT_EQ(Input().promptLine.GetText(), Gbk("请输入新增Cookies数据,按Enter回车键确认！(可批量)"));
  // Laid over the main window from 30 pixels below the splitter bar.
  RECT main, input;
  GetWindowRect(window->hwnd(), &main);
  GetWindowRect(Input().hwnd(), &input);
  EXPECT_EQ(input.top, main.top + c().splitter.Bounds().y + 30);
  EXPECT_EQ(input.bottom, main.bottom);

  // Without any separator the text stays for the user to mend.
  Input().entryBox.SetText("oops");
  Key(Input().entryBox, VK_RETURN);
  EXPECT_TRUE(Input().IsShown());
  EXPECT_EQ(Input().entryBox.GetText(), "oops");
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:添加失败,数据不完整！oops"));

  Input().entryBox.SetText("ua=x;a=9;b");
  messages->Expect(ui::MessageAnswer::kYes);  // a exists: replace it
  Key(Input().entryBox, VK_RETURN);
  EXPECT_FALSE(Input().IsShown());
  EXPECT_EQ(Input().entryBox.GetText(), "");
  EXPECT_EQ(Column(c().slot2Items, 1), (V{"a", "ua"}));
  EXPECT_EQ(Column(c().slot2Items, 2), (V{"9", "x"}));
  EXPECT_EQ(c().slot2Items.SelectedRow(), 0);  // the last written row
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
  ASSERT_EQ(messages->shown().size(), 1u);
  EXPECT_EQ(messages->shown()[0].text, Gbk("当前列表已存在[a],是否替换？"));

  // A click on the main window hides an unfinished add and empties it; the
  // window stays in add mode for the next Enter.
  RightClick(c().slot2Items, E::kAdd);
  Input().entryBox.SetText("c=3");
  SetActiveWindow(window->hwnd());
  ui::LetPendingEventsRun();
  EXPECT_FALSE(Input().IsShown());
  EXPECT_EQ(Input().entryBox.GetText(), "");
  EXPECT_EQ(Input().mode, app::InputWindow::Mode::kAdd);
}

// While the replace question is open the windows take no input; typing that
// was already queued and parses the slot anew is not overwritten by the add.
TEST_F(EditingTest, AddNeverOverwritesAListParsedAnewDuringItsQuestion) {
  c().slot2Input.SetText("a=1");
  RightClick(c().slot2Items, E::kAdd);
  Input().entryBox.SetText("a=9");
  bool disabled = false;
  ui::SetMessageHook([&](const ui::MessageRequest&) {
    disabled = !IsWindowEnabled(window->hwnd()) && !IsWindowEnabled(Input().hwnd());
    int end = GetWindowTextLengthW(c().slot2Input.hwnd());
    c().slot2Input.Select(end, end);
    for (char ch : std::string(";z=5")) PostMessageW(c().slot2Input.hwnd(), WM_CHAR, static_cast<WPARAM>(ch), 0);
    ui::LetPendingEventsRun();
    return ui::MessageAnswer::kYes;
  });
  Key(Input().entryBox, VK_RETURN);
  EXPECT_TRUE(disabled);
  EXPECT_EQ(Column(c().slot2Items, 2), (V{"1", "5"}));  // as parsed, not the add's old copy
  EXPECT_TRUE(Input().IsShown());
  EXPECT_EQ(Input().entryBox.GetText(), "a=9");  // to be added again
}

TEST_F(EditingTest, ModifyByDoubleClickAndDismissWithoutChange) {
  c().slot1Input.SetText("sid=1;x=2");
  c().slot1Items.Focus();
  c().slot1Items.SelectRow(0);
  ui::LetPendingEventsRun();
  NMHDR header{c().slot1Items.hwnd(), 0, static_cast<UINT>(NM_DBLCLK)};
  SendMessageW(GetParent(c().slot1Items.hwnd()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  ASSERT_TRUE(Input().IsShown());
  EXPECT_EQ(Input().entryBox.GetText(), "1");
  EXPECT_EQ(Input().promptLine.GetText(), Gbk("修改Cookies:[sid]的值;    快捷键:Enter(回车键)确定修改 - Esc(返回)"));
  Input().entryBox.SetText("42 a=b");
  Key(Input().entryBox, VK_RETURN);
  EXPECT_FALSE(Input().IsShown());
  EXPECT_EQ(Column(c().slot1Items, 2), (V{"42 a=b", "2"}));
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已修改Cookies[1号]中的子项[sid]的值为:42 a=b"));

  // Esc leaves the value as it was; so does a click on the main window.
  RightClick(c().slot1Items, E::kModify);
  ASSERT_TRUE(Input().IsShown());
  Input().entryBox.SetText("changed");
  Key(Input().entryBox, VK_ESCAPE);
  ui::LetPendingEventsRun();
  EXPECT_FALSE(Input().IsShown());
  RightClick(c().slot1Items, E::kModify);
  SetActiveWindow(window->hwnd());
  ui::LetPendingEventsRun();
  EXPECT_FALSE(Input().IsShown());
  EXPECT_EQ(Input().entryBox.GetText(), "");
  EXPECT_EQ(Column(c().slot1Items, 2), (V{"42 a=b", "2"}));
}

TEST_F(EditingTest, DeleteKeyKeepsARowSelectedAndRenumbers) {
  c().slot1Input.SetText("a=1;b=2;c=3");
  c().slot1Items.Focus();
  c().slot1Items.SelectRow(2);
  ui::LetPendingEventsRun();
  Key(c().slot1Items, VK_DELETE);
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"a", "b"}));
  EXPECT_EQ(c().slot1Items.SelectedRow(), 1);  // the new last row
  c().slot1Items.SelectRow(0);
  Key(c().slot1Items, VK_DELETE);
  EXPECT_EQ(Column(c().slot1Items, 0), (V{"1"}));
  EXPECT_EQ(c().slot1Items.SelectedRow(), 0);
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已删除Cookies[1号]中的子项[a]"));
}

TEST_F(EditingTest, ReplaceAndSwapFromTheDifferenceList) {
  Analysed("a=1;b=2", "a=9;b=8");
  c().differenceList.Focus();
  c().differenceList.SelectRow(1);  // b
  ui::LetPendingEventsRun();
  RightClick(c().differenceList, E::kReplaceWithSlot2);
  EXPECT_EQ(Column(c().slot1Items, 2), (V{"1", "8"}));
  EXPECT_EQ(Column(c().differenceList, 2), (V{"1", "8"}));
  EXPECT_EQ(c().contentBox.GetText(), "b=8;\r\n\r\nb=8;");
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已将Cookies值异同列表中子项[b]的值替换为:8"));

  c().differenceList.SelectRow(0);  // a
  ui::LetPendingEventsRun();
  RightClick(c().differenceList, E::kSwap);
  EXPECT_EQ(Column(c().slot1Items, 2), (V{"9", "8"}));
  EXPECT_EQ(Column(c().slot2Items, 2), (V{"1", "8"}));
  EXPECT_EQ(Column(c().differenceList, 3)[0], "1");
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已将Cookies[1号]与[2号]中子项[a]的值相互调换"));

  // Rows out of step are no counterparts: nothing changes, the row of the
  // difference list included.
  c().slot2Items.SelectRow(1);
  RightClick(c().differenceList, E::kSwap);
  EXPECT_EQ(Column(c().slot1Items, 2), (V{"9", "8"}));
  EXPECT_EQ(Column(c().differenceList, 2), (V{"9", "8"}));
  EXPECT_EQ(Column(c().differenceList, 3), (V{"1", "8"}));
}

// From an item list the value is written into that list, taken from the
// other slot's row of the same name.
TEST_F(EditingTest, ReplaceFromEachItemListWritesThatList) {
  Analysed("a=1;b=2", "a=9;b=8");
  c().slot1Items.SelectRow(1);  // b
  RightClick(c().slot1Items, E::kReplaceWithSlot2);
  EXPECT_EQ(Column(c().slot1Items, 2), (V{"1", "8"}));
  EXPECT_EQ(Column(c().slot2Items, 2), (V{"9", "8"}));
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已将Cookies[1号]中子项[b]的值替换为:8"));
  c().slot2Items.SelectRow(0);  // a
  RightClick(c().slot2Items, E::kReplaceWithSlot1);
  EXPECT_EQ(Column(c().slot2Items, 2), (V{"1", "8"}));
  EXPECT_EQ(Column(c().slot1Items, 2), (V{"1", "8"}));
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已将Cookies[2号]中子项[a]的值替换为:1"));
}

// With 区分大小写 on and 精确匹配 off, moving to id in one item list selects
// a name holding it in the other: those two rows are the pair to swap.
TEST_F(EditingTest, SwapFromAnItemListTakesThePairItsReportSelected) {
  messages->Expect(ui::MessageAnswer::kOk);
  c().exactMatchSwitch.Click();
  c().slot1Input.SetText("id=1");
  c().slot2Input.SetText("sid=2");
  c().slot1Items.SelectRow(0);
  RightClick(c().slot1Items, E::kSwap);
  EXPECT_EQ(c().slot2Items.SelectedRow(), 0);
  EXPECT_EQ(Column(c().slot1Items, 2), (V{"2"}));
  EXPECT_EQ(Column(c().slot2Items, 2), (V{"1"}));
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已将Cookies[1号]与[2号]中子项[id]的值相互调换"));

  c().slot1Input.SetText("sid=1");
  c().slot2Input.SetText("id=2");
  c().slot2Items.SelectRow(0);
  RightClick(c().slot2Items, E::kSwap);
  EXPECT_EQ(c().slot1Items.SelectedRow(), 0);
  EXPECT_EQ(Column(c().slot1Items, 2), (V{"2"}));
  EXPECT_EQ(Column(c().slot2Items, 2), (V{"1"}));
}

TEST_F(EditingTest, DecodedComparisonShowsInTheDetailWindowUntilTheContentChanges) {
  // {"uid":1} against {"uid":2}, percent-encoded.
  Analysed("s=%7B%22uid%22%3A1%7D;t=x", "s=%7B%22uid%22%3A2%7D;t=x");
  c().differenceList.Focus();
  c().differenceList.SelectRow(0);
  ui::LetPendingEventsRun();
  RightClick(c().differenceList, E::kDecodeCompare);
  ASSERT_TRUE(window->detail()->IsShown());
  std::string shown = window->detail()->detailBox.GetText();
  EXPECT_NE(shown.find(Gbk("  不同: uid: 1 → 2")), std::string::npos) << shown;

  // An item list compares its selected item with the counterpart.
  c().slot2Items.SelectRow(0);
  RightClick(c().slot2Items, E::kDecodeCompare);
  EXPECT_EQ(window->detail()->detailBox.GetText(), shown);

  c().contentBox.SetText("s=1;");
  EXPECT_EQ(window->detail()->detailBox.GetText(), "s=1;");
}

TEST_F(EditingTest, IgnoredNamesLeaveTheListsAndStayIgnored) {
  Analysed("a=1;b=2;c=3", "a=9;b=8;d=4");
  c().differenceList.Focus();
  c().differenceList.SelectRow(0);  // a
  ui::LetPendingEventsRun();
  RightClick(c().differenceList, E::kIgnoreItem);
  EXPECT_EQ(Column(c().differenceList, 1), (V{"b"}));
  EXPECT_EQ(Column(c().differenceList, 0), (V{"1"}));
  EXPECT_EQ(c().statusBar.GetText(), Gbk("分析提示:[1号]缺少:1项   [2号]缺少:1项   Cookies值异同:1项   已忽略:1项"));
  c().slot1Missing.SelectRow(0);  // d
  RightClick(c().slot1Missing, E::kIgnoreItem);
  EXPECT_TRUE(Column(c().slot1Missing, 1).empty());
  EXPECT_EQ(app::ReadSetting(Gbk("忽略列表")), "a\td");

  // A new start reads the list back, and Analyse honours it.
  window.reset();
  Start();
  Analysed("a=1;b=2;c=3", "a=9;b=8;d=4");
  EXPECT_EQ(Column(c().differenceList, 1), (V{"b"}));
  EXPECT_EQ(c().statusBar.GetText(), Gbk("分析提示:[1号]缺少:0项   [2号]缺少:1项   Cookies值异同:1项   已忽略:2项"));

  c().slot2Missing.SelectRow(0);
  RightClick(c().slot2Missing, E::kClearIgnoreList);
  EXPECT_EQ(app::ReadSetting(Gbk("忽略列表")), "");
  c().analyseButton.Click();
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().statusBar.GetText(), Gbk("分析提示:[1号]缺少:1项   [2号]缺少:1项   Cookies值异同:2项"));
}

TEST_F(EditingTest, AnIgnoreListTheSettingsFileCannotHoldStaysAsItWas) {
  std::string full(app::kMaxSettingLength - 3, 'x');
  app::WriteSetting(Gbk("忽略列表"), full);
  window.reset();
  Start();
  Analysed("a=1", "a=2");
  c().differenceList.Focus();
  c().differenceList.SelectRow(0);
  ui::LetPendingEventsRun();
  RightClick(c().differenceList, E::kIgnoreItem);
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:忽略列表已满,请先清除忽略列表！"));
  EXPECT_EQ(Column(c().differenceList, 1), (V{"a"}));
  EXPECT_EQ(app::ReadSetting(Gbk("忽略列表")), full);
}

TEST_F(EditingTest, CopiesReachTheClipboardInBothFormats) {
  c().lineSeparatorBox.SetText(";");
  Analysed("a=1;b=\xD6\xD0", "a=1;c=3");  // b=中
  c().slot1Items.SelectRow(1);
  RightClick(c().slot1Items, E::kCopyLine);
  EXPECT_EQ(ClipboardAnsi(), "b=\xD6\xD0;\r\n");
  EXPECT_EQ(ui::GetClipboardText(nullptr), "b=\xD6\xD0;\r\n");  // CF_UNICODETEXT, read back as GBK
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已复制当前行[Cookies=值]数据"));
  RightClick(c().slot1Items, E::kCopyCompleted);
  EXPECT_EQ(ClipboardAnsi(), "a=1;b=\xD6\xD0;c=3;");
  RightClick(c().slot1Items, E::kCopyAll);
  EXPECT_EQ(ClipboardAnsi(), "a=1;b=\xD6\xD0;");
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已复制Cookies[1号]全部数据"));

  // A clipboard another program holds: the hint says the copy failed.
  ASSERT_TRUE(OpenClipboard(nullptr));
  RightClick(c().slot1Items, E::kCopyName);
  CloseClipboard();
  EXPECT_NE(c().statusBar.GetText().find(Gbk("剪贴板")), std::string::npos) << c().statusBar.GetText();
}

// Each slot's copies carry that slot's values: the two forms of a
// difference row, and Slot 2 completed with what Slot 2 lacks.
TEST_F(EditingTest, CopiesOfASlotCarryThatSlotsValues) {
  Analysed("a=1;b=2;d=4", "a=1;c=3;d=5");
  c().differenceList.Focus();
  c().differenceList.SelectRow(0);  // d
  ui::LetPendingEventsRun();
  RightClick(c().differenceList, E::kCopySlot1Form);
  EXPECT_EQ(ClipboardAnsi(), "d=4;");
  RightClick(c().differenceList, E::kCopySlot2Form);
  EXPECT_EQ(ClipboardAnsi(), "d=5;");
  c().slot2Items.SelectRow(0);
  RightClick(c().slot2Items, E::kCopyCompleted);
  EXPECT_EQ(ClipboardAnsi(), "a=1;c=3;d=5;b=2;");
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已将Cookies[2号]缺少的Cookies值补全,并复制！"));
  c().slot2Missing.SelectRow(0);
  RightClick(c().slot2Missing, E::kCopyCompleted);
  EXPECT_EQ(ClipboardAnsi(), "a=1;c=3;d=5;b=2;");
}

TEST_F(EditingTest, ReloadUndoesTheEditsAndAnalyseEntryFillsASlot) {
  Analysed("a=1;b=2;d=4", "a=1;d=5");
  c().differenceList.Focus();
  c().differenceList.SelectRow(0);  // d: the content box shows both
  ui::LetPendingEventsRun();
  EXPECT_NE(c().contentBox.GetText(), "");
  c().slot1Items.Focus();
  c().slot1Items.SelectRow(0);
  Key(c().slot1Items, VK_DELETE);
  c().restoreButton.Click();
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"a", "b", "d"}));
  for (ui::ListView* list : {&c().slot1Missing, &c().slot2Missing, &c().differenceList})
    EXPECT_EQ(list->RowCount(), 0);
  EXPECT_EQ(c().contentBox.GetText(), "");
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已重新载入原始数据！:"));
  // Boxes emptied since parse nothing and write no notes: the reload itself
  // empties the content box.
  Analysed("a=1;d=4", "d=5");
  c().slot1Input.SetText("");
  c().slot2Input.SetText("");
  c().differenceList.Focus();
  c().differenceList.SelectRow(0);
  ui::LetPendingEventsRun();
  ASSERT_NE(c().contentBox.GetText(), "");
  c().restoreButton.Click();
  EXPECT_EQ(c().contentBox.GetText(), "");
  EXPECT_EQ(c().differenceList.RowCount(), 0);

  // A header's value analysed as Cookies, from the Slot 1 item list.
  c().httpModeSwitch.Click();
  c().slot1Input.SetText("Cookie: sid=1; lang=zh\r\nHost: x\r\n");
  c().slot2Input.SetText("Host: x\r\n");
  c().analyseButton.Click();
  c().slot2Missing.SelectRow(0);
  RightClick(c().slot2Missing, E::kCopyValue);
  EXPECT_EQ(ClipboardAnsi(), "sid=1; lang=zh");  // spaces inside a value stay
  c().slot1Items.SelectRow(0);
  RightClick(c().slot1Items, E::kAnalyseEntry);
  EXPECT_TRUE(c().cookiesModeSwitch.IsChecked());
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"lang", "sid"}));
}

}  // namespace
}  // namespace wintest
