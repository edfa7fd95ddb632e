// Clipboard text: GBK as CF_TEXT, plus CF_UNICODETEXT so that programs on a
// Windows of any language read it right.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

bool SetClipboardText(HWND owner, std::string_view gbk);
std::string GetClipboardText(HWND owner);  // GBK, from CF_UNICODETEXT when present

}  // namespace ui
