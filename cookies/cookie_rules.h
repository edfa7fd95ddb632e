// Why a cookie was kept back or a Set-Cookie line refused: one table of
// codes, the rule each names and its Chinese sentence, read alike by the
// companion's JSON and text and by the window.
#pragma once

#include <string_view>

#include "items/text.h"

namespace ds {

enum class CookieRule {
  kNone,
  // A stored cookie kept back from a request, in the order they are tried.
  kHostOnly, kDomain, kPath, kSecure, kSameSiteStrict, kSameSiteLax,
  // A Set-Cookie line refused.
  kSecureFromInsecure, kSameSiteNoneInsecure, kPublicSuffix, kDomainMismatch, kPrefix, kOverwriteSecure,
  kTooLarge, kInvalid,
};

// What differs between what a request sent and what the store would send.
enum class CookieDifference { kNotSent, kUnknownOrigin, kValue, kNotExpected };

// The finer cause behind a code, where one code has several sentences.
enum class RuleDetail { kPlain, kUnsafeNavigation, kHostPrefix, kSecurePrefix, kNamelessPrefix, kRefusedOnSet };

// "host-only", "samesite-lax", "overwrite-secure" …
std::string_view RuleCode(CookieRule rule);
std::string_view DifferenceCode(CookieDifference kind);

// "SameSite=Lax: 跨站子请求不发送 (第3项响应设置)": `entry` from 1 is the entry
// whose response set the cookie (or, for a refused line, gave it).
Text RuleText(CookieRule rule, RuleDetail detail, size_t entry);

// A difference's sentence; `entry` 0 when no response in the recording set
// the cookie, `why` the rule that keeps it back when the store holds it.
Text DifferenceText(CookieDifference kind, size_t entry, CookieRule why = CookieRule::kNone,
                    RuleDetail whyDetail = RuleDetail::kPlain);

}  // namespace ds
