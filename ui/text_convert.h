// GBK <-> UTF-16 at the Win32 edge. A conversion that could not carry every
// byte or character says so instead of failing quietly.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

struct WideText {
  std::wstring text;
  bool complete = true;  // false: some bytes were not valid GBK
};

struct GbkText {
  std::string text;
  bool complete = true;  // false: some characters became '?'
};

WideText ToWide(std::string_view gbk);
GbkText ToGbk(std::wstring_view wide);

// The text of any window or control in GBK. Each tells whether every byte or
// character converted (`complete`); what converts is shown or read either way.
bool SetWindowTextGbk(HWND hwnd, std::string_view gbk);
std::string WindowTextGbk(HWND hwnd, bool* complete = nullptr);
std::wstring WindowTextWide(HWND hwnd);

}  // namespace ui
