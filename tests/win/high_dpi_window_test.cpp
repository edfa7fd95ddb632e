// On a screen of 144 DPI (150 %) every designed pixel is scaled by 1.5: each
// control lies at its design times 1.5, and controls that do not overlap in
// the design do not overlap scaled. A move to a monitor of another DPI lays
// the window out again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/image_scale.h"
#include "app/main_window_design.h"
#include "app/texts.h"
#include "app/tip_pictures.h"
#include "app/tip_window.h"
#include "compare/list_menu.h"
#include "import/capture.h"
#include "tests/win/window_test_support.h"
#include "ui/dpi.h"
#include "ui/text_convert.h"

namespace wintest {
namespace {

constexpr int kHighDpi = 144;
constexpr int kDoubleDpi = 192;
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

void ExpectNoNewOverlaps(app::MainControls& c);

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
  ExpectNoNewOverlaps(c);
  EXPECT_EQ(FontHeight(window.hwnd()), -static_cast<int>(12 * factor));  // the one handed to every control
  EXPECT_NEAR(c.differenceList.ColumnWidth(0), 22 * factor, 1);
  EXPECT_NEAR(c.differenceList.ColumnWidth(1), 120 * factor, 1);
  EXPECT_NEAR(c.differenceList.ColumnWidth(2), 215 * factor, 1);
}

// No two controls overlap that the design keeps apart.
void ExpectNoNewOverlaps(app::MainControls& c) {
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
}

// Runs in the child process HighDpiStart starts at `kDpi`, and only there.
template <int kDpi>
class ChildAtDpiTest : public MainWindowTest {
 protected:
  void SetUp() override {
    if (ui::DpiOf(nullptr) != kDpi) {
      if (std::getenv(kChildMark)) FAIL() << "started for " << kDpi << " DPI, running at " << ui::DpiOf(nullptr);
      GTEST_SKIP() << "runs at " << kDpi << " DPI, in the process HighDpiStart starts";
    }
    MainWindowTest::SetUp();
  }
  void TearDown() override {
    ui::SetMenuHook(nullptr);
    MainWindowTest::TearDown();
  }
};

class HighDpiWindowTest : public ChildAtDpiTest<kHighDpi> {};

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
  EXPECT_EQ(c().differenceList.Bounds().x, c().splitter.Bounds().x);
  EXPECT_EQ(c().contentBox.Bounds().x, c().splitter.Bounds().x);
  c().compactToggle.Click();
  EXPECT_EQ(window->Size().cx, 1245);
  EXPECT_EQ(window->Size().cy, 885);
  EXPECT_EQ(c().rightPanel.Bounds().x, 285);
  EXPECT_EQ(c().differenceList.Bounds().x, 285 + 22);
  EXPECT_EQ(c().contentBox.Bounds().x, 285 + 22);
  EXPECT_NEAR(c().differenceList.Bounds().width, 593 * 1.5, 1);
}

// Two sessions of one request each, GET of `path` on example.com.
app::HarEntries OneRequest(const std::string& path) {
  ds::CaptureText text;
  text.utf8 = R"({"log": {"entries": [{"request": {"method": "GET", "url": "https://example.com)" + path +
              R"(", "headers": [{"name": "cookie", "value": "a=1"}]}, "response": {"status": 200}}]}})";
  return std::make_shared<const std::vector<ds::HarEntry>>(
      ds::ReadCapture(text, ds::CaptureFormat::kHar, ds::AnalysisMode::kCookies).entries);
}

TEST_F(HighDpiWindowTest, SessionWindowColumnsAreScaled) {
  window->CompareSessions(OneRequest("/a"), OneRequest("/a"));
  ASSERT_NE(window->sessions(), nullptr);
  ui::ListView& pairs = window->sessions()->list;
  const int designed[] = {40, 60, 60, 300, 80, 400};
  ASSERT_EQ(pairs.ColumnCount(), 6);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(pairs.ColumnWidth(k), designed[k] * 3 / 2) << "column " << k;
  EXPECT_EQ(pairs.ColumnWidth(3), 450);  // the path
  EXPECT_EQ(FontHeight(pairs.hwnd()), -18);
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

// The desktops Wine gives a size of their own: a process started on one sees
// a screen of that size, whatever the display is.
class VirtualScreen {
 public:
  VirtualScreen(const wchar_t* name, const wchar_t* size) : name_(name) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopsKey, name, REG_SZ, size,
                    static_cast<DWORD>((wcslen(size) + 1) * sizeof(wchar_t)));
  }
  ~VirtualScreen() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopsKey, name_); }
  VirtualScreen(const VirtualScreen&) = delete;
  VirtualScreen& operator=(const VirtualScreen&) = delete;

 private:
  static constexpr wchar_t kDesktopsKey[] = L"Software\\Wine\\Explorer\\Desktops";
  const wchar_t* name_;
};

