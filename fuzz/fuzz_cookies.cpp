// The Set-Cookie reader and the cookie-date algorithm on arbitrary bytes.
// What the reader keeps must obey the limits a browser applies.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cookies/cookie_date.h"
#include "cookies/set_cookie.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  ds::SetCookie c = ds::ParseSetCookie(line);
  if (c.fault == ds::SetCookie::Fault::kNone) {
    if (c.name.size() + c.value.size() > ds::kMaxNameValueBytes) __builtin_trap();
    if (c.name.empty() && c.value.empty()) __builtin_trap();
    if (c.path && (c.path->empty() || c.path->front() != '/' || c.path->size() > ds::kMaxAttributeValueBytes))
      __builtin_trap();
    if (c.name.find(';') != std::string_view::npos || c.value.find(';') != std::string_view::npos) __builtin_trap();
  }
  if (std::optional<int64_t> t = ds::ParseCookieDate(line)) {
    // 1601-01-01 to the end of year 9999 at the most.
    if (*t < -11644473600 || *t > 253402300799) __builtin_trap();
  }
  return 0;
}
