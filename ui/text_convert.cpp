#include "ui/text_convert.h"

#include "platform/codepage.h"

namespace ui {

using ds::platform::kCodePageGbk;

WideText ToWide(std::string_view gbk) {
  WideText out;
  if (gbk.empty()) return out;
  std::u16string units = ds::platform::ToUtf16(gbk, kCodePageGbk);
  out.text.assign(units.begin(), units.end());
  out.complete = MultiByteToWideChar(kCodePageGbk, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()),
                                     nullptr, 0) > 0;
  return out;
}

GbkText ToGbk(std::wstring_view wide) {
  GbkText out;
  bool defaulted = false;
  out.text = ds::platform::FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()),
                                     kCodePageGbk, &defaulted);
  out.complete = !defaulted;
  return out;
}

bool SetWindowTextGbk(HWND hwnd, std::string_view gbk) {
  WideText wide = ToWide(gbk);
  SetWindowTextW(hwnd, wide.text.c_str());
  return wide.complete;
}

std::string WindowTextGbk(HWND hwnd, bool* complete) {
  GbkText gbk = ToGbk(WindowTextWide(hwnd));
  if (complete) *complete = gbk.complete;
  return std::move(gbk.text);
}

std::wstring WindowTextWide(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(hwnd, wide.data(), length + 1);
  wide.resize(static_cast<size_t>(got > 0 ? got : 0));
  return wide;
}

}  // namespace ui
