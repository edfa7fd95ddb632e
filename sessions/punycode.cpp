#include "sessions/punycode.h"

#include <cstdint>

namespace ds {
namespace {

constexpr uint32_t kBase = 36, kTMin = 1, kTMax = 26, kSkew = 38, kDamp = 700;
constexpr uint32_t kInitialBias = 72, kInitialN = 128;
constexpr uint32_t kMaxCode = 0x10FFFF;

uint32_t Adapt(uint64_t delta, uint64_t points, bool first) {
  delta = first ? delta / kDamp : delta / 2;
  delta += delta / points;
  uint32_t k = 0;
  for (; delta > ((kBase - kTMin) * kTMax) / 2; k += kBase) delta /= kBase - kTMin;
  return k + static_cast<uint32_t>((kBase - kTMin + 1) * delta / (delta + kSkew));
}

// a to z are 0 to 25, 0 to 9 are 26 to 35, in either case; kBase for none.
uint32_t DigitOf(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0') + 26;
  char lower = static_cast<char>(c | 0x20);
  if (lower >= 'a' && lower <= 'z') return static_cast<uint32_t>(lower - 'a');
  return kBase;
}

}  // namespace

std::optional<std::u32string> PunycodeDecode(std::string_view ascii) {
  std::u32string out;
  // The basic code points come first, up to the last "-".
  size_t dash = ascii.rfind('-');
  size_t in = 0;
  if (dash != std::string_view::npos) {
    for (char c : ascii.substr(0, dash)) {
      if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
      out.push_back(static_cast<unsigned char>(c));
    }
    in = dash + 1;
  }
  // 64 bits, and every step checked against the end of Unicode, so that no
  // input wraps a number around into a plausible letter.
  uint64_t n = kInitialN, i = 0;
  uint32_t bias = kInitialBias;
  while (in < ascii.size()) {
    uint64_t oldI = i, w = 1;
    for (uint32_t k = kBase;; k += kBase) {
      if (in >= ascii.size()) return std::nullopt;
      uint32_t digit = DigitOf(ascii[in++]);
      if (digit >= kBase) return std::nullopt;
      i += digit * w;
      if (i > (kMaxCode + 1) * (out.size() + 1)) return std::nullopt;
      uint32_t t = k <= bias ? kTMin : k >= bias + kTMax ? kTMax : k - bias;
      if (digit < t) break;
      w *= kBase - t;
      if (w > (kMaxCode + 1) * (out.size() + 1)) return std::nullopt;
    }
    uint64_t points = out.size() + 1;
    bias = Adapt(i - oldI, points, oldI == 0);
    n += i / points;
    i %= points;
    if (n > kMaxCode || (n >= 0xD800 && n <= 0xDFFF)) return std::nullopt;
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(i), static_cast<char32_t>(n));
    ++i;
  }
  return out;
}

}  // namespace ds
