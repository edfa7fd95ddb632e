// Clipboard text: GBK as CF_TEXT, plus CF_UNICODETEXT so that programs on a
// Windows of any language read it right.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

bool SetClipboardText(HWND owner, std::string_view gbk);
// GBK, from CF_UNICODETEXT when present; *complete (when given) is false when
// a character became "?".
std::string GetClipboardText(HWND owner, bool* complete = nullptr);
// The clipboard's text as UTF-8, every character kept (a capture is read
// before anything of it must fit GBK).
std::string GetClipboardUtf8(HWND owner);

}  // namespace ui
