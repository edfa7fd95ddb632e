// The companion's boundary: input files and option texts into GBK, printed
// text out of it. Nothing is replaced silently on the way in.
#pragma once

#include <array>
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

// EncodeOutput for a whole report: printed text repeats the same few words
// between the names, so the short stretches it has put through the code page
// are kept (a few dozen, the newest in each place) and reused.
class OutputEncoder {
 public:
  explicit OutputEncoder(Encoding encoding) : encoding_(encoding) {}
  std::string operator()(std::string_view gbk);
  // The same, added to the end of `out`, which must not hold `gbk`.
  void Append(std::string_view gbk, std::string& out);

 private:
  struct Known {
    std::string gbk, utf8;
  };
  void AppendConverted(std::string_view stretch, std::string& out);

  Encoding encoding_;
  std::array<Known, 64> known_;
};

// A JSON string of UTF-8 text, quotes included: every control character and
// DEL as \u00XX, the rest as it is.
void AppendJsonString(std::string_view utf8, std::string& out);

using ds::GbkCharLength;

using ds::WindowsLineBreaks;

// The encoding of a console whose locale names this character set (as
// nl_langinfo(CODESET) does): GBK for the Chinese code pages, else UTF-8.
Encoding ConsoleEncoding(std::string_view codeset);

}  // namespace cli
