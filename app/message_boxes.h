// The program's two kinds of message box: a refusal with OK, and a Yes/No
// question; both with the exclamation icon, system-modal.
#pragma once

#include <string_view>

#include "ui/message_box.h"

namespace app {

void ShowRefusal(HWND owner, std::string_view text, std::string_view title);
bool AskYesNo(HWND owner, std::string_view text, std::string_view title);

}  // namespace app
