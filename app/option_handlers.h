// The three option switches and the slots' placeholder texts.
#pragma once

namespace app {

class MainWindow;

enum class OptionSwitch { kCaseSensitive, kExactMatch, kAutoExpand };

void OnOptionSwitchClicked(MainWindow& window, OptionSwitch which);
void OnInputFocus(MainWindow& window, int slot);
void OnInputBlur(MainWindow& window, int slot);
void PutPlaceholderIfEmpty(MainWindow& window, int slot);

}  // namespace app
