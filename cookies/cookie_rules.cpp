#include "cookies/cookie_rules.h"

#include <string>

#include "cookies/texts.h"
#include "items/sentence.h"

namespace ds {
namespace {

namespace t = cookie_texts;

struct RuleRow {
  CookieRule rule;
  std::string_view code;
  const char* name;      // the rule, GBK
  const char* sentence;  // GBK
};

constexpr RuleRow kRules[] = {
    {CookieRule::kNone, "", "", ""},
    {CookieRule::kHostOnly, "host-only", t::kRuleHostOnly, t::kHostOnlyWithheld},
    {CookieRule::kDomain, "domain", t::kRuleDomain, t::kDomainWithheld},
    {CookieRule::kPath, "path", t::kRulePath, t::kPathWithheld},
    {CookieRule::kSecure, "secure", t::kRuleSecure, t::kSecureWithheld},
    {CookieRule::kSameSiteStrict, "samesite-strict", t::kRuleSameSiteStrict, t::kStrictWithheld},
    {CookieRule::kSameSiteLax, "samesite-lax", t::kRuleSameSiteLax, t::kLaxWithheld},
    {CookieRule::kSecureFromInsecure, "secure-from-insecure", t::kRuleSecure, t::kSecureRefused},
    {CookieRule::kSameSiteNoneInsecure, "samesite-none-insecure", t::kRuleSameSiteNone, t::kNoneRefused},
    {CookieRule::kPublicSuffix, "public-suffix", t::kRulePublicSuffix, t::kPublicSuffixRefused},
    {CookieRule::kDomainMismatch, "domain-mismatch", t::kRuleDomain, t::kDomainRefused},
    {CookieRule::kPrefix, "prefix", t::kRulePrefix, t::kSecurePrefixRefused},
    {CookieRule::kOverwriteSecure, "overwrite-secure", t::kRuleSecure, t::kOverwriteRefused},
    {CookieRule::kTooLarge, "too-large", t::kRuleSize, t::kTooLargeRefused},
    {CookieRule::kInvalid, "invalid", t::kRuleSyntax, t::kInvalidRefused},
};

// The table is walked by position: its rows must stay in the enum's order.
constexpr bool RowsInOrder() {
  for (size_t i = 0; i < std::size(kRules); ++i)
    if (static_cast<size_t>(kRules[i].rule) != i) return false;
  return true;
}
static_assert(RowsInOrder() && std::size(kRules) == static_cast<size_t>(CookieRule::kInvalid) + 1);

const RuleRow& RowOf(CookieRule rule) { return kRules[static_cast<size_t>(rule)]; }

const char* SentenceOf(CookieRule rule, RuleDetail detail) {
  switch (detail) {
    case RuleDetail::kUnsafeNavigation: return t::kLaxUnsafeWithheld;
    case RuleDetail::kHostPrefix: return t::kHostPrefixRefused;
    case RuleDetail::kSecurePrefix: return t::kSecurePrefixRefused;
    case RuleDetail::kNamelessPrefix: return t::kNamelessPrefixRefused;
    case RuleDetail::kRefusedOnSet: return t::kSameSiteRefused;
    case RuleDetail::kPlain: break;
  }
  return RowOf(rule).sentence;
}

bool IsRefusal(CookieRule rule, RuleDetail detail) {
  return rule >= CookieRule::kSecureFromInsecure || detail == RuleDetail::kRefusedOnSet;
}

}  // namespace

std::string_view RuleCode(CookieRule rule) { return RowOf(rule).code; }

std::string_view DifferenceCode(CookieDifference kind) {
  switch (kind) {
    case CookieDifference::kNotSent: return "not-sent";
    case CookieDifference::kUnknownOrigin: return "unknown-origin";
    case CookieDifference::kValue: return "value";
    case CookieDifference::kNotExpected: return "not-expected";
  }
  return "";
}

Text RuleText(CookieRule rule, RuleDetail detail, size_t entry) {
  return FillIn(IsRefusal(rule, detail) ? t::kReasonRefusedAt : t::kReasonSetBy,
                {{"rule", RowOf(rule).name}, {"sentence", SentenceOf(rule, detail)}, {"entry", std::to_string(entry)}});
}

Text DifferenceText(CookieDifference kind, size_t entry, CookieRule why, RuleDetail whyDetail) {
  const char* name = t::kRuleNotSent;
  Text sentence = t::kNotSentDifference;
  switch (kind) {
    case CookieDifference::kNotSent: break;
    case CookieDifference::kUnknownOrigin:
      name = t::kRuleUnknownOrigin;
      sentence = t::kUnknownOriginDifference;
      break;
    case CookieDifference::kValue:
      name = t::kRuleValue;
      sentence = t::kValueDifference;
      break;
    case CookieDifference::kNotExpected:
      name = t::kRuleNotExpected;
      sentence = why == CookieRule::kNone
                     ? Text(t::kGoneDifference)
                     : FillIn(t::kWithheldDifference,
                              {{"reason", Text(RowOf(why).name) + " (" + SentenceOf(why, whyDetail) + ")"}});
      break;
  }
  if (entry == 0) return FillIn(t::kReasonNoOrigin, {{"rule", name}, {"sentence", sentence}});
  return FillIn(t::kReasonSetBy, {{"rule", name}, {"sentence", sentence}, {"entry", std::to_string(entry)}});
}

}  // namespace ds
