// Clipboard text: GBK as CF_TEXT, plus CF_UNICODETEXT so that programs on a
// Windows of any language read it right.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

// What a write left on the clipboard.
struct ClipboardWrite {
  bool opened = false;   // false: another program holds the clipboard
  bool ansi = false;     // CF_TEXT, marked as code page 936 text
  bool unicode = false;  // CF_UNICODETEXT
};
ClipboardWrite WriteClipboardText(HWND owner, std::string_view gbk);
// True when the ANSI text got there.
inline bool SetClipboardText(HWND owner, std::string_view gbk) { return WriteClipboardText(owner, gbk).ansi; }
// GBK, from CF_UNICODETEXT when present; *complete (when given) is false when
// a character became "?".
std::string GetClipboardText(HWND owner, bool* complete = nullptr);
// The clipboard's text as UTF-8, every character kept (a capture is read
// before anything of it must fit GBK).
std::string GetClipboardUtf8(HWND owner);

}  // namespace ui
