// The three option switches and the slots' placeholder texts.
#pragma once

#include "app/main_controls.h"

namespace app {

enum class OptionSwitch { kCaseSensitive, kExactMatch, kAutoExpand };

// Stores the switch's new state; turning exact matching off warns once.
void OnOptionSwitchClicked(const ui::CheckBox& box, OptionSwitch which);

// The placeholder leaves a box that gets the focus; an empty box that loses it
// shows the placeholder again.
void OnInputFocus(ui::EditBox& input, const AppState& state, ds::Slot slot);
void PutPlaceholderIfEmpty(ui::EditBox& input, const AppState& state, ds::Slot slot);

}  // namespace app
