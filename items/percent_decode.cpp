#include "items/percent_decode.h"

#include "platform/codepage.h"

namespace ds {
namespace {

// A digit's value, or -2 for a byte that is no hex digit and 0 for a missing
// one: the arithmetic of the decoder relies on both.
int HexValue(std::string_view text, size_t index) {
  if (index >= text.size()) return 0;
  unsigned char c = static_cast<unsigned char>(text[index]);
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -2;
}

}  // namespace

Text PercentDecode(std::string_view text, bool convertUtf8) {
  Text out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out.push_back(text[i]);
      continue;
    }
    int byte = (HexValue(text, i + 1) * 16 + HexValue(text, i + 2)) & 0xFF;
    if (byte != 0) out.push_back(static_cast<char>(byte));
    i += 2;
  }
  return convertUtf8 ? Utf8ToGbk(out) : out;
}

Text Utf8ToGbk(std::string_view text) {
  return platform::FromUtf16(platform::ToUtf16(text, platform::kCodePageUtf8), platform::kCodePageGbk);
}

bool IsPercentEncoded(std::string_view value) { return PercentDecode(value, true) != value; }

}  // namespace ds
