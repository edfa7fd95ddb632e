// The shell of the main window: analysis modes, compact mode, the layout and
// the stored position, option switches, placeholders, the detail window.
#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/texts.h"
#include "compare/texts.h"
#include "items/texts.h"
#include "tests/test_gbk.h"
#include "tests/win/window_test_support.h"

namespace wintest {
namespace {

namespace at = app::texts;
namespace t = ds::texts;
using V = std::vector<std::string>;

class ShellTest : public MainWindowTest {};

TEST_F(ShellTest, ModeSwitchChangesTextsSeparatorsAndParsesBothSlots) {
  c().slot1Input.SetText(ds::PlaceholderText("Cookies", ds::Slot::k1));
  c().slot2Input.SetText("Host: a\r\nAccept: */*");
  c().httpModeSwitch.Click();
  EXPECT_TRUE(c().httpModeSwitch.IsChecked());
  EXPECT_FALSE(c().cookiesModeSwitch.IsChecked());
  EXPECT_EQ(std::string(window->state().ModeWord()), t::kModeWordHttp);
  EXPECT_EQ(app::ReadSetting(at::kModeKey), "2");
  EXPECT_EQ(app::ReadSetting(t::kLineSeparatorKey), t::kLineBreakWord);
  EXPECT_EQ(app::ReadSetting(t::kValueSeparatorKey), ":");
  EXPECT_EQ(c().analyseButton.GetText(), ds::test::Gbk("分析Http协议"));
  EXPECT_EQ(c().analyseBarButton.GetText(), c().analyseButton.GetText());
  EXPECT_EQ(c().slot1Caption.GetText(), at::kSlot1CaptionHttp);
  EXPECT_EQ(c().contentCaption.GetText(), at::kContentCaptionHttp);
  EXPECT_EQ(c().slot1Items.ColumnTitle(1), at::kItemNameColumnHttp);
  EXPECT_EQ(c().slot2Missing.ColumnTitle(1), at::kMissingNameColumnHttp);
  EXPECT_EQ(c().differenceList.ColumnTitle(1), at::kDifferenceNameColumnHttp);
  EXPECT_EQ(c().listMenu.Caption(app::MenuId(ds::MenuEntry::kCopySlot1Form)), ds::test::Gbk("复制 1号Http协议数据"));
  EXPECT_EQ(c().slot1Input.GetText(), ds::PlaceholderText(t::kModeWordHttp, ds::Slot::k1));  // the placeholder follows
  EXPECT_EQ(Column(c().slot2Items, 1), (V{"Accept", "Host"}));  // parsed again with CR LF and ':'
}

TEST_F(ShellTest, ClickingTheCurrentModeAgainRestoresItsSeparators) {
  c().valueSeparatorBox.SetText("=>");
  c().cookiesModeSwitch.Click();  // the click clears the check mark; the switch sets it again
  EXPECT_TRUE(c().cookiesModeSwitch.IsChecked());
  EXPECT_EQ(c().valueSeparatorBox.GetText(), "=");
  EXPECT_EQ(app::ReadSetting(t::kValueSeparatorKey), "=");
  // Data that holds the placeholder's first word is replaced by the placeholder.
  c().slot1Input.SetText(std::string("a=") + t::kPlaceholderPrefix);
  c().cookiesModeSwitch.Click();
  EXPECT_EQ(c().slot1Input.GetText(), ds::PlaceholderText("Cookies", ds::Slot::k1));
}

TEST_F(ShellTest, CompactToggleNarrowsAndFullModeComesBackAt830x590) {
  c().compactToggle.Click();
  EXPECT_TRUE(window->state().compact);
  EXPECT_EQ(c().compactToggle.GetText(), "<");
  EXPECT_EQ(window->Size().cx, 642);
  EXPECT_EQ(window->Size().cy, 581);
  EXPECT_TRUE(c().analyseBarButton.IsVisible());
  EXPECT_FALSE(c().leftPanel.IsVisible());
  EXPECT_EQ(c().leftPanel.Bounds().x, -200);
  EXPECT_EQ(c().rightPanel.Bounds().x, 7);
  EXPECT_EQ(c().differenceList.Bounds().x, c().splitter.Bounds().x);
  EXPECT_EQ(app::ReadSetting(at::kCompactKey), "yes");

  c().compactToggle.Click();
  EXPECT_EQ(c().compactToggle.GetText(), ">");
  EXPECT_EQ(window->Size().cx, 830);
  EXPECT_EQ(window->Size().cy, 590);
  EXPECT_FALSE(c().analyseBarButton.IsVisible());
  EXPECT_EQ(c().rightPanel.Bounds().x, 190);
  EXPECT_EQ(c().contentBox.Bounds().x, 205);
  EXPECT_EQ(app::ReadSetting(at::kCompactKey), "no");
  // The Analyse bar button runs the same action.
  messages->Expect(ui::MessageAnswer::kOk);
  c().valueSeparatorBox.SetText(";");
  c().analyseBarButton.Click();
  EXPECT_EQ(messages->shown().size(), 1u);
}

TEST_F(ShellTest, CompactToggleFromAMaximisedWindowStaysMaximised) {
  window->SetPlacement(ui::Placement::kMaximised);
  c().compactToggle.Click();
  EXPECT_EQ(window->CurrentPlacement(), ui::Placement::kMaximised);
  EXPECT_EQ(app::ReadSetting(at::kCompactKey), "yes");
  window->SetPlacement(ui::Placement::kNormal);
  EXPECT_EQ(window->Size().cx, 642);
}

TEST_F(ShellTest, ResizeKeepsProportionsAndStoresThePosition) {
  ui::Rect before = c().rightPanel.Bounds();
  ui::Rect list = c().slot1Items.Bounds();
  SIZE size = window->Size();
  window->SetSize(size.cx * 5 / 4, size.cy * 5 / 4);
  ui::Rect after = c().rightPanel.Bounds();
  EXPECT_NEAR(after.x, before.x * 5 / 4, 1);
  EXPECT_NEAR(after.width, before.width * 5 / 4, 1);
  EXPECT_NEAR(c().slot1Items.Bounds().height, list.height * 5 / 4, 1);
  EXPECT_EQ(app::ReadSetting(at::kWindowPositionKey), "1");

  window->SetPlacement(ui::Placement::kMaximised);
  EXPECT_EQ(app::ReadSetting(at::kWindowPositionKey), "3");
  window->SetPlacement(ui::Placement::kNormal);
  EXPECT_EQ(app::ReadSetting(at::kWindowPositionKey), "1");
  EXPECT_EQ(c().rightPanel.Bounds().x, after.x);  // back at the proportions of this size
  // Minimising writes nothing: a marker written while minimised survives.
  window->SetPlacement(ui::Placement::kMinimised);
  app::WriteSetting(at::kWindowPositionKey, "x");
  SendMessageW(window->hwnd(), WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(app::ReadSetting(at::kWindowPositionKey), "x");
  window->SetPlacement(ui::Placement::kNormal);
  EXPECT_EQ(app::ReadSetting(at::kWindowPositionKey), "1");
}

TEST_F(ShellTest, NarrowItemListScrollsInsteadOfHidingValues) {
  c().slot1Input.SetText(std::string(120, 'n') + "=1");
  window->SetSize(300, 581);
  EXPECT_EQ(c().slot1Items.ColumnWidth(2), 100);
  EXPECT_LT(c().slot2Missing.ColumnWidth(2), 20);  // the missing lists get no repair
}

TEST_F(ShellTest, OptionSwitchesStoreAtOnceAndClearingExactMatchWarns) {
  c().caseSensitiveSwitch.Click();
  EXPECT_EQ(app::ReadSetting(at::kCaseSensitiveKey), "no");
  c().autoExpandSwitch.Click();
  EXPECT_EQ(app::ReadSetting(at::kAutoExpandKey), "no");
  messages->Expect(ui::MessageAnswer::kOk);
  c().exactMatchSwitch.Click();
  EXPECT_EQ(app::ReadSetting(at::kExactMatchKey), "no");
  ASSERT_EQ(messages->shown().size(), 1u);
  EXPECT_EQ(messages->shown()[0].title, at::kExactOffTitle);
  EXPECT_EQ(messages->shown()[0].icon, ui::MessageIcon::kInformation);
  c().exactMatchSwitch.Click();  // back on: no message
  EXPECT_EQ(app::ReadSetting(at::kExactMatchKey), "yes");
  EXPECT_EQ(messages->shown().size(), 1u);
}

TEST_F(ShellTest, PlaceholderLeavesOnFocusAndComesBackWhenLeftEmpty) {
  c().slot1Input.SetText(ds::PlaceholderText("Cookies", ds::Slot::k1));
  c().slot1Input.Focus();
  EXPECT_EQ(c().slot1Input.GetText(), "");
  c().slot2Input.Focus();
  EXPECT_EQ(c().slot1Input.GetText(), ds::PlaceholderText("Cookies", ds::Slot::k1));
  // Data is selected whole on focus, so typing replaces it.
  c().slot2Input.SetText("a=1");
  c().slot1Input.Focus();
  c().slot2Input.Focus();
  int start = -1, end = -1;
  c().slot2Input.GetSelection(&start, &end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 3);
}

TEST_F(ShellTest, DetailWindowTogglesAndMirrorsTheContentBox) {
  app::DetailWindow* detail = window->detail();
  ASSERT_NE(detail, nullptr);
  EXPECT_FALSE(detail->IsShown());
  c().contentBox.SetText("a=1;");
  c().detailButton.Click();
  EXPECT_TRUE(detail->IsShown());
  EXPECT_EQ(detail->detailBox.GetText(), "a=1;");
  RECT main, d;
  GetWindowRect(window->hwnd(), &main);
  GetWindowRect(detail->hwnd(), &d);
  EXPECT_EQ(d.left, main.left + 6);
  EXPECT_EQ(d.top, main.top + 30);
  EXPECT_EQ(d.right - d.left, (main.right - main.left) - 22);
  c().contentBox.SetText("b=2;");
  EXPECT_EQ(detail->detailBox.GetText(), "b=2;");
  c().detailButton.Click();
  EXPECT_FALSE(detail->IsShown());

  // Its close box only hides it; Esc on the difference list hides it too.
  c().detailButton.Click();
  SendMessageW(detail->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(detail->IsShown());
  EXPECT_TRUE(IsWindow(detail->hwnd()));
  c().detailButton.Click();
  SendMessageW(c().differenceList.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(detail->IsShown());
}

TEST_F(ShellTest, DoubleClickOnTheDifferenceListShowsTheDetailWindow) {
  c().slot1Input.SetText("a=1");
  c().slot2Input.SetText("a=2");
  c().analyseButton.Click();
  c().differenceList.SelectRow(0);
  ui::LetPendingEventsRun();
  NMHDR header{c().differenceList.hwnd(), 0, static_cast<UINT>(NM_DBLCLK)};
  SendMessageW(c().rightPanel.hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  EXPECT_TRUE(window->detail()->IsShown());
  EXPECT_EQ(window->detail()->detailBox.GetText(), c().contentBox.GetText());
}

}  // namespace
}  // namespace wintest
