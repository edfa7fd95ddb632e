#include "cookies/session_why.h"

#include <gtest/gtest.h>

#include <string>

#include "cookies/jar_text.h"
#include "tests/cookies/entry_specs.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

using test::Gbk;

const char* kAt1 = "2026-03-01T10:00:01Z";
const char* kAt2 = "2026-03-01T10:00:02Z";
const char* kAt3 = "2026-03-01T10:00:03Z";

// "name code" for each missing cookie, A's first.
std::string Codes(const std::vector<MissingCookieWhy>& why) {
  std::string out;
  for (const MissingCookieWhy& w : why)
    out += (out.empty() ? "" : ", ") + std::string(w.missingInA ? "A:" : "B:") + w.name + " " + std::string(w.code);
  return out;
}

// The working session sends four cookies to its API; the broken one sends
// none of them, each for another reason.
TEST(SessionWhy, EachMissingCookieGetsTheLackingSidesReason) {
  std::vector<HarEntry> a = Entries({
      {"GET", "https://app.example.com/login", {{"Sec-Fetch-Site", "none"}},
       {"sid=1; Path=/; SameSite=Lax", "__Host-tok=t; Path=/; Secure", "old=x; Path=/"}, kAt1},
      {"GET", "https://app.example.com/api", {{"Sec-Fetch-Site", "same-origin"}, {"Cookie", "sid=1; __Host-tok=t; old=x; pre=p"}},
       {}, kAt3},
  });
  std::vector<HarEntry> b = Entries({
      {"GET", "https://app.example.com/login", {{"Sec-Fetch-Site", "none"}},
       {"sid=1; Path=/; SameSite=Lax", "__Host-tok=t; Path=/; Domain=app.example.com; Secure", "old=x; Path=/"}, kAt1},
      {"GET", "https://app.example.com/logout", {}, {"old=; Path=/; Max-Age=0"}, kAt2},
      {"GET", "https://app.example.com/api", {{"Sec-Fetch-Site", "cross-site"}, {"Cookie", "extra=1"}}, {}, kAt3},
  });
  ReplayedSession ra(a), rb(b);
  std::vector<MissingCookieWhy> why = WhyCookiesMissing(ra, 1, rb, 2);
  EXPECT_EQ(Codes(why), "A:extra never-set, B:sid samesite-lax, B:__Host-tok prefix, B:old gone, B:pre never-set");
  ASSERT_EQ(why.size(), 5u);
  // Each sentence names the response the cookie came from.
  EXPECT_NE(why[1].text.find(Gbk("第1项响应设置")), std::string::npos);
  EXPECT_NE(why[3].text.find(Gbk("第2项响应设置")), std::string::npos);
  EXPECT_EQ(WhyLines({why[1]}), Gbk("B缺 sid: SameSite=Lax: 跨站子请求不发送 (第1项响应设置)\r\n"));
  // Each side's reasons come from its own recording, whichever slot it is in.
  EXPECT_EQ(Codes(WhyCookiesMissing(rb, 2, ra, 1)),
            "A:sid samesite-lax, A:__Host-tok prefix, A:old gone, A:pre never-set, B:extra never-set");
  // The same request on both sides lacks nothing.
  EXPECT_TRUE(WhyCookiesMissing(ra, 1, ra, 1).empty());
}

