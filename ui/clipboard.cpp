#include "ui/clipboard.h"

#include <cstring>

#include "platform/codepage.h"
#include "ui/text_convert.h"

namespace ui {
namespace {

bool PutGlobal(UINT format, const void* data, size_t bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  void* target = GlobalLock(memory);
  std::memcpy(target, data, bytes);
  GlobalUnlock(memory);
  if (SetClipboardData(format, memory)) return true;
  GlobalFree(memory);
  return false;
}

}  // namespace

ClipboardWrite WriteClipboardText(HWND owner, std::string_view gbk) {
  ClipboardWrite out;
  if (!OpenClipboard(owner)) return out;
  out.opened = true;
  EmptyClipboard();
  std::string ansi(gbk);
  std::wstring wide = ToWide(gbk).text;
  // The locale names the ANSI text's code page, so that when the Unicode form
  // is missing the system converts from GBK on a Windows of any language.
  const LCID chinesePrc = MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
  PutGlobal(CF_LOCALE, &chinesePrc, sizeof chinesePrc);
  out.ansi = PutGlobal(CF_TEXT, ansi.c_str(), ansi.size() + 1);
  out.unicode = PutGlobal(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  CloseClipboard();
  return out;
}

std::string GetClipboardText(HWND owner, bool* complete) {
  std::string out;
  if (complete) *complete = true;
  if (!OpenClipboard(owner)) return out;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      GbkText gbk = ToGbk(wide);
      out = std::move(gbk.text);
      if (complete) *complete = gbk.complete;
      GlobalUnlock(data);
    }
  } else if (HANDLE ansi = GetClipboardData(CF_TEXT)) {
    if (auto* text = static_cast<const char*>(GlobalLock(ansi))) {
      out = text;
      GlobalUnlock(ansi);
    }
  }
  CloseClipboard();
  return out;
}

std::string GetClipboardUtf8(HWND owner) {
  std::u16string units;
  if (!OpenClipboard(owner)) return {};
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* wide = static_cast<const char16_t*>(GlobalLock(data))) {
      units = wide;
      GlobalUnlock(data);
    }
  } else if (HANDLE ansi = GetClipboardData(CF_TEXT)) {
    if (auto* text = static_cast<const char*>(GlobalLock(ansi))) {
      units = ds::platform::ToUtf16(text, ds::platform::kCodePageGbk);
      GlobalUnlock(ansi);
    }
  }
  CloseClipboard();
  return ds::platform::FromUtf16(units, ds::platform::kCodePageUtf8);
}

}  // namespace ui
