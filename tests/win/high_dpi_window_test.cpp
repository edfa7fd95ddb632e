// On a screen of 144 DPI (150 %) every designed pixel is scaled by 1.5: each
// control lies at its design times 1.5, and controls that do not overlap in
// the design do not overlap scaled. A move to a monitor of another DPI lays
// the window out again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window_design.h"
#include "tests/win/window_test_support.h"
#include "ui/dpi.h"

namespace wintest {
namespace {

constexpr int kHighDpi = 144;
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";
// Set for the child process this file starts at 144 DPI: there the test must run, not skip.
constexpr char kChildMark[] = "DS_HIGH_DPI_CHILD";

struct Placed {
  const app::ControlDesign* design;
  ui::Rect shown;     // in the main window's client area
  ui::Rect designed;  // the same, as designed at 96 DPI
};

ui::Rect InClientArea(const ui::Rect& r, const ui::Rect& container) {
  return {container.x + r.x, container.y + r.y, r.width, r.height};
}

bool Overlap(const ui::Rect& a, const ui::Rect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

std::vector<Placed> PlaceAll(app::MainControls& c) {
  ui::Rect left = c.leftPanel.Bounds(), right = c.rightPanel.Bounds();
  ui::Rect leftDesign{}, rightDesign{};
  for (const app::ControlDesign& d : app::MainWindowDesign()) {
    if (&d.Of(c) == &c.leftPanel) leftDesign = d.bounds;
    if (&d.Of(c) == &c.rightPanel) rightDesign = d.bounds;
  }
  std::vector<Placed> out;
  for (const app::ControlDesign& d : app::MainWindowDesign()) {
    ui::Rect shown = d.Of(c).Bounds(), designed = d.bounds;
    if (d.container == app::Container::kLeftPanel) {
      shown = InClientArea(shown, left);
      designed = InClientArea(designed, leftDesign);
    } else if (d.container == app::Container::kRightPanel) {
      shown = InClientArea(shown, right);
      designed = InClientArea(designed, rightDesign);
    }
    out.push_back({&d, shown, designed});
  }
  return out;
}

int FontHeight(HWND control) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW lf{};
  if (!font || !GetObjectW(font, sizeof lf, &lf)) return 0;
  return lf.lfHeight;
}

// Each control at its design times `factor` within a pixel, in its
// container; no two overlapping that the design keeps apart; the fonts and
// the difference list's columns scaled as well.
void ExpectDesignScaled(app::MainWindow& window, double factor) {
  app::MainControls& c = window.controls();
  EXPECT_NEAR(window.Size().cx, app::kDesignWidth * factor, 1);
  EXPECT_NEAR(window.Size().cy, app::kDesignHeight * factor, 1);
  for (const app::ControlDesign& d : app::MainWindowDesign()) {
    ui::Control& control = d.Of(c);
    // The detail button moves where it can be clicked.
    if (&control == &c.detailButton) continue;
    ui::Rect r = control.Bounds();
    EXPECT_NEAR(r.x, d.bounds.x * factor, 1) << d.formName;
    EXPECT_NEAR(r.y, d.bounds.y * factor, 1) << d.formName;
    EXPECT_NEAR(r.width, d.bounds.width * factor, 1) << d.formName;
    EXPECT_NEAR(r.height, d.bounds.height * factor, 1) << d.formName;
  }
  std::vector<Placed> placed = PlaceAll(c);
  for (size_t i = 0; i < placed.size(); ++i) {
    for (size_t j = i + 1; j < placed.size(); ++j) {
      const Placed &a = placed[i], &b = placed[j];
      bool moved = &a.design->Of(c) == &c.detailButton || &b.design->Of(c) == &c.detailButton;
      if (!moved && Overlap(a.designed, b.designed)) continue;
      if (moved && (&a.design->Of(c) == &c.rightPanel || &b.design->Of(c) == &c.rightPanel)) continue;  // its container
      if (moved && (!a.design->Of(c).IsVisible() || !b.design->Of(c).IsVisible())) continue;
      EXPECT_FALSE(Overlap(a.shown, b.shown)) << a.design->formName << " over " << b.design->formName;
    }
  }
  EXPECT_EQ(FontHeight(window.hwnd()), -static_cast<int>(12 * factor));  // the one handed to every control
  EXPECT_NEAR(c.differenceList.ColumnWidth(0), 22 * factor, 1);
  EXPECT_NEAR(c.differenceList.ColumnWidth(1), 120 * factor, 1);
  EXPECT_NEAR(c.differenceList.ColumnWidth(2), 215 * factor, 1);
}

class HighDpiWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    if (ui::DpiOf(nullptr) != kHighDpi) {
      if (std::getenv(kChildMark)) FAIL() << "started for 144 DPI, running at " << ui::DpiOf(nullptr);
      GTEST_SKIP() << "runs at 144 DPI, in the process HighDpiStart starts";
    }
    MainWindowTest::SetUp();
  }
};

