// Secrets masked for sharing in the window: the run's one key, and a HAR the
// window holds saved as a sanitised copy where the user chooses.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/main_controls.h"

namespace app {

// The rule with the run's key, made on first use; null when the system
// gave no random key.
const ds::SecretRule* MaskRuleOf(AppState& state);

// Asks where, then writes the HAR (UTF-8, as the file held it) sanitised:
// a temporary file renamed into place, so a failure leaves what was there.
// Every failure is told in a message box.
void SaveSanitisedHar(HWND owner, AppState& state, std::string_view harUtf8, const std::wstring& suggestedName);

}  // namespace app