// A new desktop at another DPI tells every thread with a message queue and
// waits for their answers (ten seconds, under Wine): this one answers while
// it waits for `process` to end.
bool WaitAnswering(HANDLE process, DWORD milliseconds) {
  DWORD start = GetTickCount();
  for (;;) {
    DWORD spent = GetTickCount() - start;
    if (spent >= milliseconds) return false;
    DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, milliseconds - spent, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

// The DPI is read when a process starts: the window is made in a child
// process started at `dpi` (on `desktop`, when named), which runs the tests
// `filter` names. Its exit code.
DWORD RunChildAt(DWORD dpi, const wchar_t* filter, const wchar_t* desktop = nullptr) {
  wchar_t self[MAX_PATH];
  if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) return 1;
  std::wstring command = std::wstring(L"\"") + self + L"\" --gtest_filter=" + filter;
  std::wstring desktopName = desktop ? desktop : L"";
  DWORD exitCode = 1;
  ScreenDpi screen(dpi);
  SetEnvironmentVariableA(kChildMark, "1");
  STARTUPINFOW start{};
  start.cb = sizeof start;
  if (desktop) start.lpDesktop = desktopName.data();
  PROCESS_INFORMATION process{};
  BOOL started = CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process);
  SetEnvironmentVariableA(kChildMark, nullptr);
  if (!started) return 1;
  EXPECT_TRUE(WaitAnswering(process.hProcess, 120000));
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

TEST(HighDpiStart, TheWindowStartedAt150PercentIsItsDesignScaled) {
  EXPECT_EQ(RunChildAt(kHighDpi, L"HighDpiWindowTest.*"), 0u);
  EXPECT_EQ(ui::DpiOf(nullptr), ui::kDesignDpi);
}

// The commonest laptop at 200 %: 1920 x 1080, where the design scaled is
// 82 pixels taller than the screen.
TEST(HighDpiStart, TheWindowStartedAt200PercentFitsAFullHdScreen) {
  VirtualScreen screen(L"DualsieveFullHd", L"1920x1080");
  EXPECT_EQ(RunChildAt(kDoubleDpi, L"At200PercentTest.*", L"DualsieveFullHd"), 0u);
}

class At200PercentTest : public ChildAtDpiTest<kDoubleDpi> {};

// The window inside the work area, and every control shown from top to
// bottom inside its client area: none cut by the screen's lower edge.
void ExpectOnScreen(app::MainWindow& window) {
  app::MainControls& c = window.controls();
  RECT work = ui::WorkAreaOf(window.hwnd()), client;
  EXPECT_TRUE(Inside(ScreenRect(window.hwnd()), work));
  GetClientRect(window.hwnd(), &client);
  MapWindowPoints(window.hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  for (const app::ControlDesign& d : app::MainWindowDesign()) {
    ui::Control& control = d.Of(c);
    // The panels and the compact toggle reach past the window by design.
    if (!IsWindowVisible(control.hwnd()) || &control == &c.leftPanel || &control == &c.rightPanel ||
        &control == &c.compactToggle)
      continue;
    RECT r = ScreenRect(control.hwnd());
    EXPECT_GE(r.top, client.top) << d.formName;
    EXPECT_LE(r.bottom, client.bottom) << d.formName;
  }
}

TEST_F(At200PercentTest, TheWindowFitsTheWorkAreaAndLaysOutInsideIt) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
  ExpectOnScreen(*window);
  ExpectNoNewOverlaps(c());
  // Only the height needed giving up; the text keeps its size.
  EXPECT_EQ(window->Size().cx, app::kDesignWidth * 2);
  EXPECT_EQ(FontHeight(c().analyseButton.hwnd()), -24);
  // Full mode's designed size is larger still.
  c().compactToggle.Click();
  ExpectOnScreen(*window);
  c().compactToggle.Click();
  ExpectOnScreen(*window);
  ExpectNoNewOverlaps(c());
}

TEST_F(At200PercentTest, TheSmallerWindowsLieOnTheScreen) {
  RECT work = ui::WorkAreaOf(window->hwnd());
  RightClickChoosing(c().slot2Items, static_cast<int>(ds::MenuEntry::kAdd));
  app::InputWindow& input = *window->input();
  ASSERT_TRUE(input.IsShown());
  EXPECT_TRUE(Inside(ScreenRect(input.hwnd()), work));
  EXPECT_TRUE(Inside(ScreenRect(input.promptLine.hwnd()), work));
  input.Dismiss();
  c().detailButton.Click();
  app::DetailWindow& detail = *window->detail();
  ASSERT_TRUE(detail.IsShown());
  EXPECT_TRUE(Inside(ScreenRect(detail.hwnd()), work));
  EXPECT_TRUE(Inside(ScreenRect(detail.detailBox.hwnd()), work));
  detail.Show(false);
  window->CompareSessions(OneRequest("/a"), OneRequest("/b"));
  ASSERT_NE(window->sessions(), nullptr);
  EXPECT_TRUE(Inside(ScreenRect(window->sessions()->hwnd()), work));
}

// The tip window's pictures, 330 pixels, shown at 520: each pixel blended
// from its neighbours, as the scaled picture has it, not repeated in steps.
struct TipSeen {
  int pictures = 0, width = 0, height = 0, differing = 0;
  bool onScreen = false;
};
TipSeen gTip;

BOOL CALLBACK ComparePicture(HWND child, LPARAM) {
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  if (std::wstring(cls) != L"DualsievePicture") return TRUE;
  RECT r;
  GetClientRect(child, &r);
  gTip.width = r.right;
  gTip.height = r.bottom;
  std::vector<uint8_t> png = gTip.pictures == 0 ? app::FirstTipPicture() : app::SecondTipPicture();
  ++gTip.pictures;
  std::optional<app::Image> image = app::DecodePng(png.data(), png.size());
  if (!image) return TRUE;
  app::Image shown = app::ScaleImage(*image, r.right, r.bottom);
  UpdateWindow(child);
  HDC dc = GetDC(child);
  for (int y = 1; y < r.bottom; y += 37) {
    for (int x = 3; x < r.right; x += 41) {
      const uint8_t* p = &shown.bgra[(static_cast<size_t>(y) * r.right + x) * 4];
      gTip.differing += GetPixel(dc, x, y) != RGB(p[2], p[1], p[0]);
    }
  }
  ReleaseDC(child, dc);
  return TRUE;
}

void CALLBACK InspectTipWindow(HWND, UINT, UINT_PTR timer, DWORD) {
  std::wstring caption = ui::ToWide(app::texts::kTipCaption).text;
  HWND tip = FindWindowW(nullptr, caption.c_str());
  if (!tip) return;
  KillTimer(nullptr, timer);
  gTip.onScreen = Inside(ScreenRect(tip), ui::WorkAreaOf(tip));
  EnumChildWindows(tip, ComparePicture, 0);
  DestroyWindow(tip);
}

TEST_F(At200PercentTest, TipPicturesAreScaledSmoothly) {
  gTip = {};
  UINT_PTR timer = SetTimer(nullptr, 0, 50, InspectTipWindow);
  app::ShowTipWindow(window->hwnd());
  KillTimer(nullptr, timer);
  EXPECT_EQ(gTip.pictures, 2);
  EXPECT_EQ(gTip.width, 520);
  EXPECT_EQ(gTip.height, 520);
  EXPECT_EQ(gTip.differing, 0);
  EXPECT_TRUE(gTip.onScreen);
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

// Windows suggests the size scaled; on a screen smaller than that the window
// fits the work area instead.
TEST_F(DpiChangeTest, MovedToA200PercentMonitorTheWindowFitsItsWorkArea) {
  RECT work = ui::WorkAreaOf(window->hwnd());
  RECT at200{work.left, work.top, work.left + app::kDesignWidth * 2, work.top + app::kDesignHeight * 2};
  SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(kDoubleDpi, kDoubleDpi), reinterpret_cast<LPARAM>(&at200));
  ui::LetPendingEventsRun();
  EXPECT_EQ(window->dpi(), kDoubleDpi);
  ExpectOnScreen(*window);
}

}  // namespace
}  // namespace wintest
