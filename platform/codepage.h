// Code page conversions, the one service of the core that differs by
// platform: Windows uses its own converters, elsewhere iconv's CP936 tables.
#pragma once

#include <string>
#include <string_view>

namespace ds::platform {

constexpr unsigned kCodePageGbk = 936;
constexpr unsigned kCodePageUtf8 = 65001;

// As MultiByteToWideChar with no flags over the whole text: bytes that do not
// decode become U+FFFD.
std::u16string ToUtf16(std::string_view bytes, unsigned codePage);

// As WideCharToMultiByte without best fit: a unit the code page cannot hold
// becomes '?' (never a look-alike), and *usedDefault (when given) tells
// whether that happened.
std::string FromUtf16(std::u16string_view units, unsigned codePage, bool* usedDefault = nullptr);

}  // namespace ds::platform
