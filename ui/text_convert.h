// GBK <-> UTF-16 at the Win32 edge. A conversion that could not carry every
// byte or character says so instead of failing quietly.
#pragma once

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

}  // namespace ui
