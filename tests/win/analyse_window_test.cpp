// The Analyse flow through the real window: refusals, the duplicate
// question, the result lists and what moving through them shows.
#include <gtest/gtest.h>

#include "compare/texts.h"
#include "items/texts.h"
#include "tests/test_gbk.h"
#include "tests/win/window_test_support.h"

namespace wintest {
namespace {

using V = std::vector<std::string>;
namespace t = ds::texts;

class AnalyseWindowTest : public MainWindowTest {
 protected:
  void Paste2(const char* slot1, const char* slot2) {
    c().slot1Input.SetText(slot1);
    c().slot2Input.SetText(slot2);
  }
  std::string Summary(int missing1, int missing2, int different) {
    return ds::test::Gbk("分析提示:[1号]缺少:" + std::to_string(missing1) + "项   [2号]缺少:" + std::to_string(missing2) +
                         "项   Cookies值异同:" + std::to_string(different) + "项");
  }
};

TEST_F(AnalyseWindowTest, RefusesConflictingSeparatorsAndPlaceholders) {
  Paste2("a=1", "a=2");
  c().valueSeparatorBox.SetText(";");
  messages->Expect(ui::MessageAnswer::kOk);
  c().analyseButton.Click();
  ASSERT_EQ(messages->shown().size(), 1u);
  EXPECT_EQ(messages->shown()[0].text, t::kSeparatorConflict);
  EXPECT_EQ(messages->shown()[0].title, t::kDefaultTitle);
  EXPECT_EQ(messages->shown()[0].icon, ui::MessageIcon::kExclamation);
  EXPECT_TRUE(messages->shown()[0].systemModal);
  EXPECT_TRUE(c().differenceList.rows().rows.empty());

  c().valueSeparatorBox.SetText("=");
  c().slot1Input.SetText(ds::PlaceholderText("Cookies", ds::Slot::k1));
  messages->Expect(ui::MessageAnswer::kOk);
  c().analyseBarButton.Click();
  ASSERT_EQ(messages->shown().size(), 2u);
  EXPECT_EQ(messages->shown()[1].text, t::kFillBothSlots);
  EXPECT_EQ(messages->shown()[1].title, t::kFriendlyTitle);
}

TEST_F(AnalyseWindowTest, TwoEmptySlotsDoNothing) {
  std::string status = c().statusBar.GetText();
  c().analyseButton.Click();
  EXPECT_TRUE(messages->shown().empty());
  EXPECT_EQ(c().statusBar.GetText(), status);
}

TEST_F(AnalyseWindowTest, FillsTheResultListsAndCountsThem) {
  Paste2("a=1;b=2;c=3", "a=1;b=X;d=4;e=5");
  c().analyseButton.Click();
  ui::LetPendingEventsRun();
  EXPECT_EQ(Column(c().slot1Missing, 1), (V{"d", "e"}));
  EXPECT_EQ(Column(c().slot1Missing, 0), (V{"1", "2"}));
  EXPECT_EQ(Column(c().slot2Missing, 1), (V{"c"}));
  EXPECT_EQ(Column(c().differenceList, 3), (V{"X"}));
  EXPECT_EQ(c().statusBar.GetText(), Summary(2, 1, 1));
  EXPECT_EQ(c().contentBox.GetText(), "");  // the parser's notes are gone
}

TEST_F(AnalyseWindowTest, DuplicateQuestionAnsweredYesOrNo) {
  Paste2("a=1;a=2;b=3", "b=3;b=4");
  messages->Expect(ui::MessageAnswer::kYes);
  c().analyseButton.Click();
  ASSERT_EQ(messages->shown().size(), 1u);
  EXPECT_EQ(messages->shown()[0].text, ds::test::Gbk("Cookies1号出现重复项[a],是否全部自动去除重复项？"));
  EXPECT_EQ(messages->shown()[0].buttons, ui::MessageButtons::kYesNo);
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"a", "b"}));
  EXPECT_EQ(Column(c().slot1Items, 0), (V{"1", "3"}));
  EXPECT_EQ(Column(c().slot2Items, 1), (V{"b"}));
  EXPECT_EQ(c().contentBox.GetText(), ds::test::Gbk("Cookies1号[a]重复:1\r\nCookies2号[b]重复:1\r\n"));

  Paste2("a=1;a=2", "a=1");
  messages->Expect(ui::MessageAnswer::kNo);
  c().analyseButton.Click();
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"a", "a"}));
  EXPECT_EQ(c().statusBar.GetText(), Summary(0, 0, 1));  // the kept second a differs from Slot 2's a
}

