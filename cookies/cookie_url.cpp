#include "cookies/cookie_url.h"

#include "cookies/public_suffix.h"
#include "items/text.h"

namespace ds {

CookieUrl ParseCookieUrl(std::string_view url) {
  CookieUrl u;
  size_t colon = url.find("://");
  if (colon == std::string_view::npos || colon == 0) return u;
  u.scheme = ToLowerAscii(url.substr(0, colon));
  std::string_view rest = url.substr(colon + 3);
  size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
  std::string_view authority = rest.substr(0, authorityEnd);
  if (size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
  std::string_view host = authority;
  if (!host.empty() && host.front() == '[') {
    size_t close = host.find(']');
    host = close == std::string_view::npos ? std::string_view() : host.substr(0, close + 1);
  } else if (size_t port = host.find(':'); port != std::string_view::npos) {
    host = host.substr(0, port);
  }
  if (host.empty()) return u;
  u.host = ToLowerAscii(host);
  std::string_view path = rest.substr(authorityEnd);
  path = path.substr(0, std::min(path.find_first_of("?#"), path.size()));
  u.path = path.empty() ? "/" : std::string(path);
  bool loopback = u.host == "localhost" || u.host.ends_with(".localhost") || u.host == "[::1]" ||
                  (u.host.starts_with("127.") && IsIpAddress(u.host));
  u.secure = u.scheme == "https" || u.scheme == "wss" || loopback;
  u.valid = true;
  return u;
}

std::string DefaultCookiePath(std::string_view requestPath) {
  if (requestPath.empty() || requestPath.front() != '/') return "/";
  size_t last = requestPath.rfind('/');
  if (last == 0) return "/";
  return std::string(requestPath.substr(0, last));
}

bool DomainMatches(std::string_view host, std::string_view domain) {
  if (host == domain) return true;
  if (domain.empty() || host.size() <= domain.size() || IsIpAddress(host)) return false;
  return host.ends_with(domain) && host[host.size() - domain.size() - 1] == '.';
}

bool PathMatches(std::string_view requestPath, std::string_view cookiePath) {
  if (requestPath == cookiePath) return true;
  if (!requestPath.starts_with(cookiePath)) return false;
  return cookiePath.ends_with('/') || requestPath[cookiePath.size()] == '/';
}

}  // namespace ds
