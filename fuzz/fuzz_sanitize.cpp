// Sanitising arbitrary bytes as a HAR, and masking them as URLs, cookie
// headers and bodies. A sanitised document must be JSON again, sanitising
// it again must change nothing, and a URL's masked form must stay printable
// ASCII when the URL was.
#include <cstddef>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "mask/har_sanitize.h"

namespace {

bool IsPrintableAscii(std::string_view s) {
  for (char c : s)
    if (c < 0x21 || c > 0x7E) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ds::SecretRule rule("fuzz", {"keep*"}, {"m?sk"});
  for (bool keepBodies : {false, true}) {
    ds::SanitizeOptions options{keepBodies, "2026-12-08"};
    ds::SanitizedHar once = ds::SanitizeHarText(text, rule, options);
    if (once.error != ds::SanitizeError::kNone) continue;
    if (!nlohmann::json::accept(once.text)) __builtin_trap();
    ds::SanitizedHar twice = ds::SanitizeHarText(once.text, rule, options);
    if (twice.error != ds::SanitizeError::kNone) __builtin_trap();
  }
  std::string url = ds::MaskUrl(text, rule);
  if (IsPrintableAscii(text) && !IsPrintableAscii(url)) __builtin_trap();
  ds::MaskCookieHeader(text, rule);
  ds::MaskSetCookie(text, rule);
  ds::MaskBody(text, {}, rule);
  return 0;
}