TEST_F(AnalyseWindowTest, DifferenceRowSelectsTheItemInBothListsAndReports) {
  Paste2("x=0;a=abcd;b=2", "a=abce;b=2");
  c().analyseButton.Click();
  ASSERT_EQ(c().differenceList.RowCount(), 1);
  c().differenceList.Focus();
  c().differenceList.SelectRow(0);
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().slot1Items.SelectedRow(), 0);  // a, sorted before b and x
  EXPECT_EQ(c().slot2Items.SelectedRow(), 0);
  EXPECT_EQ(c().contentBox.GetText(), "a=abcd\r\n\r\na=abce\r\n");
  std::string report = c().reportBox.GetText();
  EXPECT_EQ(report.substr(0, ds::test::Gbk("1号值 文本长度:4").size()), ds::test::Gbk("1号值 文本长度:4"));
  EXPECT_NE(report.find(ds::test::Gbk("对比Cookies值:不同")), std::string::npos);
  EXPECT_EQ(window->state().current.role, ds::ListRole::kDifferences);
}

TEST_F(AnalyseWindowTest, DifferenceRowFollowsTheKeyboard) {
  Paste2("a=1;b=2;c=3", "a=9;b=8;c=7");
  c().analyseButton.Click();
  ASSERT_EQ(c().differenceList.RowCount(), 3);
  c().differenceList.Focus();
  c().differenceList.SelectRow(0);
  for (int row = 1; row < 3; ++row) {
    SendMessageW(c().differenceList.hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    ui::LetPendingEventsRun();
    ASSERT_EQ(c().differenceList.SelectedRow(), row);
    EXPECT_EQ(c().slot1Items.SelectedRow(), row);
    // The report describes the row moved to: its Slot 1 value is 1 byte.
    EXPECT_EQ(c().contentBox.GetText(), Column(c().differenceList, 1)[static_cast<size_t>(row)] + "=" +
                                            Column(c().differenceList, 2)[static_cast<size_t>(row)] + "\r\n\r\n" +
                                            Column(c().differenceList, 1)[static_cast<size_t>(row)] + "=" +
                                            Column(c().differenceList, 3)[static_cast<size_t>(row)] + "\r\n");
  }
}

// Up and Down are stepped by the program, not the list view: they must stop
// at both ends, start at the first row when none is focused, and leave
// Shift+Down to the list view.
TEST_F(AnalyseWindowTest, UpAndDownStopAtTheEndsOfAnItemList) {
  Paste2("a=1;b=2;c=3", "c=3");
  ui::ListView& list = c().slot1Items;
  list.Focus();
  auto press = [&list](UINT key) {
    SendMessageW(list.hwnd(), WM_KEYDOWN, key, 0);
    ui::LetPendingEventsRun();
    return list.SelectedRow();
  };
  list.ClearSelection();
  EXPECT_EQ(press(VK_DOWN), 0);
  EXPECT_EQ(press(VK_DOWN), 1);
  EXPECT_EQ(press(VK_DOWN), 2);
  EXPECT_EQ(c().slot2Items.SelectedRow(), 0);  // the counterpart followed
  EXPECT_EQ(press(VK_DOWN), 2);
  EXPECT_EQ(press(VK_UP), 1);
  EXPECT_EQ(press(VK_UP), 0);
  EXPECT_EQ(press(VK_UP), 0);
  EXPECT_EQ(ListView_GetNextItem(list.hwnd(), -1, LVNI_FOCUSED), 0);
  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(list.hwnd(), WM_KEYDOWN, VK_DOWN, 0);
  BYTE none[256] = {};
  SetKeyboardState(none);
  EXPECT_EQ(list.SelectedRow(), 1);  // the list view's own step
}

TEST_F(AnalyseWindowTest, CaseInsensitiveDifferenceLeavesSlot2WithoutSelection) {
  c().caseSensitiveSwitch.SetChecked(false);
  Paste2("a=1", "A=2");
  c().analyseButton.Click();
  ASSERT_EQ(c().differenceList.RowCount(), 1);
  c().differenceList.SelectRow(0);
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().slot2Items.SelectedRow(), -1);
  EXPECT_EQ(c().contentBox.GetText(), "a=1\r\n\r\n=\r\n");
}

