#include "app/option_handlers.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "app/texts.h"
#include "ui/message_box.h"

namespace app {

void OnOptionSwitchClicked(MainWindow& window, OptionSwitch which) {
  MainControls& c = window.controls();
  ui::CheckBox& box = which == OptionSwitch::kCaseSensitive ? c.caseSensitiveSwitch
                      : which == OptionSwitch::kExactMatch  ? c.exactMatchSwitch
                                                            : c.autoExpandSwitch;
  const char* key = which == OptionSwitch::kCaseSensitive ? texts::kCaseSensitiveKey
                    : which == OptionSwitch::kExactMatch  ? texts::kExactMatchKey
                                                          : texts::kAutoExpandKey;
  bool on = box.IsChecked();
  WriteSetting(key, on ? "yes" : "no");
  if (which == OptionSwitch::kExactMatch && !on)
    ui::ShowMessage(nullptr, {texts::kExactOffText, texts::kExactOffTitle, ui::MessageButtons::kOk,
                              ui::MessageIcon::kInformation, true});
}

void OnInputFocus(MainWindow& window, int slot) {
  ui::EditBox& input = window.controls().Input(slot);
  if (input.GetText() == ds::PlaceholderText(window.state().modeWord, slot)) {
    input.SetText("");
    return;
  }
  ui::LetPendingEventsRun();
  input.SelectAll();
}

void OnInputBlur(MainWindow& window, int slot) { PutPlaceholderIfEmpty(window, slot); }

void PutPlaceholderIfEmpty(MainWindow& window, int slot) {
  ui::EditBox& input = window.controls().Input(slot);
  if (input.GetText().empty()) input.SetText(ds::PlaceholderText(window.state().modeWord, slot));
}

}  // namespace app
