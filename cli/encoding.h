// The companion's boundary: input files and option texts into GBK, printed
// text out of it. Nothing is replaced silently on the way in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cli {

enum class Encoding { kUtf8, kGbk };

struct Decoded {
  std::string gbk;
  std::optional<size_t> badOffset;  // byte offset of the first character code page 936 cannot hold
};

// Either encoding is checked: GBK input must be code page 936 characters too.
Decoded DecodeInput(std::string_view bytes, Encoding encoding);
std::string EncodeOutput(std::string_view gbk, Encoding encoding);

// Byte length of the code page 936 character at index i: 1 or 2, or 0 when
// the byte there starts none (0xFF, a lead byte without a trail byte).
size_t GbkCharLength(std::string_view text, size_t i);

// A lone LF becomes CR LF, as text pasted on Windows has it.
std::string WindowsLineBreaks(std::string_view text);

// The encoding of a console whose locale names this character set (as
// nl_langinfo(CODESET) does): GBK for the Chinese code pages, else UTF-8.
Encoding ConsoleEncoding(std::string_view codeset);

}  // namespace cli