TEST_F(AnalyseWindowTest, MissingListFocusAndClickFillTheContentBox) {
  Paste2("a=1", "b=2");
  c().analyseButton.Click();
  c().slot1Missing.SelectRow(0);
  c().slot1Missing.Focus();
  ui::LetPendingEventsRun();
  EXPECT_EQ(window->state().current.role, ds::ListRole::kSlot1Missing);
  EXPECT_EQ(c().contentBox.GetText(), "b=2;");

  c().contentBox.SetText("kept");
  c().differenceList.Focus();
  c().slot2Missing.Clear();
  c().slot2Missing.Focus();  // no rows: the title changes, the box does not
  ui::LetPendingEventsRun();
  EXPECT_EQ(window->state().current.role, ds::ListRole::kSlot2Missing);
  EXPECT_EQ(c().contentBox.GetText(), "kept");
}

TEST_F(AnalyseWindowTest, ItemListFocusReportsAndSelectsTheCounterpart) {
  Paste2("a=1;b=2", "b=3");
  c().slot1Items.SelectRow(1);
  c().slot1Items.Focus();
  ui::LetPendingEventsRun();
  EXPECT_EQ(window->state().current.role, ds::ListRole::kSlot1Items);
  EXPECT_EQ(c().slot2Items.SelectedRow(), 0);
  EXPECT_EQ(c().contentBox.GetText(), "b=2;\r\n\r\nb=3;\r\n");
  // A list of two rows is not taller than its 150 pixels: it keeps its height.
  EXPECT_EQ(c().slot1Items.Bounds().height, 150);

  // Moving to a row without counterpart.
  c().slot1Items.SelectRow(0);
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().reportBox.GetText(), ds::test::Gbk("Cookies2号中无对应Cookies项"));
  EXPECT_EQ(c().contentBox.GetText(), "a=1;\r\n");
}

// The other list's names are indexed once for many reports: a new parse of
// that list or a changed name rule shows in the very next report.
TEST_F(AnalyseWindowTest, CounterpartFollowsANewParseOfTheOtherListAndTheNameRule) {
  Paste2("a=1;b=2", "b=3");
  c().slot1Items.SelectRow(1);
  c().slot1Items.Focus();
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().slot2Items.SelectedRow(), 0);

  c().slot2Input.SetText("a=5;b=6");
  c().slot1Items.Focus();
  c().slot1Items.SelectRow(0);
  c().slot1Items.SelectRow(1);
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().slot2Items.SelectedRow(), 1);
  EXPECT_EQ(c().contentBox.GetText(), "b=2;\r\n\r\nb=6;\r\n");

  c().slot2Input.SetText("B=7");
  c().slot1Items.Focus();
  c().slot1Items.SelectRow(0);
  c().slot1Items.SelectRow(1);
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().slot2Items.SelectedRow(), -1);
  c().caseSensitiveSwitch.SetChecked(false);
  c().slot1Items.SelectRow(0);
  c().slot1Items.SelectRow(1);
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().slot2Items.SelectedRow(), 0);
  EXPECT_EQ(c().contentBox.GetText(), "b=2;\r\n\r\nB=7;\r\n");
}

TEST_F(AnalyseWindowTest, StoppingTitlesKeepAMovedCounterpartFromReportingAgain) {
  Paste2("a=1;b=2", "a=3;b=4");
  c().slot2Items.SelectRow(0);
  c().slot2Items.Focus();
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().contentBox.GetText(), "a=1;\r\n\r\na=3;\r\n");
  // While the difference list's title is current, a row change in the focused
  // Slot 2 list makes no report.
  window->state().current.role = ds::ListRole::kDifferences;
  c().slot2Items.SelectRow(1);
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().contentBox.GetText(), "a=1;\r\n\r\na=3;\r\n");
  window->state().current.role = ds::ListRole::kSlot2Items;
  c().slot2Items.SelectRow(0);
  c().slot2Items.SelectRow(1);
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().contentBox.GetText(), "b=2;\r\n\r\nb=4;\r\n");
}

TEST_F(AnalyseWindowTest, LongItemListReachesTheSplitterWhileFocused) {
  std::string capture;
  for (int i = 0; i < 40; ++i) capture.append("k").append(std::to_string(i)).append("=1;");
  c().slot1Input.SetText(capture);
  c().slot1Items.Focus();
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().slot1Items.Bounds().height, c().splitter.Bounds().y - c().slot1Items.Bounds().y - 1);
  c().slot2Items.Focus();
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().slot1Items.Bounds().height, c().searchResultBox.Bounds().height);
}

}  // namespace
}  // namespace wintest
