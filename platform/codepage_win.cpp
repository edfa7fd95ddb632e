#include <windows.h>

#include "platform/codepage.h"

namespace ds::platform {

std::u16string ToUtf16(std::string_view bytes, unsigned codePage) {
  if (bytes.empty()) return {};
  int length = static_cast<int>(bytes.size());
  int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  std::u16string out(static_cast<size_t>(needed > 0 ? needed : 0), u'\0');
  if (needed > 0)
    MultiByteToWideChar(codePage, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(out.data()), needed);
  return out;
}

std::string FromUtf16(std::u16string_view units, unsigned codePage, bool* usedDefault) {
  if (usedDefault) *usedDefault = false;
  if (units.empty()) return {};
  auto* wide = reinterpret_cast<const wchar_t*>(units.data());
  int length = static_cast<int>(units.size());
  // UTF-8 takes neither flags nor a default-character argument. Elsewhere no
  // best fit: a character the code page lacks becomes "?" and is reported,
  // never quietly a look-alike (ő is not o).
  bool utf8 = codePage == CP_UTF8;
  DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  BOOL* defaultedArg = utf8 ? nullptr : &defaulted;
  int needed = WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
  if (needed > 0) WideCharToMultiByte(codePage, flags, wide, length, out.data(), needed, nullptr, defaultedArg);
  if (usedDefault) *usedDefault = defaulted != FALSE;
  return out;
}

}  // namespace ds::platform
