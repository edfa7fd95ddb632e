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

Decoded DecodeInput(std::string_view bytes, Encoding encoding);
std::string EncodeOutput(std::string_view gbk, Encoding encoding);

// A lone LF becomes CR LF, as text pasted on Windows has it.
std::string WindowsLineBreaks(std::string_view text);

}  // namespace cli
