#include "cookies/set_cookie.h"

#include <gtest/gtest.h>

#include <string>

#include "cookies/cookie_date.h"

namespace ds {
namespace {

TEST(CookieDate, ReadsWhatServersWrite) {
  struct Case {
    const char* text;
    std::optional<int64_t> seconds;
  } cases[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", 784111777},
      {"Sunday, 06-Nov-94 08:49:37 GMT", 784111777},
      {"Sun Nov  6 08:49:37 1994", 784111777},
      {"6 nov 1994 8:49:37", 784111777},
      {"Tue, 29 Feb 2000 00:00:00 GMT", 951782400},
      {"01 Jan 69 00:00:00", 3124224000},  // two-digit years below 70 are 20xx
      {"Thu, 01 Jan 1970 00:00:00 GMT", 0},
      {"Mon, 01 Jan 1601 00:00:00 GMT", -11644473600},
      {"99999", std::nullopt},
      {"", std::nullopt},
      {"Sun, 06 Nov 1994 GMT", std::nullopt},           // no time
      {"Sun, Nov 1994 08:49:37 GMT", std::nullopt},     // no day
      {"Sun, 06 1994 08:49:37 GMT", std::nullopt},      // no month
      {"Sun, 06 Nov 08:49:37 GMT", std::nullopt},       // no year
      {"Sun, 00 Nov 1994 08:49:37 GMT", std::nullopt},  // day 0
      {"Sun, 32 Nov 1994 08:49:37 GMT", std::nullopt},
      {"Sun, 06 Nov 1600 08:49:37 GMT", std::nullopt},
      {"Sun, 06 Nov 1994 24:00:00 GMT", std::nullopt},
      {"Sun, 06 Nov 1994 23:60:00 GMT", std::nullopt},
      {"Sun, 06 Nov 1994 23:59:60 GMT", std::nullopt},
      {"Wed, 30 Feb 2000 00:00:00 GMT", std::nullopt},
      {"Thu, 29 Feb 1900 00:00:00 GMT", std::nullopt},  // 1900 was no leap year
      {"Sun, 006 Nov 1994 08:49:37 GMT", std::nullopt}, // three digits are no day, and 006 is no year
  };
  for (const Case& c : cases) EXPECT_EQ(ParseCookieDate(c.text), c.seconds) << c.text;
}

TEST(SetCookie, NameValueAndFaults) {
  SetCookie c = ParseSetCookie(" sid = a b ; Path=/");
  EXPECT_EQ(c.name, "sid");
  EXPECT_EQ(c.value, "a b");
  c = ParseSetCookie("justvalue");
  EXPECT_EQ(c.fault, SetCookie::Fault::kNone);
  EXPECT_EQ(c.name, "");
  EXPECT_EQ(c.value, "justvalue");
  c = ParseSetCookie("a=b=c");
  EXPECT_EQ(c.name, "a");
  EXPECT_EQ(c.value, "b=c");
  EXPECT_EQ(ParseSetCookie("=").fault, SetCookie::Fault::kInvalid);
  EXPECT_EQ(ParseSetCookie(" ; Secure").fault, SetCookie::Fault::kInvalid);
  EXPECT_EQ(ParseSetCookie("a=b\x01").fault, SetCookie::Fault::kInvalid);
  EXPECT_EQ(ParseSetCookie("a=b; Path=/\x7f").fault, SetCookie::Fault::kInvalid);
  EXPECT_EQ(ParseSetCookie("a=\tb").fault, SetCookie::Fault::kNone);
  // 4096 bytes of name and value is the most a browser keeps.
  EXPECT_EQ(ParseSetCookie("n=" + std::string(4095, 'v')).fault, SetCookie::Fault::kNone);
  EXPECT_EQ(ParseSetCookie("n=" + std::string(4096, 'v')).fault, SetCookie::Fault::kTooLarge);
  EXPECT_EQ(ParseSetCookie(std::string(4097, 'v')).fault, SetCookie::Fault::kTooLarge);
  EXPECT_EQ(ParseSetCookie("n=" + std::string(1 << 20, 'v') + "; Secure").fault, SetCookie::Fault::kTooLarge);
}

TEST(SetCookie, Attributes) {
  SetCookie c = ParseSetCookie("a=1; DOMAIN=.Example.COM; path=/x; SECURE; httponly; SameSite=strict");
  EXPECT_EQ(c.domain, "example.com");
  EXPECT_EQ(c.path, "/x");
  EXPECT_TRUE(c.secure);
  EXPECT_TRUE(c.httpOnly);
  EXPECT_EQ(c.sameSite, SameSite::kStrict);

  EXPECT_EQ(ParseSetCookie("a=1").sameSite, SameSite::kUnset);
  EXPECT_EQ(ParseSetCookie("a=1; SameSite=None").sameSite, SameSite::kNone);
  EXPECT_EQ(ParseSetCookie("a=1; SameSite=Lax").sameSite, SameSite::kLax);
  EXPECT_EQ(ParseSetCookie("a=1; SameSite=Lax; SameSite=bogus").sameSite, SameSite::kUnset);
  EXPECT_EQ(ParseSetCookie("a=1; Domain=a.com; Domain=b.com").domain, "b.com");
  EXPECT_EQ(ParseSetCookie("a=1; Domain=").domain, std::nullopt);
  EXPECT_EQ(ParseSetCookie("a=1; Domain=.").domain, "");
  // A path that is no path falls back to the default, even after a good one.
  EXPECT_EQ(ParseSetCookie("a=1; Path=x").path, std::nullopt);
  EXPECT_EQ(ParseSetCookie("a=1; Path=/x; Path=").path, std::nullopt);
  EXPECT_EQ(ParseSetCookie("a=1; Path=/" + std::string(1024, 'p')).path, std::nullopt);
  EXPECT_EQ(ParseSetCookie("a=1; Path=/" + std::string(1023, 'p')).path->size(), 1024u);

  EXPECT_EQ(ParseSetCookie("a=1; Max-Age=60").maxAge, 60);
  EXPECT_EQ(ParseSetCookie("a=1; Max-Age=-1").maxAge, -1);
  EXPECT_EQ(ParseSetCookie("a=1; Max-Age=0").maxAge, 0);
  EXPECT_EQ(ParseSetCookie("a=1; Max-Age=1x").maxAge, std::nullopt);
  EXPECT_EQ(ParseSetCookie("a=1; Max-Age=+5").maxAge, std::nullopt);
  EXPECT_EQ(ParseSetCookie("a=1; Max-Age=-").maxAge, std::nullopt);
  EXPECT_GT(*ParseSetCookie("a=1; Max-Age=99999999999999999999999").maxAge, int64_t{1} << 40);
  EXPECT_EQ(ParseSetCookie("a=1; Expires=99999").expires, std::nullopt);
  EXPECT_EQ(ParseSetCookie("a=1; Expires=Sun, 06 Nov 1994 08:49:37 GMT").expires, 784111777);
  // An unreadable date leaves an earlier good one in force.
  EXPECT_EQ(ParseSetCookie("a=1; expires=Sun, 06 Nov 1994 08:49:37 GMT; Expires=never").expires, 784111777);
  // "Secure=no" is still Secure: only the name counts.
  EXPECT_TRUE(ParseSetCookie("a=1; Secure=no").secure);
  EXPECT_FALSE(ParseSetCookie("a=1; Securely").secure);
}

}  // namespace
}  // namespace ds
