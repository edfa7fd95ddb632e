// Start-up from the settings file: defaults, stored values, the launch
// counter and the tip window.
#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/texts.h"
#include "items/texts.h"
#include "skin/carried_skin.h"
#include "skin_dll/skin_data.h"
#include "tests/win/window_test_support.h"
#include "ui/text_convert.h"


namespace wintest {
namespace {

namespace at = app::texts;
namespace t = ds::texts;

class StartupTest : public MainWindowTest {
 protected:
  StartupTest() { startInSetUp = false; }
  void StartWith(std::initializer_list<std::pair<const char*, const char*>> settings) {
    for (auto [key, value] : settings) app::WriteSetting(key, value);
    Start();
  }
};

TEST_F(StartupTest, FirstLaunchWithoutSettingsFile) {
  Start();
  EXPECT_EQ(c().compactToggle.GetText(), ">");
  EXPECT_EQ(window->CurrentPlacement(), ui::Placement::kNormal);
  EXPECT_TRUE(c().cookiesModeSwitch.IsChecked());
  EXPECT_FALSE(c().httpModeSwitch.IsChecked());
  EXPECT_EQ(c().lineSeparatorBox.GetText(), ";");
  EXPECT_EQ(c().valueSeparatorBox.GetText(), "=");
  EXPECT_TRUE(c().caseSensitiveSwitch.IsChecked());
  EXPECT_TRUE(c().exactMatchSwitch.IsChecked());
  EXPECT_TRUE(c().autoExpandSwitch.IsChecked());
  EXPECT_EQ(c().slot1Input.GetText(), ds::PlaceholderText("Cookies", ds::Slot::k1));
  EXPECT_EQ(c().slot2Input.GetText(), ds::PlaceholderText("Cookies", ds::Slot::k2));
  EXPECT_EQ(window->Title(), at::kWindowTitle);
  EXPECT_EQ(app::ReadSetting(at::kTimesCountKey), "1");
  EXPECT_EQ(app::ReadSetting(at::kModeKey), "1");
  EXPECT_EQ(app::ReadSetting(t::kLineSeparatorKey), ";");
  EXPECT_EQ(app::ReadSetting(t::kValueSeparatorKey), "=");
  // Centred on the work area.
  RECT work, r;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(window->hwnd(), &r);
  EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
}

TEST_F(StartupTest, LaunchCounterCountsAndResetsAfterTheTipWindow) {
  StartWith({{at::kTimesCountKey, "19"}});
  EXPECT_EQ(app::ReadSetting(at::kTimesCountKey), "20");
  window.reset();
  StartWith({{at::kTimesCountKey, "abc"}});
  EXPECT_EQ(app::ReadSetting(at::kTimesCountKey), "1");
}

int g_tipWindowsSeen = 0;

BOOL CALLBACK ClickTipButton(HWND child, LPARAM) {
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  if (lstrcmpiW(cls, L"Button") == 0) {
    SendMessageW(child, BM_CLICK, 0, 0);
    return FALSE;
  }
  return TRUE;
}

void CALLBACK CloseTipWindow(HWND, UINT, UINT_PTR timer, DWORD) {
  std::wstring caption = ui::ToWide(at::kTipCaption).text;
  if (HWND tip = FindWindowW(nullptr, caption.c_str())) {
    ++g_tipWindowsSeen;
    KillTimer(nullptr, timer);
    EnumChildWindows(tip, ClickTipButton, 0);
  }
}

TEST_F(StartupTest, TwentyFirstLaunchShowsTheTipWindowModally) {
  g_tipWindowsSeen = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseTipWindow);
  StartWith({{at::kTimesCountKey, "20"}});
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_tipWindowsSeen, 1);
  EXPECT_EQ(app::ReadSetting(at::kTimesCountKey), "0");
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));  // the owner is enabled again
}

