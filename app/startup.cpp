#include "app/startup.h"

#include "app/launch_counter.h"
#include "app/layout_handlers.h"
#include "app/main_window.h"
#include "app/mode_handlers.h"
#include "app/option_handlers.h"
#include "app/settings.h"
#include "app/texts.h"
#include "app/tip_window.h"
#include "compare/ignore_list.h"
#include "items/separators.h"
#include "skin/skin.h"

namespace app {
namespace {

constexpr COLORREF kPanelColour = RGB(241, 241, 241);
constexpr long long kTipLaunch = 20;

void CountLaunch(MainWindow& window) {
  long long counter = LaunchCounterFromSetting(ReadSetting(texts::kTimesCountKey));
  if (counter == kTipLaunch) {
    ShowTipWindow(window.hwnd());
    WriteSetting(texts::kTimesCountKey, "0");
  } else {
    WriteSetting(texts::kTimesCountKey, ds::ToText(counter + 1));
  }
}

}  // namespace

void RunStartUp(MainWindow& window) {
  MainControls& c = window.controls();
  window.SetTitle(texts::kWindowTitle);
  if (ReadSetting(texts::kCompactKey) == "yes") ToggleCompact(window);
  RegisterLayout(window);
  bool maximised = ReadSetting(texts::kWindowPositionKey) == "3";
  window.SetPlacement(ui::Placement::kCentred);
  window.SetStartPlacement(maximised ? ui::Placement::kMaximised : ui::Placement::kCentred);
  skin::ApplySkin();
  c.leftPanel.SetBackground(kPanelColour);
  c.rightPanel.SetBackground(kPanelColour);
  window.CreateSecondaryWindows();
  window.FitToWorkArea();
  window.Focus();
  CountLaunch(window);

  // The stored separators are read before the mode switch stores the mode's
  // defaults over them; otherwise a separator the user set never came back.
  // A key never written keeps the mode's default.
  ds::Text storedLine = ReadSetting(ds::SeparatorSettingKey(ds::SeparatorKind::kLine));
  ds::Text storedValue = ReadSetting(ds::SeparatorSettingKey(ds::SeparatorKind::kValue));
  SwitchMode(c, window.state(), ds::ModeFromSetting(ReadSetting(texts::kModeKey)));
  AppState& state = window.state();
  if (!storedLine.empty()) state.separators.line = ds::SeparatorFromSetting(ds::SeparatorKind::kLine, storedLine);
  if (!storedValue.empty())
    state.separators.value = ds::SeparatorFromSetting(ds::SeparatorKind::kValue, storedValue);
  // Each box's commit shows CR LF as the word and stores the key again.
  ds::Separators separators = state.separators;
  c.valueSeparatorBox.SetText(separators.value);
  c.lineSeparatorBox.SetText(separators.line);

  c.caseSensitiveSwitch.SetChecked(ReadSetting(texts::kCaseSensitiveKey) != "no");
  c.exactMatchSwitch.SetChecked(ReadSetting(texts::kExactMatchKey) != "no");
  c.autoExpandSwitch.SetChecked(ReadSetting(texts::kAutoExpandKey) != "no");
  for (ds::Slot slot : ds::kSlots) PutPlaceholderIfEmpty(c.Input(slot), state, slot);
  state.ignorePatterns = ds::IgnoreListFromStored(ReadSetting(texts::kIgnoreListKey));
  window.Focus();
  skin::ReleaseSkinData();
}

}  // namespace app
