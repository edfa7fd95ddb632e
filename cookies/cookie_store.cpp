#include "cookies/cookie_store.h"

#include <algorithm>

#include "cookies/public_suffix.h"

namespace ds {
namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    char p = prefix[i];
    if (p >= 'A' && p <= 'Z') p = static_cast<char>(p + 32);
    if (c != p) return false;
  }
  return true;
}

std::string Key(const std::string& site, const std::string& name) { return site + '\n' + name; }

bool Expired(const StoredCookie& c, int64_t nowMs) { return c.expiryMs && *c.expiryMs <= nowMs; }

// The prefix rules, and a nameless cookie whose value would read as a
// prefixed name in the Cookie header.
RuleDetail PrefixFault(const SetCookie& line, bool hostOnly, const std::string& path) {
  if (StartsWithNoCase(line.name, "__Secure-") && !line.secure) return RuleDetail::kSecurePrefix;
  if (StartsWithNoCase(line.name, "__Host-") && (!line.secure || !hostOnly || path != "/"))
    return RuleDetail::kHostPrefix;
  if (line.name.empty() && (StartsWithNoCase(line.value, "__Secure-") || StartsWithNoCase(line.value, "__Host-")))
    return RuleDetail::kNamelessPrefix;
  return RuleDetail::kPlain;
}

}  // namespace

StoreResult CookieStore::Store(const SetCookie& line, const CookieRequest& request) {
  auto refuse = [](CookieRule rule, RuleDetail detail = RuleDetail::kPlain) { return StoreResult{rule, detail}; };
  if (line.fault == SetCookie::Fault::kTooLarge) return refuse(CookieRule::kTooLarge);
  if (line.fault != SetCookie::Fault::kNone || !request.url.valid) return refuse(CookieRule::kInvalid);
  const std::string& host = request.url.host;

  StoredCookie c;
  c.name = line.name;
  c.value = line.value;
  c.domain = host;
  if (line.domain && !line.domain->empty()) {
    // A public suffix as Domain is refused, unless it is the host itself:
    // then the cookie is the host's alone.
    if (IsPublicSuffix(*line.domain)) {
      if (*line.domain != host) return refuse(CookieRule::kPublicSuffix);
    } else if (!DomainMatches(host, *line.domain)) {
      return refuse(CookieRule::kDomainMismatch);
    } else {
      c.hostOnly = false;
      c.domain = *line.domain;
    }
  }
  c.path = line.path ? *line.path : DefaultCookiePath(request.url.path);
  c.secure = line.secure;
  c.httpOnly = line.httpOnly;
  c.sameSite = line.sameSite;
  const bool secureScheme = request.url.secure;
  if (c.secure && !secureScheme) return refuse(CookieRule::kSecureFromInsecure);

  const std::string& site = SiteOf(c.domain);
  std::vector<StoredCookie>& cookies = sites_[site];
  DropExpired(cookies, request.nowMs);
  if (!c.secure && !secureScheme) {
    // Plain http: must not shadow or replace a Secure cookie of the name.
    for (const StoredCookie& old : cookies)
      if (old.secure && old.name == c.name &&
          (DomainMatches(old.domain, c.domain) || DomainMatches(c.domain, old.domain)) &&
          PathMatches(c.path, old.path))
        return refuse(CookieRule::kOverwriteSecure);
  }
  // A cross-site subresource's response may set only SameSite=None cookies.
  if (c.sameSite != SameSite::kNone && request.crossSite && !request.topLevelNavigation)
    return refuse(c.sameSite == SameSite::kStrict ? CookieRule::kSameSiteStrict : CookieRule::kSameSiteLax,
                  RuleDetail::kRefusedOnSet);
  if (c.sameSite == SameSite::kNone && !c.secure) return refuse(CookieRule::kSameSiteNoneInsecure);
  if (RuleDetail prefix = PrefixFault(line, c.hostOnly, c.path); prefix != RuleDetail::kPlain)
    return refuse(CookieRule::kPrefix, prefix);

  // Max-Age wins over Expires wherever each stands in the line.
  if (line.maxAge) {
    c.expiryMs = *line.maxAge <= 0 ? INT64_MIN : request.nowMs + std::min(*line.maxAge, kMaxExpiryMs / 1000) * 1000;
  } else if (line.expires) {
    c.expiryMs = std::min(*line.expires, (INT64_MAX - kMaxExpiryMs) / 1000) * 1000;
  }
  if (c.expiryMs && *c.expiryMs != INT64_MIN) c.expiryMs = std::min(*c.expiryMs, request.nowMs + kMaxExpiryMs);
  c.setBy = request.entry;
  c.creation = c.lastAccess = ++clock_;
  lastSetBy_[Key(site, c.name)] = request.entry;

  auto same = std::find_if(cookies.begin(), cookies.end(), [&](const StoredCookie& old) {
    return old.name == c.name && old.domain == c.domain && old.hostOnly == c.hostOnly && old.path == c.path;
  });
  // A date already past removes the cookie and stores nothing.
  if (Expired(c, request.nowMs)) {
    if (same != cookies.end()) cookies.erase(same);
    return {};
  }
  // Replaced where it stands: the order of the vector means nothing, the
  // creation time decides the header order.
  if (same != cookies.end()) {
    c.creation = same->creation;
    *same = std::move(c);
    return {};
  }
  cookies.push_back(std::move(c));
  if (cookies.size() > kMaxCookiesPerSite) Purge(cookies);
  return {};
}

