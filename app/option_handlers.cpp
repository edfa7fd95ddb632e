#include "app/option_handlers.h"

#include "app/settings.h"
#include "app/texts.h"
#include "ui/message_box.h"
#include "ui/window.h"

namespace app {

void OnOptionSwitchClicked(const ui::CheckBox& box, OptionSwitch which) {
  const char* key = which == OptionSwitch::kCaseSensitive ? texts::kCaseSensitiveKey
                    : which == OptionSwitch::kExactMatch  ? texts::kExactMatchKey
                                                          : texts::kAutoExpandKey;
  bool on = box.IsChecked();
  WriteSetting(key, on ? "yes" : "no");
  if (which == OptionSwitch::kExactMatch && !on)
    ui::ShowMessage(nullptr, {texts::kExactOffText, texts::kExactOffTitle, ui::MessageButtons::kOk,
                              ui::MessageIcon::kInformation, true});
}

void OnInputFocus(ui::EditBox& input, const AppState& state, ds::Slot slot) {
  if (input.GetText() == ds::PlaceholderText(state.ModeWord(), slot)) {
    input.SetText("");
    return;
  }
  // The click that brought the focus places the caret; select all after it.
  ui::LetPendingEventsRun();
  input.SelectAll();
}

void PutPlaceholderIfEmpty(ui::EditBox& input, const AppState& state, ds::Slot slot) {
  if (input.GetText().empty()) input.SetText(ds::PlaceholderText(state.ModeWord(), slot));
}

}  // namespace app
