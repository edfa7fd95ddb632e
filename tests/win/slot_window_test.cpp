// Parsing through the window: what a paste or a program-set text does to the
// item list, the report box, the status bar and the content box.
#include <gtest/gtest.h>

#include "app/settings.h"
#include "items/texts.h"
#include "tests/test_gbk.h"
#include "tests/win/window_test_support.h"

namespace wintest {
namespace {

using V = std::vector<std::string>;
namespace t = ds::texts;

class SlotWindowTest : public MainWindowTest {};

TEST_F(SlotWindowTest, PastedCaptureIsParsedSortedAndReported) {
  Paste(c().slot1Input, "b=1; _x=2; B=3; a=4");
  ui::LetPendingEventsRun();
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"_x", "a", "b", "B"}));
  EXPECT_EQ(Column(c().slot1Items, 0), (V{"1", "2", "3", "4"}));
  EXPECT_EQ(ShownCell(c().slot1Items, 3, 2), "3");
  EXPECT_EQ(c().reportBox.GetText(), t::kEmptyReport);
  EXPECT_EQ(c().statusBar.GetText(), t::kStatusPrefix);
  EXPECT_TRUE(c().slot2Items.rows().rows.empty());

  // Typing one more character parses the whole text again.
  c().slot1Input.SetCaret(static_cast<int>(c().slot1Input.GetText().size()));
  Paste(c().slot1Input, ";c");
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"_x", "a", "b", "B"}));
  EXPECT_EQ(c().statusBar.GetText(),
            ds::test::Gbk("分析提示:Cookies1号尾部数据不全,已过滤!\r\n请检查完整性! [错误数:1]\r\n\r\n"));
}

TEST_F(SlotWindowTest, ProgramSetTextParsesToo) {
  c().slot2Input.SetText("a=1;c=3;A=2");
  EXPECT_EQ(Column(c().slot2Items, 1), (V{"A", "a", "c"}));
  c().slot2Input.SetText("a=;b=2");
  EXPECT_EQ(c().contentBox.GetText(), ds::test::Gbk("Cookies[a]的值为(空)\r\n"));
}

TEST_F(SlotWindowTest, ErrorsKeepOrClearRowsAndEmptyTextChangesNothing) {
  c().slot1Input.SetText("a=1;b=2");
  c().slot1Input.SetText("");
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"a", "b"}));
  c().slot1Input.SetText("hello");
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"a", "b"}));
  EXPECT_EQ(c().reportBox.GetText(), ds::test::Gbk("检查到Cookies文本有错误!"));
  c().slot1Input.SetText("abc;");
  EXPECT_TRUE(c().slot1Items.rows().rows.empty());
}

TEST_F(SlotWindowTest, ValueColumnFillsTheRestOfTheList) {
  c().slot1Input.SetText("short=1;" + std::string(300, 'n') + "=2");
  ui::ListView& list = c().slot1Items;
  // Column 1 was fitted to a 300-character name, so the value column ran
  // under 20 pixels and was reset to 100 with column 1 made 95 narrower.
  EXPECT_EQ(list.ColumnWidth(2), 100);
  c().slot1Input.SetText("a=1");
  EXPECT_EQ(list.ColumnWidth(2), list.Bounds().width - list.ColumnWidth(0) - list.ColumnWidth(1) - 20);
  EXPECT_GE(list.ColumnWidth(2), 20);
}

TEST_F(SlotWindowTest, SeparatorBoxesCommitAndStore) {
  EXPECT_EQ(c().lineSeparatorBox.GetText(), ";");
  EXPECT_EQ(c().valueSeparatorBox.GetText(), "=");

  SelectAllAndPaste(c().lineSeparatorBox, "|");
  EXPECT_EQ(app::ReadSetting(t::kLineSeparatorKey), "|");
  EXPECT_EQ(window->state().separators.line, "|");
  c().slot1Input.SetText("a=1|b=2");
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"a", "b"}));

  // Cleared: the default is in force and stored, the box stays empty.
  c().lineSeparatorBox.SetText("");
  EXPECT_EQ(window->state().separators.line, ";");
  EXPECT_EQ(app::ReadSetting(t::kLineSeparatorKey), ";");
  EXPECT_EQ(c().lineSeparatorBox.GetText(), "");

  // CR LF in a box shows as the word.
  c().lineSeparatorBox.SetText("\r\n");
  EXPECT_EQ(c().lineSeparatorBox.GetText(), t::kLineBreakWord);
  EXPECT_EQ(window->state().separators.line, "\r\n");
  EXPECT_EQ(app::ReadSetting(t::kLineSeparatorKey), t::kLineBreakWord);
}

TEST_F(SlotWindowTest, EnterInTheValueSeparatorBoxMeansLineBreak) {
  c().valueSeparatorBox.Focus();
  SendMessageW(c().valueSeparatorBox.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(c().valueSeparatorBox.GetText(), t::kLineBreakWord);
  EXPECT_EQ(window->state().separators.value, "\r\n");
  EXPECT_EQ(app::ReadSetting(t::kValueSeparatorKey), t::kLineBreakWord);
  // Other keys are left alone.
  c().valueSeparatorBox.SetText(":");
  SendMessageW(c().valueSeparatorBox.hwnd(), WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(window->state().separators.value, ":");
}

TEST_F(SlotWindowTest, LargePasteParsesWithoutLosingText) {
  std::string capture;
  for (int i = 0; i < 100000; ++i) capture.append("k").append(std::to_string(i)).append("=v;");
  c().slot1Input.SetText(capture);
  EXPECT_EQ(c().slot1Input.GetText().size(), capture.size());
  EXPECT_EQ(c().slot1Items.RowCount(), 100000);
}

}  // namespace
}  // namespace wintest
