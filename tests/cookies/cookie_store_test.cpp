#include "cookies/cookie_store.h"

#include <gtest/gtest.h>

#include <string>

namespace ds {
namespace {

constexpr int64_t kT0 = 1714528800000;  // 2024-05-01 02:00 UTC
constexpr int64_t kSecond = 1000, kDay = 86400 * kSecond;

struct Ask {
  const char* url;
  bool crossSite = false;
  bool topLevel = false;
  bool safe = true;
  int64_t at = kT0;
};

CookieRequest RequestOf(const Ask& a, size_t entry = 1) {
  CookieRequest r;
  r.url = ParseCookieUrl(a.url);
  r.crossSite = a.crossSite;
  r.topLevelNavigation = a.topLevel;
  r.safeMethod = a.safe;
  r.nowMs = a.at;
  r.entry = entry;
  return r;
}

CookieRule Set(CookieStore& s, const Ask& a, const std::string& line, size_t entry = 1) {
  return s.Store(ParseSetCookie(line), RequestOf(a, entry)).refused;
}

// "a=1; b=2" in header order.
std::string Sent(CookieStore& s, const Ask& a) {
  std::string out;
  for (const StoredCookie* c : s.Lookup(RequestOf(a)).sent) out += (out.empty() ? "" : "; ") + c->name + "=" + c->value;
  return out;
}

// The rule that kept `name` back, kNone when it was sent or is not stored.
CookieRule Withheld(CookieStore& s, const Ask& a, const std::string& name) {
  for (const WithheldCookie& w : s.Lookup(RequestOf(a)).withheld)
    if (w.cookie->name == name) return w.rule;
  return CookieRule::kNone;
}

TEST(CookieUrl, PartsAndMatching) {
  CookieUrl u = ParseCookieUrl("HTTPS://user:pw@WWW.Example.com:8443/a/b?q=1#f");
  EXPECT_TRUE(u.valid);
  EXPECT_EQ(u.host, "www.example.com");
  EXPECT_EQ(u.path, "/a/b");
  EXPECT_TRUE(u.secure);
  EXPECT_EQ(ParseCookieUrl("http://[::1]:80/").host, "[::1]");
  EXPECT_TRUE(ParseCookieUrl("http://[::1]:80/").secure);
  EXPECT_TRUE(ParseCookieUrl("http://localhost:3000/").secure);
  EXPECT_FALSE(ParseCookieUrl("http://localhost.example/").secure);
  EXPECT_EQ(ParseCookieUrl("http://a.com?x").path, "/");
  EXPECT_FALSE(ParseCookieUrl("/relative/only").valid);
  EXPECT_FALSE(ParseCookieUrl("http:///path").valid);

  EXPECT_EQ(DefaultCookiePath("/a/b/c"), "/a/b");
  EXPECT_EQ(DefaultCookiePath("/a/b/"), "/a/b");
  EXPECT_EQ(DefaultCookiePath("/a"), "/");
  EXPECT_EQ(DefaultCookiePath(""), "/");
  EXPECT_EQ(DefaultCookiePath("a/b"), "/");

  EXPECT_TRUE(DomainMatches("a.example.com", "example.com"));
  EXPECT_FALSE(DomainMatches("aexample.com", "example.com"));
  EXPECT_FALSE(DomainMatches("example.com", "a.example.com"));
  EXPECT_FALSE(DomainMatches("1.2.3.4", "2.3.4"));
  EXPECT_TRUE(DomainMatches("1.2.3.4", "1.2.3.4"));

  EXPECT_TRUE(PathMatches("/docs", "/docs"));
  EXPECT_TRUE(PathMatches("/docs/web", "/docs"));
  EXPECT_TRUE(PathMatches("/docs/web", "/docs/"));
  EXPECT_FALSE(PathMatches("/docsets", "/docs"));
  EXPECT_FALSE(PathMatches("/doc", "/docs"));
}

TEST(CookieStore, DomainHostOnlyAndPath) {
  CookieStore s;
  Ask www{"https://www.example.com/a/b/page"};
  EXPECT_EQ(Set(s, www, "host=1"), CookieRule::kNone);
  EXPECT_EQ(Set(s, www, "wide=2; Domain=example.com; Path=/"), CookieRule::kNone);
  EXPECT_EQ(Set(s, {"https://a.example.com/"}, "narrow=3; Domain=a.example.com; Path=/"), CookieRule::kNone);
  EXPECT_EQ(Set(s, www, "dot=4; Domain=.; Path=/"), CookieRule::kNone);  // "Domain=." is the host's alone

  EXPECT_EQ(Sent(s, {"https://www.example.com/a/b/x"}), "host=1; wide=2; dot=4");
  Ask other{"https://b.example.com/a/b/x"};
  EXPECT_EQ(Sent(s, other), "wide=2");
  EXPECT_EQ(Withheld(s, other, "host"), CookieRule::kHostOnly);
  EXPECT_EQ(Withheld(s, other, "dot"), CookieRule::kHostOnly);
  EXPECT_EQ(Withheld(s, other, "narrow"), CookieRule::kDomain);
  // Host-only wins over path when both would keep it back.
  EXPECT_EQ(Withheld(s, {"https://b.example.com/zzz"}, "host"), CookieRule::kHostOnly);
  // The default path is the directory of the request that set it.
  EXPECT_EQ(Withheld(s, {"https://www.example.com/a/bc"}, "host"), CookieRule::kPath);
  EXPECT_EQ(Withheld(s, {"https://www.example.com/a"}, "host"), CookieRule::kPath);
  EXPECT_EQ(Sent(s, {"https://www.example.com/a/b"}), "host=1; wide=2; dot=4");
  // A port makes no other host.
  EXPECT_EQ(Sent(s, {"https://www.example.com:8443/a/b/"}), "host=1; wide=2; dot=4");
  // Another site's cookies are not listed at all.
  EXPECT_TRUE(s.Lookup(RequestOf({"https://example.org/"})).withheld.empty());
}

TEST(CookieStore, RefusedDomains) {
  CookieStore s;
  EXPECT_EQ(Set(s, {"https://www.example.com.cn/"}, "a=1; Domain=com.cn"), CookieRule::kPublicSuffix);
  EXPECT_EQ(Set(s, {"https://me.github.io/"}, "a=1; Domain=github.io"), CookieRule::kPublicSuffix);
  EXPECT_EQ(Set(s, {"https://www.example.com/"}, "a=1; Domain=example.org"), CookieRule::kDomainMismatch);
  EXPECT_EQ(Set(s, {"https://example.com/"}, "a=1; Domain=www.example.com"), CookieRule::kDomainMismatch);
  EXPECT_EQ(Set(s, {"http://192.168.0.1/"}, "a=1; Domain=168.0.1"), CookieRule::kDomainMismatch);
  // The suffix as the host itself stores a cookie for that host only.
  EXPECT_EQ(Set(s, {"https://github.io/"}, "own=1; Domain=github.io"), CookieRule::kNone);
  EXPECT_EQ(Sent(s, {"https://github.io/"}), "own=1");
  EXPECT_EQ(Sent(s, {"https://me.github.io/"}), "");
  EXPECT_EQ(Set(s, {"http://192.168.0.1/x"}, "ip=1; Domain=192.168.0.1"), CookieRule::kNone);
  EXPECT_EQ(Sent(s, {"http://192.168.0.1/"}), "ip=1");
  EXPECT_EQ(s.Size(), 2u);
}

TEST(CookieStore, SecureRules) {
  CookieStore s;
  EXPECT_EQ(Set(s, {"http://example.com/"}, "a=1; Secure"), CookieRule::kSecureFromInsecure);
  EXPECT_EQ(Set(s, {"http://localhost/"}, "local=1; Secure"), CookieRule::kNone);
  EXPECT_EQ(Set(s, {"https://example.com/"}, "id=secure; Secure; Path=/"), CookieRule::kNone);
  EXPECT_EQ(Withheld(s, {"http://example.com/"}, "id"), CookieRule::kSecure);
  // Plain http may neither replace nor shadow it, at its path or below.
  EXPECT_EQ(Set(s, {"http://example.com/"}, "id=plain; Path=/"), CookieRule::kOverwriteSecure);
  EXPECT_EQ(Set(s, {"http://www.example.com/"}, "id=plain; Domain=example.com; Path=/sub"),
            CookieRule::kOverwriteSecure);
  EXPECT_EQ(Set(s, {"http://example.com/"}, "other=1; Path=/"), CookieRule::kNone);
  EXPECT_EQ(Set(s, {"https://example.com/"}, "id=again; Path=/"), CookieRule::kNone);
  EXPECT_EQ(Sent(s, {"https://example.com/"}), "id=again; other=1");

  CookieStore deeper;
  EXPECT_EQ(Set(deeper, {"https://example.com/"}, "id=1; Secure; Path=/a"), CookieRule::kNone);
  EXPECT_EQ(Set(deeper, {"http://example.com/"}, "id=2; Path=/"), CookieRule::kNone);
}

TEST(CookieStore, SameSiteOnRequests) {
  CookieStore s;
  Ask origin{"https://shop.example/"};
  Set(s, origin, "strict=1; SameSite=Strict");
  Set(s, origin, "lax=1; SameSite=Lax");
  Set(s, origin, "unset=1");
  Set(s, origin, "none=1; SameSite=None; Secure");
  EXPECT_EQ(Sent(s, origin), "strict=1; lax=1; unset=1; none=1");

  Ask subresource{"https://shop.example/img", true};
  EXPECT_EQ(Sent(s, subresource), "none=1");
  EXPECT_EQ(Withheld(s, subresource, "strict"), CookieRule::kSameSiteStrict);
  EXPECT_EQ(Withheld(s, subresource, "lax"), CookieRule::kSameSiteLax);
  EXPECT_EQ(Withheld(s, subresource, "unset"), CookieRule::kSameSiteLax);

  Ask navigation{"https://shop.example/", true, true, true};
  EXPECT_EQ(Sent(s, navigation), "lax=1; unset=1; none=1");
  EXPECT_EQ(Withheld(s, navigation, "strict"), CookieRule::kSameSiteStrict);

  Ask post{"https://shop.example/", true, true, false};
  EXPECT_EQ(Sent(s, post), "none=1");
  CookieLookup l = s.Lookup(RequestOf(post));
  ASSERT_EQ(l.withheld.size(), 3u);
  EXPECT_EQ(l.withheld[1].detail, RuleDetail::kUnsafeNavigation);
}

TEST(CookieStore, SameSiteOnResponses) {
  CookieStore s;
  Ask subresource{"https://tracker.example/pixel", true};
  EXPECT_EQ(Set(s, subresource, "a=1"), CookieRule::kSameSiteLax);
  EXPECT_EQ(Set(s, subresource, "a=1; SameSite=Strict"), CookieRule::kSameSiteStrict);
  EXPECT_EQ(Set(s, subresource, "a=1; SameSite=None"), CookieRule::kSameSiteNoneInsecure);
  EXPECT_EQ(Set(s, subresource, "a=1; SameSite=None; Secure"), CookieRule::kNone);
  EXPECT_EQ(Set(s, {"https://tracker.example/", true, true, false}, "nav=1; SameSite=Strict"), CookieRule::kNone);
}

TEST(CookieStore, Prefixes) {
  CookieStore s;
  Ask https{"https://example.com/app/page"};
  EXPECT_EQ(Set(s, https, "__Secure-a=1"), CookieRule::kPrefix);
  EXPECT_EQ(Set(s, https, "__SECURE-a=1"), CookieRule::kPrefix);
  EXPECT_EQ(Set(s, https, "__Secure-a=1; Secure"), CookieRule::kNone);
  EXPECT_EQ(Set(s, https, "__Host-a=1; Secure; Path=/"), CookieRule::kNone);
  EXPECT_EQ(Set(s, https, "__Host-b=1; Secure"), CookieRule::kPrefix);  // default path /app
  EXPECT_EQ(Set(s, https, "__Host-c=1; Path=/"), CookieRule::kPrefix);
  EXPECT_EQ(Set(s, https, "__Host-d=1; Secure; Path=/; Domain=example.com"), CookieRule::kPrefix);
  EXPECT_EQ(Set(s, https, "__host-e=1; Secure; Path=/sub"), CookieRule::kPrefix);
  EXPECT_EQ(Set(s, https, "__Host-x"), CookieRule::kPrefix);  // a nameless value that reads as a name
  EXPECT_EQ(Set(s, https, "__Hostess=1"), CookieRule::kNone);
  EXPECT_EQ(s.Store(ParseSetCookie("__Host-x"), RequestOf(https)).detail, RuleDetail::kNamelessPrefix);
  EXPECT_EQ(s.Store(ParseSetCookie("__Host-b=1; Secure"), RequestOf(https)).detail, RuleDetail::kHostPrefix);
}

TEST(CookieStore, ExpiryAndDeletion) {
  CookieStore s;
  Ask a{"https://example.com/"};
  Set(s, a, "short=1; Max-Age=60");
  Set(s, a, "dated=1; Expires=Wed, 01 May 2024 03:00:00 GMT");
  // Max-Age wins over Expires on either side of it.
  Set(s, a, "both=1; Max-Age=7200; Expires=Wed, 01 May 2024 02:00:30 GMT");
  Set(s, a, "gone=1; Expires=Wed, 01 May 2024 02:00:30 GMT; Max-Age=0");
  Set(s, a, "session=1; Expires=99999");
  EXPECT_EQ(Sent(s, {a.url, false, false, true, kT0 + 59 * kSecond}), "short=1; dated=1; both=1; session=1");
  EXPECT_EQ(Sent(s, {a.url, false, false, true, kT0 + 60 * kSecond}), "dated=1; both=1; session=1");
  EXPECT_EQ(Sent(s, {a.url, false, false, true, kT0 + 3600 * kSecond}), "both=1; session=1");
  EXPECT_EQ(Sent(s, {a.url, false, false, true, kT0 + 7200 * kSecond}), "session=1");

  CookieStore d;
  Set(d, a, "x=1");
  Set(d, a, "y=1");
  Set(d, a, "z=1");
  Set(d, a, "x=; Max-Age=-1");
  Set(d, a, "y=; Expires=Thu, 01 Jan 1970 00:00:00 GMT");
  EXPECT_EQ(Sent(d, a), "z=1");
  EXPECT_EQ(d.LastSetBy("example.com", "x"), 1u);
  EXPECT_EQ(d.LastSetBy("example.com", "never"), 0u);

  // No expiry lies beyond 400 days.
  CookieStore far;
  Set(far, a, "far=1; Max-Age=999999999999");
  Set(far, a, "dated=1; Expires=Fri, 01 Jan 9999 00:00:00 GMT");
  EXPECT_EQ(Sent(far, {a.url, false, false, true, kT0 + 399 * kDay}), "far=1; dated=1");
  EXPECT_EQ(Sent(far, {a.url, false, false, true, kT0 + 400 * kDay}), "");
}

TEST(CookieStore, HeaderOrderAndOverwrite) {
  CookieStore s;
  Ask a{"https://example.com/a/b/c"};
  Set(s, a, "first=1; Path=/");
  Set(s, a, "deep=1; Path=/a/b");
  Set(s, a, "second=1; Path=/");
  Set(s, a, "mid=1; Path=/a");
  EXPECT_EQ(Sent(s, a), "deep=1; mid=1; first=1; second=1");
  // An overwrite keeps its place: the creation time is the first one's.
  Set(s, a, "first=2; Path=/", 7);
  EXPECT_EQ(Sent(s, a), "deep=1; mid=1; first=2; second=1");
  EXPECT_EQ(s.Lookup(RequestOf(a)).sent[2]->setBy, 7u);
  // Same name, other path or host-only flag: another cookie.
  Set(s, a, "first=3; Path=/a");
  Set(s, a, "first=4; Path=/; Domain=example.com");
  EXPECT_EQ(Sent(s, a), "deep=1; mid=1; first=3; first=2; second=1; first=4");
  EXPECT_EQ(s.Size(), 6u);
}

TEST(CookieStore, NamelessCookies) {
  CookieStore s;
  Ask a{"https://example.com/"};
  Set(s, a, "lonely");
  Set(s, a, "=alone2");  // the same nameless slot, overwritten
  CookieLookup l = s.Lookup(RequestOf(a));
  ASSERT_EQ(l.sent.size(), 1u);
  EXPECT_EQ(l.sent[0]->name, "");
  EXPECT_EQ(l.sent[0]->value, "alone2");
}

TEST(CookieStore, ManyCookiesForOneHostStayBounded) {
  CookieStore s;
  Ask a{"https://example.com/"};
  for (int i = 0; i < 20000; ++i) Set(s, a, "c" + std::to_string(i) + "=1");
  EXPECT_LE(s.Size(), kMaxCookiesPerSite);
  EXPECT_GE(s.Size(), kCookiesPerSiteAfterPurge);
  // The newest survive a purge.
  std::string sent = Sent(s, a);
  EXPECT_NE(sent.find("c19999=1"), std::string::npos);
  EXPECT_EQ(sent.find("c0=1;"), std::string::npos);
}

}  // namespace
}  // namespace ds
