#include "cookies/request_site.h"

#include "cookies/public_suffix.h"
#include "items/text.h"

namespace ds {
namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::string_view TrimOws(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Sites compare with their scheme: http and https pages are different sites.
std::string SchemefulSite(const CookieUrl& u) {
  std::string scheme = u.scheme == "wss" ? "https" : u.scheme == "ws" ? "http" : u.scheme;
  return scheme + "://" + SiteOfHost(u.host);
}

}  // namespace

const std::string* HeaderOf(const HttpMessage& message, std::string_view name) {
  for (const Field& f : message.headers)
    if (SameNoCase(f.name, name)) return &f.value;
  return nullptr;
}

RequestSite SiteOfRequest(const HttpMessage& request, const CookieUrl& url) {
  if (const std::string* fetchSite = HeaderOf(request, "sec-fetch-site")) {
    std::string v = ToLowerAscii(TrimOws(*fetchSite));
    if (v == "cross-site") return {true, SiteSource::kSecFetchSite};
    if (v == "none" || v == "same-origin" || v == "same-site") return {false, SiteSource::kSecFetchSite};
  }
  for (auto [header, source] : {std::pair{"origin", SiteSource::kOrigin}, std::pair{"referer", SiteSource::kReferer}}) {
    const std::string* value = HeaderOf(request, header);
    if (!value) continue;
    // An opaque origin ("null") is no site of ours.
    if (TrimOws(*value) == "null") return {true, source};
    CookieUrl initiator = ParseCookieUrl(TrimOws(*value));
    if (!initiator.valid) continue;
    return {SchemefulSite(initiator) != SchemefulSite(url), source};
  }
  return {false, SiteSource::kAssumed};
}

bool IsTopLevelNavigation(const HttpMessage& request) {
  const std::string* dest = HeaderOf(request, "sec-fetch-dest");
  if (dest) return SameNoCase(TrimOws(*dest), "document");
  const std::string* mode = HeaderOf(request, "sec-fetch-mode");
  return mode && SameNoCase(TrimOws(*mode), "navigate");
}

bool IsSafeMethod(std::string_view method) {
  return SameNoCase(method, "GET") || SameNoCase(method, "HEAD") || SameNoCase(method, "OPTIONS") ||
         SameNoCase(method, "TRACE");
}

}  // namespace ds