TEST_F(StartupTest, StoredHttpModeAndSwitches) {
  StartWith({{at::kModeKey, "2"}, {at::kCaseSensitiveKey, "no"}, {at::kExactMatchKey, "false"},
             {at::kAutoExpandKey, "NO"}});
  EXPECT_TRUE(c().httpModeSwitch.IsChecked());
  EXPECT_FALSE(c().cookiesModeSwitch.IsChecked());
  EXPECT_EQ(c().lineSeparatorBox.GetText(), t::kLineBreakWord);
  EXPECT_EQ(c().valueSeparatorBox.GetText(), ":");
  EXPECT_EQ(window->state().separators.line, "\r\n");
  EXPECT_FALSE(c().caseSensitiveSwitch.IsChecked());
  EXPECT_TRUE(c().exactMatchSwitch.IsChecked());  // only "no" turns a switch off
  EXPECT_TRUE(c().autoExpandSwitch.IsChecked());
  EXPECT_EQ(c().slot1Input.GetText(), ds::PlaceholderText(t::kModeWordHttp, ds::Slot::k1));
  // Setting a switch at start-up writes nothing.
  EXPECT_EQ(app::ReadSetting(at::kExactMatchKey), "false");
}

TEST_F(StartupTest, StoredSeparatorsComeBack) {
  StartWith({{t::kValueSeparatorKey, "=>"}, {t::kLineSeparatorKey, t::kLineBreakWord}});
  EXPECT_EQ(window->state().separators.value, "=>");
  EXPECT_EQ(window->state().separators.line, "\r\n");
  EXPECT_EQ(c().valueSeparatorBox.GetText(), "=>");
  EXPECT_EQ(c().lineSeparatorBox.GetText(), t::kLineBreakWord);
  EXPECT_EQ(app::ReadSetting(t::kValueSeparatorKey), "=>");
  EXPECT_EQ(app::ReadSetting(t::kLineSeparatorKey), t::kLineBreakWord);
}

TEST_F(StartupTest, StoredCompactModeAndMaximisedWindow) {
  StartWith({{at::kCompactKey, "yes"}, {at::kWindowPositionKey, "3"}});
  EXPECT_EQ(c().compactToggle.GetText(), "<");
  EXPECT_TRUE(c().analyseBarButton.IsVisible());
  EXPECT_FALSE(c().leftPanel.IsVisible());
  EXPECT_EQ(window->CurrentPlacement(), ui::Placement::kMaximised);
  // Shown maximised, the controls are laid out for the maximised size.
  // (611 of a 642-wide window; the test screen is 1280 wide.)
  EXPECT_GT(c().rightPanel.Bounds().width, 900);
  window.reset();
  DeleteSettingsFile();
  StartWith({{at::kCompactKey, "YES"}, {at::kWindowPositionKey, "2"}});
  EXPECT_EQ(c().compactToggle.GetText(), ">");
  EXPECT_EQ(window->CurrentPlacement(), ui::Placement::kNormal);
}

// Start-up applies the carried skin: the controls that exist by then and the
// secondary windows created after it share its font, and the panels keep
// their own grey behind the labels.
TEST_F(StartupTest, SkinsTheWindowAndThoseCreatedAfter) {
  Start();
  skin_data::Skin skin;
  ASSERT_TRUE(skin_data::Parse(app::data::kSkinData, app::data::kSkinDataSize, &skin));
  auto fontOf = [](HWND hwnd) { return SendMessageW(hwnd, WM_GETFONT, 0, 0); };
  LRESULT font = fontOf(c().slot1Input.hwnd());
  LOGFONTW lf{};
  ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(font), sizeof lf, &lf));
  EXPECT_EQ(lf.lfHeight, -skin.fontHeight);
  EXPECT_EQ(fontOf(window->detail()->detailBox.hwnd()), font);
  EXPECT_EQ(fontOf(window->input()->entryBox.hwnd()), font);

  HDC dc = CreateCompatibleDC(nullptr);
  HWND panel = c().leftPanel.hwnd();
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(panel, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(panel)));
  EXPECT_EQ(GetTextColor(dc), skin.colours[skin_data::kText]);
  DeleteDC(dc);
  LOGBRUSH lb{};
  ASSERT_TRUE(GetObjectW(brush, sizeof lb, &lb));
  EXPECT_EQ(lb.lbColor, RGB(241, 241, 241));
}

}  // namespace
}  // namespace wintest