TEST(SessionWhy, OnlyAnEarlierResponseOfTheSameSiteCounts) {
  // The store holds sid for the API and would send it: the browser left it out.
  std::vector<HarEntry> a = Entries({
      {"GET", "https://app.example.com/", {{"Cookie", "sid=1"}}, {}, kAt1},
  });
  std::vector<HarEntry> b = Entries({
      {"GET", "https://other.example.net/", {}, {"sid=9; Path=/"}, kAt1},   // another site
      {"GET", "https://app.example.com/", {}, {}, kAt2},
      {"GET", "https://app.example.com/later", {}, {"sid=2; Path=/"}, kAt3},  // after the request
  });
  ReplayedSession ra(a), rb(b);
  EXPECT_EQ(Codes(WhyCookiesMissing(ra, 0, rb, 1)), "B:sid never-set");
  // At the same time, file order decides: a line listed after the request came after it.
  std::vector<HarEntry> same = Entries({
      {"GET", "https://app.example.com/", {}, {}, kAt1},
      {"GET", "https://app.example.com/set", {}, {"sid=2; Path=/x"}, kAt1},
  });
  ReplayedSession rs(same);
  EXPECT_EQ(Codes(WhyCookiesMissing(ra, 0, rs, 0)), "B:sid never-set");
  // Judged by time, not by file order: a line listed later but sent earlier counts.
  std::vector<HarEntry> c = Entries({
      {"GET", "https://app.example.com/", {}, {}, kAt2},
      {"GET", "https://app.example.com/set", {}, {"sid=2; Path=/x"}, kAt1},
  });
  ReplayedSession rc(c);
  std::vector<MissingCookieWhy> why = WhyCookiesMissing(ra, 0, rc, 0);
  EXPECT_EQ(Codes(why), "B:sid path");
  ASSERT_EQ(why.size(), 1u);
  EXPECT_NE(why[0].text.find(Gbk("第2项响应设置")), std::string::npos);
}

TEST(SessionWhy, AStoredCookieTheBrowserLeftOutIsNotSent) {
  std::vector<HarEntry> a = Entries({
      {"GET", "https://app.example.com/", {}, {"sid=1; Path=/"}, kAt1},
      {"GET", "https://app.example.com/x", {{"Cookie", "sid=1"}}, {}, kAt2},
  });
  std::vector<HarEntry> b = Entries({
      {"GET", "https://app.example.com/", {}, {"sid=1; Path=/"}, kAt1},
      {"GET", "https://app.example.com/x", {}, {}, kAt2},
  });
  ReplayedSession ra(a), rb(b);
  EXPECT_EQ(Codes(WhyCookiesMissing(ra, 1, rb, 1)), "B:sid not-sent");
  // Kept back by a rule, the rule tells, though a later line was refused too.
  std::vector<HarEntry> c = Entries({
      {"GET", "https://app.example.com/", {}, {"sid=1; Path=/; Secure"}, kAt1},
      {"GET", "http://app.example.com/", {}, {"sid=2"}, kAt2},
      {"GET", "http://app.example.com/x", {}, {}, kAt3},
  });
  ReplayedSession rc(c);
  EXPECT_EQ(Codes(WhyCookiesMissing(ra, 1, rc, 2)), "B:sid secure");
  // Never stored, the refusal of its line tells.
  std::vector<HarEntry> d = Entries({
      {"GET", "http://app.example.com/", {}, {"sid=2; Secure"}, kAt1},
      {"GET", "http://app.example.com/x", {}, {}, kAt2},
  });
  ReplayedSession rd(d);
  EXPECT_EQ(Codes(WhyCookiesMissing(ra, 1, rd, 1)), "B:sid secure-from-insecure");
}

TEST(JarText, ChooserLineCountsTheDifferences) {
  std::vector<HarEntry> e = Entries({
      {"GET", "https://app.example.com/", {}, {"sid=1; Path=/"}, kAt1},
      {"POST", "https://app.example.com/x", {{"Cookie", "pre=1"}}, {}, kAt2},
  });
  std::vector<JarVerdict> v = ReplayCookies(e);
  EXPECT_EQ(ChooserLine(e[0], v[0]), Gbk("GET https://app.example.com/  [Cookie差异: 0]"));
  // sid not sent, pre of unknown origin.
  EXPECT_EQ(ChooserLine(e[1], v[1]), Gbk("POST https://app.example.com/x  [Cookie差异: 2]"));
  Text block = JarBlockForWindow(v[1]);
  EXPECT_EQ(block.find(Gbk("== 2 POST https://app.example.com/x")), 0u);
  EXPECT_NE(block.find("sid  not-sent"), std::string::npos);
  EXPECT_EQ(block.find('\n'), block.find("\r\n") + 1);
}

}  // namespace
}  // namespace ds
