#include "mask/secrets.h"

#include <algorithm>
#include <array>

#include "import/text_decode.h"
#include "items/percent_decode.h"
#include "items/text.h"

namespace ds {
namespace {

// Shorter values ("1", "dark") recur by chance; longer ones are the secret.
constexpr size_t kRepeatedLength = 6;

// Patterns come as UTF-8; the matcher works on code page 936 text.
std::vector<Text> GbkPatterns(const std::vector<std::string>& utf8) {
  std::vector<Text> out;
  for (const std::string& p : utf8) out.push_back(IsAscii(p) ? p : Utf8ToGbk(p));
  return out;
}

bool IsBase64UrlChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t Base64UrlRun(std::string_view s, size_t at) {
  size_t end = at;
  while (end < s.size() && IsBase64UrlChar(s[end])) ++end;
  return end - at;
}

// The length of the JWT starting at `at` ("eyJ…" header, a payload, a
// signature that may be empty, and a JWE's further parts), or 0.
size_t JwtLength(std::string_view s, size_t at) {
  if (at > 0 && IsBase64UrlChar(s[at - 1])) return 0;
  size_t header = Base64UrlRun(s, at);
  if (header < 10 || at + header >= s.size() || s[at + header] != '.') return 0;
  size_t end = at + header + 1;
  size_t payload = Base64UrlRun(s, end);
  if (payload < 4 || end + payload >= s.size() || s[end + payload] != '.') return 0;
  end += payload;
  while (end < s.size() && s[end] == '.') end += 1 + Base64UrlRun(s, end + 1);
  return end - at;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// "name=value" with the value replaced as `mask` says; blanks around the
// value stay where they were.
template <typename MaskFn>
std::string MaskPair(std::string_view pair, MaskFn mask) {
  size_t eq = pair.find('=');
  std::string_view value = eq == std::string_view::npos ? pair : pair.substr(eq + 1);
  std::string_view core = Trimmed(value);
  size_t before = core.empty() ? value.size() : static_cast<size_t>(core.data() - value.data());
  std::string out(pair.substr(0, static_cast<size_t>(value.data() - pair.data()) + before));
  std::string_view name = eq == std::string_view::npos ? std::string_view() : Trimmed(pair.substr(0, eq));
  out += mask(name, core);
  out += value.substr(before + core.size());
  return out;
}

// Names holding a credential word by accident of spelling, never a secret.
bool IsPlainHeaderName(std::string_view lower) {
  return lower == "accept-encoding" || lower == "content-encoding" || lower == "transfer-encoding" ||
         lower == ":authority";
}

}  // namespace

SecretRule::SecretRule(std::string key, const std::vector<std::string>& keep, const std::vector<std::string>& mask)
    : key_(std::move(key)), keep_(GbkPatterns(keep), false), mask_(GbkPatterns(mask), false) {}

bool SecretRule::Matches(const IgnoreMatcher& matcher, std::string_view name) const {
  if (matcher.empty()) return false;
  return IsAscii(name) ? matcher.Matches(name) : matcher.Matches(Utf8ToGbk(name));
}

bool SecretRule::IsMaskedByPattern(std::string_view name) const { return Matches(mask_, name); }

bool SecretRule::IsKept(std::string_view name) const { return Matches(keep_, name) && !IsMaskedByPattern(name); }

bool SecretRule::IsSecretName(std::string_view name) const {
  if (IsMaskedByPattern(name)) return true;
  return LooksLikeCredentialName(name) && !IsKept(name);
}

std::string SecretRule::Mask(std::string_view value) const {
  if (value.empty() || IsStandIn(value)) return std::string(value);
  std::string standIn = MaskValue(value, key_);
  if (recorded_ && value.size() >= kRepeatedLength) recorded_->standIns.emplace(value, standIn);
  return standIn;
}

bool LooksLikeCredentialName(std::string_view name) {
  static constexpr std::array<std::string_view, 14> kWords = {
      "token", "session", "sid",  "auth",   "key",  "secret", "password",
      "passwd", "code",   "ticket", "csrf", "xsrf", "jwt",    "signature"};
  Text lower = ToLowerAscii(name);
  if (IsPlainHeaderName(lower)) return false;
  return std::any_of(kWords.begin(), kWords.end(),
                     [&](std::string_view w) { return lower.find(w) != Text::npos; });
}

std::string MaskJwts(std::string_view text, const SecretRule& rule, bool inUrl) {
  size_t at = text.find("eyJ");
  if (at == std::string_view::npos) return std::string(text);
  std::string out;
  size_t done = 0;
  for (; at != std::string_view::npos; at = text.find("eyJ", at + 1)) {
    size_t length = JwtLength(text, at);
    if (!length) continue;
    std::string standIn = rule.Mask(text.substr(at, length));
    out.append(text, done, at - done).append(inUrl ? PercentEncoded(standIn) : standIn);
    done = at + length;
    at = done - 1;
  }
  out.append(text.substr(done));
  return out;
}

std::string MaskCookieHeader(std::string_view value, const SecretRule& rule) {
  std::string out;
  while (true) {
    size_t semi = value.find(';');
    out += MaskPair(value.substr(0, semi), [&](std::string_view name, std::string_view v) {
      return rule.IsKept(name) ? std::string(v) : rule.Mask(v);
    });
    if (semi == std::string_view::npos) return out;
    out += ';';
    value.remove_prefix(semi + 1);
  }
}

std::string MaskSetCookie(std::string_view value, const SecretRule& rule) {
  std::string out;
  while (true) {
    size_t lineEnd = value.find('\n');
    std::string_view line = value.substr(0, lineEnd);
    size_t semi = line.find(';');
    out += MaskPair(line.substr(0, semi), [&](std::string_view name, std::string_view v) {
      return rule.IsKept(name) ? std::string(v) : rule.Mask(v);
    });
    if (semi != std::string_view::npos) out += line.substr(semi);
    if (lineEnd == std::string_view::npos) return out;
    out += '\n';
    value.remove_prefix(lineEnd + 1);
  }
}

std::string MaskQuery(std::string_view query, const SecretRule& rule, bool inUrl) {
  std::string out;
  while (true) {
    size_t amp = query.find('&');
    std::string_view part = query.substr(0, amp);
    size_t eq = part.find('=');
    if (eq == std::string_view::npos) {
      out += MaskJwts(part, rule, inUrl);
    } else {
      std::string_view rawName = part.substr(0, eq), value = part.substr(eq + 1);
      Text name(rawName);
      std::replace(name.begin(), name.end(), '+', ' ');
      name = PercentDecode(name, false);
      out.append(rawName).append("=");
      // Hashed as decoded: page=1 and page=%31 send one value.
      Text decoded = PercentDecode(value, false);
      if (rule.IsSecretName(name) && !value.empty() && !IsStandIn(decoded)) out += PercentEncoded(rule.Mask(decoded));
      else out += MaskJwts(value, rule, inUrl);
    }
    if (amp == std::string_view::npos) return out;
    out += '&';
    query.remove_prefix(amp + 1);
  }
}

std::string MaskUrl(std::string_view url, const SecretRule& rule) {
  size_t hash = url.find('#');
  size_t question = url.substr(0, hash).find('?');
  std::string out = MaskJwts(url.substr(0, std::min(question, hash)), rule, true);
  if (question != std::string_view::npos) {
    std::string_view query = url.substr(question + 1, hash == std::string_view::npos ? hash : hash - question - 1);
    out.append("?").append(MaskQuery(query, rule, true));
  }
  if (hash != std::string_view::npos) out.append("#").append(MaskQuery(url.substr(hash + 1), rule, true));
  return out;
}

std::string PercentEncoded(std::string_view s) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (char c : s) {
    if (IsBase64UrlChar(c) || c == '.' || c == '~' || c == ':') {
      out += c;
    } else {
      out += '%';
      out += kDigits[static_cast<unsigned char>(c) >> 4];
      out += kDigits[static_cast<unsigned char>(c) & 15];
    }
  }
  return out;
}

std::string MaskBody(std::string_view text, std::string_view mimeType, const SecretRule& rule) {
  bool form = mimeType.empty() ? !text.empty() && text.find('=') != std::string_view::npos &&
                                     text.find_first_of(" \t\r\n{}<>\"") == std::string_view::npos
                               : ToLowerAscii(mimeType).find("x-www-form-urlencoded") != Text::npos;
  return form ? MaskQuery(text, rule, true) : MaskJwts(text, rule, false);
}

std::string MaskHeaderValue(std::string_view name, std::string_view value, const SecretRule& rule) {
  if (rule.IsKept(name)) return std::string(value);
  Text lower = ToLowerAscii(name);
  if (lower == "cookie") return MaskCookieHeader(value, rule);
  if (lower == "set-cookie") return MaskSetCookie(value, rule);
  if (lower == "authorization" || lower == "proxy-authorization") {
    // "Bearer …": the scheme says what kind of credential it was.
    std::string_view v = Trimmed(value);
    size_t space = v.find(' ');
    if (space == std::string_view::npos || space == 0) return rule.Mask(value);
    return std::string(v.substr(0, space + 1)) + rule.Mask(v.substr(space + 1));
  }
  if (rule.IsSecretName(name)) return rule.Mask(value);
  if (lower == "referer" || lower == "location" || lower == "content-location" || lower == ":path")
    return MaskUrl(value, rule);
  return MaskJwts(value, rule, false);
}

}  // namespace ds
