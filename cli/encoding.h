// The companion's boundary: input files and option texts into GBK, printed
// text out of it. Nothing is replaced silently on the way in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "import/text_decode.h"

namespace cli {

enum class Encoding { kUtf8, kGbk };

using Decoded = ds::DecodedText;

// Either encoding is checked: GBK input must be code page 936 characters too.
inline Decoded DecodeInput(std::string_view bytes, Encoding encoding) {
  return ds::DecodeText(bytes, encoding == Encoding::kGbk ? ds::TextEncoding::kGbk : ds::TextEncoding::kUtf8);
}
std::string EncodeOutput(std::string_view gbk, Encoding encoding);

using ds::GbkCharLength;

using ds::WindowsLineBreaks;

// The encoding of a console whose locale names this character set (as
// nl_langinfo(CODESET) does): GBK for the Chinese code pages, else UTF-8.
Encoding ConsoleEncoding(std::string_view codeset);

}  // namespace cli
