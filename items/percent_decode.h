// Percent decoding byte by byte, then UTF-8 to code page 936: a value counts
// as URL-encoded when decoding changes it.
#pragma once

#include <string_view>

#include "items/text.h"

namespace ds {

Text PercentDecode(std::string_view text, bool convertUtf8);
Text Utf8ToGbk(std::string_view text);
bool IsPercentEncoded(std::string_view value);

}  // namespace ds
