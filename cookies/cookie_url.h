// The parts of a request's URL that cookies look at, and the two matching
// rules between a request and a cookie (domain-match, path-match).
#pragma once

#include <string>
#include <string_view>

namespace ds {

struct CookieUrl {
  bool valid = false;    // a scheme and a host were found
  std::string scheme;    // lower case: "https"
  std::string host;      // lower case, without port or user; IPv6 keeps its brackets
  std::string path;      // without query or fragment; "/" when the URL has none
  bool secure = false;   // https, wss, or a loopback host (browsers trust those)
};

CookieUrl ParseCookieUrl(std::string_view url);

// The directory of a request path: "/a/b/c" → "/a/b", "/a" and "" → "/".
std::string DefaultCookiePath(std::string_view requestPath);

// Equal, or the host ends in "." + domain and is a name, not an address.
bool DomainMatches(std::string_view host, std::string_view domain);

// Equal, or the cookie path is a directory prefix of the request path.
bool PathMatches(std::string_view requestPath, std::string_view cookiePath);

}  // namespace ds
