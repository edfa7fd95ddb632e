#include "mask/mask.h"

#include "platform/crypto.h"

namespace ds {
namespace {

constexpr std::string_view kOpen = "\xE3\x80\x8A", kClose = "\xE3\x80\x8B";  // 《 》
constexpr std::string_view kWord = "masked:";

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of "masked:XXXXXXXX:N" at the start of `text` before `close`,
// or 0 when it is not one.
size_t StandInBody(std::string_view text, std::string_view close) {
  if (text.substr(0, kWord.size()) != kWord) return 0;
  size_t at = kWord.size();
  for (size_t i = 0; i < 8; ++i, ++at)
    if (at >= text.size() || !IsHexDigit(text[at])) return 0;
  if (at >= text.size() || text[at++] != ':') return 0;
  size_t digits = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  if (at == digits || text.substr(at, close.size()) != close) return 0;
  return at;
}

}  // namespace

std::string MaskValue(std::string_view value, std::string_view key) {
  static const char kDigits[] = "0123456789abcdef";
  platform::Sha256Digest digest = platform::HmacSha256(key, value);
  std::string out(kOpen);
  out += kWord;
  for (size_t i = 0; i < 4; ++i) {
    out += kDigits[digest[i] >> 4];
    out += kDigits[digest[i] & 15];
  }
  out += ':';
  out += std::to_string(value.size());
  out += kClose;
  return out;
}

bool IsStandIn(std::string_view text) {
  if (text.substr(0, kOpen.size()) != kOpen) return false;
  size_t body = StandInBody(text.substr(kOpen.size()), kClose);
  return body && kOpen.size() + body + kClose.size() == text.size();
}

std::optional<std::string> RandomMaskKey() {
  std::string key(32, '\0');
  if (!platform::RandomBytes(reinterpret_cast<unsigned char*>(key.data()), key.size())) return std::nullopt;
  return key;
}

}  // namespace ds
