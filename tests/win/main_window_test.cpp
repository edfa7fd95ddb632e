// The main window holds every designed control where the design puts it.
#include <gtest/gtest.h>

#include "app/main_window_design.h"
#include "tests/win/window_test_support.h"

namespace wintest {
namespace {

class MainWindowDesignTest : public MainWindowTest {};

TEST_F(MainWindowDesignTest, EveryControlAtItsDesignedPlaceWithItsText) {
  EXPECT_EQ(window->Size().cx, app::kDesignWidth);
  EXPECT_EQ(window->Size().cy, app::kDesignHeight);
  for (const app::ControlDesign& d : app::MainWindowDesign()) {
    ui::Control& control = d.Of(c());
    ASSERT_NE(control.hwnd(), nullptr) << d.formName;
    EXPECT_EQ(control.IsVisible(), d.shown) << d.formName;
    // Designed below the client area; it moves where it can be clicked.
    if (&control == &c().detailButton) continue;
    ui::Rect r = control.Bounds();
    EXPECT_EQ(r.x, d.bounds.x) << d.formName;
    EXPECT_EQ(r.y, d.bounds.y) << d.formName;
    EXPECT_EQ(r.width, d.bounds.width) << d.formName;
    EXPECT_EQ(r.height, d.bounds.height) << d.formName;
  }
  EXPECT_EQ(c().compactToggle.GetText(), ">");
  EXPECT_EQ(c().reportBox.GetText(),
            "\xB6\xD4\xB1\xC8\xBD\xE1\xB9\xFB:\r\n\r\n\xC7\xEB\xCC\xEE\xC8\xEB(1\xBA\xC5)(2\xBA\xC5) Cookies\xCA\xFD\xBE\xDD.");
  EXPECT_EQ(c().slot1Caption.GetText(),
            "[Cookies 1\xBA\xC5] \xB7\xD6\xCE\xF6\xC4\xDA\xC8\xDD:              (\xCB\xAB\xBB\xF7\xD0\xDE\xB8\xC4)");
}

class HiddenMainWindowTest : public MainWindowTest {
 protected:
  HiddenMainWindowTest() { startInSetUp = false; }
};

// Column widths as designed until the window is first shown; the name
// columns' titles as start-up's mode switch left them.
TEST_F(HiddenMainWindowTest, ListsCarryTheirDesignColumns) {
  window = std::make_unique<app::MainWindow>();
  ASSERT_TRUE(window->Create(false));
  struct Case {
    ui::ListView* list;
    std::vector<std::pair<std::string, int>> columns;
  } cases[] = {
      {&c().slot1Items, {{"-", 50}, {"Cookies", 100}, {"\xD6\xB5[1]", 142}}},
      {&c().slot2Items, {{"-", 50}, {"Cookies", 100}, {"\xD6\xB5[2]", 142}}},
      {&c().slot1Missing, {{"-", 50}, {"\xC8\xB1\xC9\xD9\xB5\xC4" "Cookies", 100}, {"\xD6\xB5", 142}}},
      {&c().slot2Missing, {{"-", 50}, {"\xC8\xB1\xC9\xD9\xB5\xC4" "Cookies", 100}, {"\xD6\xB5", 142}}},
      {&c().differenceList,
       {{"-", 22}, {"\xD6\xB5\xB2\xBB\xCD\xAC\xB5\xC4[Cookies]", 120}, {"\xD6\xB5[1]", 215}, {"\xD6\xB5[2]", 215}}},
  };
  for (const Case& k : cases) {
    ASSERT_EQ(k.list->ColumnCount(), static_cast<int>(k.columns.size()));
    for (size_t i = 0; i < k.columns.size(); ++i) {
      EXPECT_EQ(k.list->ColumnTitle(static_cast<int>(i)), k.columns[i].first);
      EXPECT_EQ(k.list->ColumnWidth(static_cast<int>(i)), k.columns[i].second);
    }
  }
  // Showing the window runs the resize handling: the value columns fill the lists.
  window->ShowAsPlaced();
  for (ui::ListView* list : {&c().slot1Items, &c().slot2Missing})
    EXPECT_EQ(list->ColumnWidth(2), list->Bounds().width - list->ColumnWidth(0) - list->ColumnWidth(1) - 20);
}

// The lists do not draw while a resize lays them out: afterwards each draws
// again, its scroll bar measured for the new height and its columns refitted.
TEST_F(MainWindowDesignTest, ListsDrawAgainAfterMaximiseAndRestore) {
  window->ShowAsPlaced();
  std::string capture;
  for (int i = 0; i < 1000; ++i) capture += "k" + std::to_string(i) + "=v;";
  c().slot1Input.SetText(capture);
  for (ui::Placement placement : {ui::Placement::kMaximised, ui::Placement::kNormal}) {
    window->SetPlacement(placement);
    ui::LetPendingEventsRun();
    for (ui::ListView* list : app::AllLists(c())) {
      EXPECT_TRUE(IsWindowVisible(list->hwnd()));
      RECT pending{};
      EXPECT_FALSE(GetUpdateRect(list->hwnd(), &pending, FALSE));  // painted
    }
    HWND items = c().slot1Items.hwnd();
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_PAGE | SIF_RANGE;
    ASSERT_TRUE(GetScrollInfo(items, SB_VERT, &bar));
    EXPECT_EQ(static_cast<int>(bar.nPage), SendMessageW(items, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_EQ(bar.nMax, 999);
    for (ui::ListView* list : {&c().slot1Items, &c().slot2Missing})
      EXPECT_EQ(list->ColumnWidth(2), list->Bounds().width - list->ColumnWidth(0) - list->ColumnWidth(1) - 20);
  }
}

TEST_F(MainWindowDesignTest, ResizesAndClosesCleanly) {
  window->SetSize(1000, 700);
  ui::LetPendingEventsRun();
  EXPECT_EQ(window->Size().cx, 1000);
  HWND hwnd = window->hwnd();
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  ui::LetPendingEventsRun();
  EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
}  // namespace wintest
