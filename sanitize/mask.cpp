#include "sanitize/mask.h"

#include "platform/crypto.h"

namespace ds {
namespace {

constexpr std::string_view kOpen = "\xE2\x9F\xAA", kClose = "\xE2\x9F\xAB";          // ⟪ ⟫
constexpr std::string_view kGbkOpen = "\xE3\x80\x8A", kGbkClose = "\xE3\x80\x8B";    // 《 》
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

std::string MaskValue(std::string_view value, std::string_view key, StandInBrackets brackets) {
  static const char kDigits[] = "0123456789abcdef";
  platform::Sha256Digest digest = platform::HmacSha256(key, value);
  bool utf8 = brackets == StandInBrackets::kUtf8;
  std::string out(utf8 ? kOpen : kGbkOpen);
  out += kWord;
  for (size_t i = 0; i < 4; ++i) {
    out += kDigits[digest[i] >> 4];
    out += kDigits[digest[i] & 15];
  }
  out += ':';
  out += std::to_string(value.size());
  out += utf8 ? kClose : kGbkClose;
  return out;
}

bool IsStandIn(std::string_view text) {
  for (auto [open, close] : {std::pair{kOpen, kClose}, std::pair{kGbkOpen, kGbkClose}}) {
    if (text.substr(0, open.size()) != open) continue;
    size_t body = StandInBody(text.substr(open.size()), close);
    if (body && open.size() + body + close.size() == text.size()) return true;
  }
  return false;
}

std::string StandInsForUtf8(std::string text) {
  std::string out;
  size_t done = 0;
  for (size_t at = text.find(kGbkOpen); at != std::string::npos; at = text.find(kGbkOpen, at + 1)) {
    std::string_view rest = std::string_view(text).substr(at + kGbkOpen.size());
    size_t body = StandInBody(rest, kGbkClose);
    if (!body) continue;
    out.append(text, done, at - done).append(kOpen).append(rest.substr(0, body)).append(kClose);
    done = at + kGbkOpen.size() + body + kGbkClose.size();
    at = done - 1;
  }
  if (done == 0) return text;
  out.append(text, done);
  return out;
}

std::optional<std::string> RandomMaskKey() {
  std::string key(32, '\0');
  if (!platform::RandomBytes(reinterpret_cast<unsigned char*>(key.data()), key.size())) return std::nullopt;
  return key;
}

}  // namespace ds