CookieLookup CookieStore::Lookup(const CookieRequest& request) {
  CookieLookup out;
  if (!request.url.valid) return out;
  auto found = sites_.find(SiteOf(request.url.host));
  if (found == sites_.end()) return out;
  std::vector<StoredCookie>& cookies = found->second;
  DropExpired(cookies, request.nowMs);
  const CookieUrl& u = request.url;
  for (StoredCookie& c : cookies) {
    CookieRule rule = CookieRule::kNone;
    RuleDetail detail = RuleDetail::kPlain;
    bool laxAllowed = request.topLevelNavigation && request.safeMethod;
    if (c.hostOnly ? u.host != c.domain : false) rule = CookieRule::kHostOnly;
    else if (!c.hostOnly && !DomainMatches(u.host, c.domain)) rule = CookieRule::kDomain;
    else if (!PathMatches(u.path, c.path)) rule = CookieRule::kPath;
    else if (c.secure && !u.secure) rule = CookieRule::kSecure;
    else if (request.crossSite && c.sameSite == SameSite::kStrict) rule = CookieRule::kSameSiteStrict;
    else if (request.crossSite && c.sameSite != SameSite::kNone && !laxAllowed) {
      rule = CookieRule::kSameSiteLax;
      if (request.topLevelNavigation) detail = RuleDetail::kUnsafeNavigation;
    }
    if (rule == CookieRule::kNone) {
      c.lastAccess = ++clock_;
      out.sent.push_back(&c);
    } else {
      out.withheld.push_back({&c, rule, detail});
    }
  }
  std::sort(out.sent.begin(), out.sent.end(), [](const StoredCookie* a, const StoredCookie* b) {
    if (a->path.size() != b->path.size()) return a->path.size() > b->path.size();
    return a->creation < b->creation;
  });
  return out;
}

size_t CookieStore::LastSetBy(const std::string& host, const std::string& name) const {
  auto found = lastSetBy_.find(Key(SiteOf(host), name));
  return found == lastSetBy_.end() ? 0 : found->second;
}

const std::string& CookieStore::SiteOf(const std::string& host) const {
  auto found = siteOf_.find(host);
  if (found != siteOf_.end()) return found->second;
  return siteOf_.emplace(host, SiteOfHost(host)).first->second;
}

size_t CookieStore::Size() const {
  size_t n = 0;
  for (const auto& [site, cookies] : sites_) n += cookies.size();
  return n;
}

void CookieStore::DropExpired(std::vector<StoredCookie>& site, int64_t nowMs) {
  std::erase_if(site, [nowMs](const StoredCookie& c) { return Expired(c, nowMs); });
}

void CookieStore::Purge(std::vector<StoredCookie>& site) {
  // Access times are all different: the ones below the cut go.
  std::vector<uint64_t> access;
  access.reserve(site.size());
  for (const StoredCookie& c : site) access.push_back(c.lastAccess);
  size_t drop = site.size() - kCookiesPerSiteAfterPurge;
  std::nth_element(access.begin(), access.begin() + drop, access.end());
  uint64_t keepFrom = access[drop];
  std::erase_if(site, [keepFrom](const StoredCookie& c) { return c.lastAccess < keepFrom; });
}

}  // namespace ds
