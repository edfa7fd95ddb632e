// A HAR's requests replayed through a browser's cookie store, in time order:
// for each request, what the store would have sent before that entry's
// response arrived, how that differs from what was sent, which of the site's
// cookies were kept back and why, and which Set-Cookie lines of its response
// the store refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cookies/cookie_rules.h"
#include "cookies/request_site.h"
#include "import/capture.h"
#include "items/text.h"

namespace ds {

struct JarCookie {  // bytes as the HAR holds them (UTF-8)
  std::string name, value;
};

struct JarDifference {
  std::string name;
  CookieDifference kind;
  std::optional<std::string> sent, expected;
  Text text;  // GBK
};

struct JarWithheld {
  std::string name;
  CookieRule rule;
  Text text;  // GBK
};

struct JarRejected {
  std::string name;
  CookieRule rule;
  Text text;  // GBK
  std::string line;
};

struct JarVerdict {
  size_t entry = 0;  // from 1, in file order
  std::string method, url;
  RequestSite site;
  bool timeMissing = false;  // judged at the previous entry's time
  int64_t timeMs = 0;        // when it was judged; the replay runs by this, then file order
  std::vector<JarCookie> sent, expected;
  std::vector<JarDifference> differences;
  std::vector<JarWithheld> withheld;
  std::vector<JarRejected> rejected;
};

// One verdict per entry, in file order.
std::vector<JarVerdict> ReplayCookies(const std::vector<HarEntry>& entries);

// A HAR's startedDateTime ("2024-05-01T10:00:00.123+08:00", "…Z"; without a
// zone, UTC) in milliseconds since 1970; none when it is not such a time.
std::optional<int64_t> ParseHarTime(std::string_view text);

// The name a Set-Cookie line gives: what stands before its first "=", or
// nothing.
std::string SetCookieName(std::string_view line);

// The cookies a request carried: its Cookie headers, else its cookie records.
// A piece without "=" is a value without a name.
std::vector<JarCookie> CookiesSent(const HttpMessage& request);

}  // namespace ds
