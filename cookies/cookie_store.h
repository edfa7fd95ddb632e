// A browser's cookie store, fed one response at a time: what each Set-Cookie
// line does to it (or why it is refused), and what a request would carry.
// Times are milliseconds since 1970 UTC, taken from the recording, never the
// clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "cookies/cookie_rules.h"
#include "cookies/cookie_url.h"
#include "cookies/set_cookie.h"

namespace ds {

// One request (and the response it got) as the store sees it.
struct CookieRequest {
  CookieUrl url;
  bool crossSite = false;
  bool topLevelNavigation = false;
  bool safeMethod = true;  // GET, HEAD, OPTIONS, TRACE
  int64_t nowMs = 0;
  size_t entry = 0;  // the entry's number from 1, recorded with what its response sets
};

struct StoredCookie {
  std::string name, value, domain, path;
  bool hostOnly = true, secure = false, httpOnly = false;
  SameSite sameSite = SameSite::kUnset;
  std::optional<int64_t> expiryMs;  // none: until the session ends
  uint64_t creation = 0;            // order of first creation; an overwrite keeps it
  uint64_t lastAccess = 0;
  size_t setBy = 0;                 // the entry whose response last set it
};

// The cookies of a lookup point into the store: they hold until the store
// next changes.
struct WithheldCookie {
  const StoredCookie* cookie;
  CookieRule rule;
  RuleDetail detail = RuleDetail::kPlain;
};

struct CookieLookup {
  std::vector<const StoredCookie*> sent;  // in Cookie header order
  std::vector<WithheldCookie> withheld;
};

struct StoreResult {
  CookieRule refused = CookieRule::kNone;
  RuleDetail detail = RuleDetail::kPlain;
};

// Browsers keep about this many cookies per site and, once past it, drop the
// least recently used down to the lower figure.
inline constexpr size_t kMaxCookiesPerSite = 180;
inline constexpr size_t kCookiesPerSiteAfterPurge = 150;
// How far ahead an expiry date may lie.
inline constexpr int64_t kMaxExpiryMs = 400LL * 24 * 3600 * 1000;

class CookieStore {
 public:
  StoreResult Store(const SetCookie& line, const CookieRequest& request);
  // Drops what has expired by the request's time, then sorts the request's
  // site's cookies into sent and kept back.
  CookieLookup Lookup(const CookieRequest& request);
  // The entry whose response last set or removed a cookie of this name for
  // the host's site; 0 when none did.
  size_t LastSetBy(const std::string& host, const std::string& name) const;
  size_t Size() const;

 private:
  void DropExpired(std::vector<StoredCookie>& site, int64_t nowMs);
  // A host's site, found in the public suffix table once per host.
  const std::string& SiteOf(const std::string& host) const;
  void Purge(std::vector<StoredCookie>& site);

  std::unordered_map<std::string, std::vector<StoredCookie>> sites_;
  std::unordered_map<std::string, size_t> lastSetBy_;  // site "\n" name
  mutable std::unordered_map<std::string, std::string> siteOf_;
  uint64_t clock_ = 0;
};

}  // namespace ds