TEST_F(HighDpiWindowTest, EveryControlIsItsDesignScaled) {
  EXPECT_EQ(window->dpi(), kHighDpi);
  ExpectDesignScaled(*window, 1.5);
  // What the controls show in, the skin's font when it is on: scaled as well.
  EXPECT_EQ(FontHeight(c().slot1Input.hwnd()), -18);
  EXPECT_EQ(FontHeight(c().analyseButton.hwnd()), -18);
  // Compact mode's designed sizes scale too, and full mode comes back scaled.
  c().compactToggle.Click();
  EXPECT_EQ(window->Size().cx, 963);
  EXPECT_EQ(c().rightPanel.Bounds().x, 10);
  c().compactToggle.Click();
  EXPECT_EQ(window->Size().cx, 1245);
  EXPECT_EQ(window->Size().cy, 885);
  EXPECT_EQ(c().contentBox.Bounds().x, 285 + 22);
}

// Sets Wine's screen DPI for the processes started while it lives; the
// value the prefix had comes back afterwards.
class ScreenDpi {
 public:
  explicit ScreenDpi(DWORD dpi) {
    DWORD size = sizeof old_;
    had_ = RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, RRF_RT_REG_DWORD, nullptr, &old_, &size) ==
           ERROR_SUCCESS;
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &dpi, sizeof dpi);
  }
  ~ScreenDpi() {
    if (had_)
      RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &old_, sizeof old_);
    else
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels);
  }
  ScreenDpi(const ScreenDpi&) = delete;
  ScreenDpi& operator=(const ScreenDpi&) = delete;

 private:
  DWORD old_ = 0;
  bool had_ = false;
};

// The DPI is read when a process starts: the window is made in a child
// process started at 144 DPI, which runs the test above.
TEST(HighDpiStart, TheWindowStartedAt150PercentIsItsDesignScaled) {
  wchar_t self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  std::wstring command = std::wstring(L"\"") + self + L"\" --gtest_filter=HighDpiWindowTest.*";
  DWORD exitCode = 1;
  {
    ScreenDpi screen(kHighDpi);
    SetEnvironmentVariableA(kChildMark, "1");
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process);
    SetEnvironmentVariableA(kChildMark, nullptr);
    ASSERT_TRUE(started);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(ui::DpiOf(nullptr), ui::kDesignDpi);
}

class DpiChangeTest : public MainWindowTest {};

// Moved to a monitor of 144 DPI and back: the window takes the size Windows
// suggests and its controls, fonts and columns follow.
TEST_F(DpiChangeTest, MovingToAMonitorOfAnotherDpiLaysTheWindowOutAgain) {
  RECT at150{50, 50, 50 + 1233, 50 + 871};
  SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(kHighDpi, kHighDpi), reinterpret_cast<LPARAM>(&at150));
  ui::LetPendingEventsRun();
  EXPECT_EQ(window->dpi(), kHighDpi);
  ExpectDesignScaled(*window, 1.5);
  RECT at100{50, 50, 50 + 822, 50 + 581};
  SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&at100));
  ui::LetPendingEventsRun();
  ExpectDesignScaled(*window, 1.0);
}

}  // namespace
}  // namespace wintest
