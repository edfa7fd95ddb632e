#include "cookies/set_cookie.h"

#include <limits>

#include "cookies/cookie_date.h"
#include "items/text.h"

namespace ds {
namespace {


// Control characters other than the tab make a browser drop the whole line.
bool HasControl(std::string_view s) {
  for (unsigned char c : s)
    if ((c < 0x20 && c != '\t') || c == 0x7F) return true;
  return false;
}

bool NameIs(std::string_view name, std::string_view wanted) {
  if (name.size() != wanted.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != wanted[i]) return false;
  }
  return true;
}

// "-"? DIGIT+; any other text leaves the attribute out. Beyond what a 64-bit
// count can hold it is simply very long.
std::optional<int64_t> MaxAge(std::string_view v) {
  bool negative = !v.empty() && v.front() == '-';
  if (negative) v.remove_prefix(1);
  if (v.empty()) return std::nullopt;
  int64_t n = 0;
  for (char c : v) {
    if (c < '0' || c > '9') return std::nullopt;
    if (n < std::numeric_limits<int64_t>::max() / 20) n = n * 10 + (c - '0');
  }
  return negative ? -n : n;
}

}  // namespace

SetCookie ParseSetCookie(std::string_view line) {
  SetCookie c;
  if (HasControl(line)) {
    c.fault = SetCookie::Fault::kInvalid;
    return c;
  }
  size_t semicolon = line.find(';');
  std::string_view pair = line.substr(0, semicolon);
  std::string_view attributes = semicolon == std::string_view::npos ? std::string_view() : line.substr(semicolon);
  size_t equals = pair.find('=');
  // A pair without "=" is a value without a name.
  std::string_view name = equals == std::string_view::npos ? std::string_view() : TrimWsp(pair.substr(0, equals));
  std::string_view value = TrimWsp(equals == std::string_view::npos ? pair : pair.substr(equals + 1));
  if (name.empty() && value.empty()) {
    c.fault = SetCookie::Fault::kInvalid;
    return c;
  }
  if (name.size() + value.size() > kMaxNameValueBytes) {
    c.fault = SetCookie::Fault::kTooLarge;
    return c;
  }
  c.name = name;
  c.value = value;
  while (!attributes.empty()) {
    attributes.remove_prefix(1);  // the ";"
    size_t end = std::min(attributes.find(';'), attributes.size());
    std::string_view av = attributes.substr(0, end);
    attributes.remove_prefix(end);
    size_t eq = av.find('=');
    std::string_view key = TrimWsp(av.substr(0, eq));
    std::string_view v = eq == std::string_view::npos ? std::string_view() : TrimWsp(av.substr(eq + 1));
    if (v.size() > kMaxAttributeValueBytes) continue;
    if (NameIs(key, "expires")) {
      if (std::optional<int64_t> date = ParseCookieDate(v)) c.expires = date;
    } else if (NameIs(key, "max-age")) {
      if (std::optional<int64_t> age = MaxAge(v)) c.maxAge = age;
    } else if (NameIs(key, "domain")) {
      // An empty value leaves the attribute out; "." alone is an empty domain.
      if (v.empty()) continue;
      if (v.front() == '.') v.remove_prefix(1);
      c.domain = ToLowerAscii(v);
    } else if (NameIs(key, "path")) {
      if (!v.empty() && v.front() == '/') c.path = std::string(v);
      else c.path.reset();
    } else if (NameIs(key, "secure")) {
      c.secure = true;
    } else if (NameIs(key, "httponly")) {
      c.httpOnly = true;
    } else if (NameIs(key, "samesite")) {
      c.sameSite = NameIs(v, "none") ? SameSite::kNone
                   : NameIs(v, "lax") ? SameSite::kLax
                   : NameIs(v, "strict") ? SameSite::kStrict
                                         : SameSite::kUnset;
    }
  }
  return c;
}

std::string_view TrimWsp(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace ds
