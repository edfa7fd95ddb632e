#include "import/escapes.h"

#include "import/text_decode.h"

namespace ds {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

size_t HexRun(std::string_view t, size_t at, size_t most, char32_t* value) {
  size_t n = 0;
  *value = 0;
  for (; n < most && at + n < t.size() && HexDigit(t[at + n]) >= 0; ++n) *value = *value * 16 + HexDigit(t[at + n]);
  return n;
}

void Utf16Joiner::Unit(char32_t unit) {
  if (high_ && unit >= 0xDC00 && unit < 0xE000) {
    AppendUtf8(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00), out_);
    high_ = 0;
    return;
  }
  Flush();
  if (unit >= 0xD800 && unit < 0xDC00) high_ = unit;
  else AppendUtf8(unit > 0x10FFFF || (unit >= 0xDC00 && unit < 0xE000) ? 0xFFFD : unit, out_);
}

void Utf16Joiner::Flush() {
  if (high_) AppendUtf8(0xFFFD, out_);
  high_ = 0;
}

}  // namespace ds
