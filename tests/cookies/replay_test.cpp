#include "cookies/replay.h"

#include <gtest/gtest.h>

#include <string>

#include "import/capture.h"
#include "tests/cookies/entry_specs.h"

namespace ds {
namespace {

std::string Pairs(const std::vector<JarCookie>& cookies) {
  std::string out;
  for (const JarCookie& c : cookies) out += (out.empty() ? "" : "; ") + c.name + "=" + c.value;
  return out;
}

TEST(HarTime, ReadsIsoTimes) {
  EXPECT_EQ(ParseHarTime("2024-05-01T02:00:00Z"), 1714528800000);
  EXPECT_EQ(ParseHarTime("2024-05-01T10:00:00.250+08:00"), 1714528800250);
  EXPECT_EQ(ParseHarTime("2024-04-30T21:30:00-0430"), 1714528800000);
  EXPECT_EQ(ParseHarTime("2024-05-01T02:00:00.1234567Z"), 1714528800123);
  EXPECT_EQ(ParseHarTime("2024-05-01T02:00"), 1714528800000);
  EXPECT_EQ(ParseHarTime(""), std::nullopt);
  EXPECT_EQ(ParseHarTime("yesterday"), std::nullopt);
  EXPECT_EQ(ParseHarTime("2024-13-01T02:00:00Z"), std::nullopt);
  EXPECT_EQ(ParseHarTime("2024-02-30T02:00:00Z"), std::nullopt);
  EXPECT_EQ(ParseHarTime("2024-05-01T02:00:00Zjunk"), std::nullopt);
  EXPECT_EQ(ParseHarTime("2024-05-01T02:00:00."), std::nullopt);
}

TEST(RequestSite, FromHeaders) {
  auto site = [](std::vector<Field> headers, const char* url = "https://www.shop.example/x") {
    HttpMessage m;
    m.headers = std::move(headers);
    return SiteOfRequest(m, ParseCookieUrl(url));
  };
  EXPECT_TRUE(site({{"Sec-Fetch-Site", "cross-site"}}).crossSite);
  EXPECT_FALSE(site({{"sec-fetch-site", "same-site"}, {"Origin", "https://evil.example"}}).crossSite);
  EXPECT_FALSE(site({{"Sec-Fetch-Site", "none"}}).crossSite);
  EXPECT_EQ(site({{"Sec-Fetch-Site", "none"}}).source, SiteSource::kSecFetchSite);
  EXPECT_FALSE(site({{"Origin", "https://api.shop.example"}}).crossSite);
  EXPECT_TRUE(site({{"Origin", "https://shop2.example"}}).crossSite);
  // Schemeful: the same domain over http is another site.
  EXPECT_TRUE(site({{"Origin", "http://www.shop.example"}}).crossSite);
  EXPECT_TRUE(site({{"Origin", "null"}}).crossSite);
  EXPECT_EQ(site({{"Referer", "https://other.example/page"}}).source, SiteSource::kReferer);
  EXPECT_TRUE(site({{"Referer", "https://other.example/page"}}).crossSite);
  // Origin before Referer.
  EXPECT_FALSE(site({{"Referer", "https://other.example/"}, {"Origin", "https://shop.example"}}).crossSite);
  // Different users of one public suffix are different sites.
  EXPECT_TRUE(site({{"Origin", "https://a.github.io"}}, "https://b.github.io/").crossSite);
  EXPECT_FALSE(site({}).crossSite);
  EXPECT_EQ(site({}).source, SiteSource::kAssumed);

  auto topLevel = [](std::vector<Field> headers) {
    HttpMessage m;
    m.headers = std::move(headers);
    return IsTopLevelNavigation(m);
  };
  EXPECT_TRUE(topLevel({{"Sec-Fetch-Mode", "navigate"}}));
  EXPECT_TRUE(topLevel({{"Sec-Fetch-Dest", "document"}}));
  EXPECT_FALSE(topLevel({{"Sec-Fetch-Mode", "navigate"}, {"Sec-Fetch-Dest", "iframe"}}));
  EXPECT_FALSE(topLevel({{"Sec-Fetch-Mode", "cors"}}));
  EXPECT_FALSE(topLevel({}));
  EXPECT_TRUE(IsSafeMethod("get"));
  EXPECT_FALSE(IsSafeMethod("POST"));
}

TEST(CookiesSent, HeadersThenRecords) {
  HttpMessage m;
  m.headers = {{"cookie", "a=1; lonely;  b = 2 "}, {"Cookie", "c=3"}};
  m.cookieRecords = {{"r", "9"}};
  std::vector<JarCookie> sent = CookiesSent(m);
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[1].name, "");
  EXPECT_EQ(sent[1].value, "lonely");
  EXPECT_EQ(sent[2].name, "b");
  EXPECT_EQ(sent[2].value, "2");
  m.headers.clear();
  EXPECT_EQ(Pairs(CookiesSent(m)), "r=9");
}

// The expected header is computed before the entry's own response is stored.
TEST(Replay, ExpectedBeforeOwnResponse) {
  std::vector<JarVerdict> v = ReplayCookies(Entries({
      {"GET", "https://shop.example/", {}, {"sid=1; Path=/"}, "2024-05-01T02:00:00Z"},
      {"GET", "https://shop.example/list", {{"Cookie", "sid=1"}}, {"sid=2; Path=/"}, "2024-05-01T02:00:01Z"},
      {"GET", "https://shop.example/cart", {{"Cookie", "sid=2"}}, {}, "2024-05-01T02:00:02Z"},
  }));
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(Pairs(v[0].expected), "");
  EXPECT_EQ(Pairs(v[1].expected), "sid=1");
  EXPECT_EQ(Pairs(v[2].expected), "sid=2");
  for (const JarVerdict& each : v) EXPECT_TRUE(each.differences.empty()) << each.entry;
}

TEST(Replay, TimeOrderAndMissingTimes) {
  // Listed out of order: the later request comes first in the file.
  std::vector<JarVerdict> v = ReplayCookies(Entries({
      {"GET", "https://a.example/2", {}, {}, "2024-05-01T02:10:00Z"},
      {"GET", "https://a.example/1", {}, {"t=1; Path=/; Max-Age=300"}, "2024-05-01T02:00:00Z"},
      {"GET", "https://a.example/3", {}, {}, std::nullopt},
      {"GET", "https://a.example/4", {}, {}, "not a time"},
  }));
  EXPECT_EQ(v[0].entry, 1u);
  EXPECT_EQ(Pairs(v[0].expected), "");  // 02:10: expired after five minutes
  EXPECT_FALSE(v[0].timeMissing);
  // Judged at the previous entry's time in file order (02:00), after it.
  EXPECT_TRUE(v[2].timeMissing);
  EXPECT_EQ(Pairs(v[2].expected), "t=1");
  EXPECT_TRUE(v[3].timeMissing);
  EXPECT_EQ(Pairs(v[3].expected), "t=1");
}

TEST(Replay, DifferencesAndReasons) {
  std::vector<JarVerdict> v = ReplayCookies(Entries({
      {"GET", "https://shop.example/", {},
       {"a=1; Path=/; SameSite=None; Secure", "b=1; Path=/; SameSite=None; Secure", "lax=1; Path=/",
        "__Host-x=1; Path=/"},
       "2024-05-01T02:00:00Z"},
      {"GET", "https://shop.example/api", {{"Cookie", "b=2; extra=9; lax=1"}, {"Sec-Fetch-Site", "cross-site"}},
       {}, "2024-05-01T02:00:01Z"},
  }));
  const JarVerdict& r = v[1];
  EXPECT_EQ(Pairs(r.expected), "a=1; b=1");
  ASSERT_EQ(r.differences.size(), 4u);
  EXPECT_EQ(r.differences[0].name, "a");
  EXPECT_EQ(r.differences[0].kind, CookieDifference::kNotSent);
  EXPECT_EQ(r.differences[1].name, "b");
  EXPECT_EQ(r.differences[1].kind, CookieDifference::kValue);
  EXPECT_EQ(r.differences[1].sent, "2");
  EXPECT_EQ(r.differences[1].expected, "1");
  EXPECT_EQ(r.differences[2].name, "extra");
  EXPECT_EQ(r.differences[2].kind, CookieDifference::kUnknownOrigin);
  EXPECT_EQ(r.differences[3].name, "lax");
  EXPECT_EQ(r.differences[3].kind, CookieDifference::kNotExpected);
  ASSERT_EQ(r.withheld.size(), 1u);
  EXPECT_EQ(r.withheld[0].rule, CookieRule::kSameSiteLax);
  EXPECT_EQ(r.withheld[0].text, RuleText(CookieRule::kSameSiteLax, RuleDetail::kPlain, 1));
  ASSERT_EQ(v[0].rejected.size(), 1u);
  EXPECT_EQ(v[0].rejected[0].name, "__Host-x");
  EXPECT_EQ(v[0].rejected[0].rule, CookieRule::kPrefix);
  EXPECT_EQ(v[0].rejected[0].line, "__Host-x=1; Path=/");
}

TEST(Replay, TextsNameTheRuleAndTheEntry) {
  // "SameSite=Lax: 跨站子请求不发送 (第3项响应设置)" in GBK.
  EXPECT_EQ(RuleText(CookieRule::kSameSiteLax, RuleDetail::kPlain, 3),
            "SameSite=Lax: \xBF\xE7\xD5\xBE\xD7\xD3\xC7\xEB\xC7\xF3\xB2\xBB\xB7\xA2\xCB\xCD (\xB5\xDA" "3"
            "\xCF\xEE\xCF\xEC\xD3\xA6\xC9\xE8\xD6\xC3)");
  // Each code its own sentence; a refused line names its own entry without "set".
  EXPECT_NE(RuleText(CookieRule::kSameSiteLax, RuleDetail::kUnsafeNavigation, 3),
            RuleText(CookieRule::kSameSiteLax, RuleDetail::kPlain, 3));
  EXPECT_NE(RuleText(CookieRule::kSameSiteLax, RuleDetail::kRefusedOnSet, 3),
            RuleText(CookieRule::kSameSiteLax, RuleDetail::kPlain, 3));
  EXPECT_EQ(RuleCode(CookieRule::kOverwriteSecure), "overwrite-secure");
  EXPECT_EQ(RuleCode(CookieRule::kHostOnly), "host-only");
  EXPECT_EQ(DifferenceCode(CookieDifference::kUnknownOrigin), "unknown-origin");
  EXPECT_EQ(DifferenceText(CookieDifference::kUnknownOrigin, 0).find("(\xB5\xDA"), Text::npos);
}

TEST(Replay, HarReaderKeepsStartedDateTime) {
  CaptureText text;
  text.utf8 = R"({"log": {"entries": [{"startedDateTime": "2024-05-01T02:00:00Z", "request": {"method": "GET",
      "url": "https://a.example/", "headers": []}, "response": {"status": 200, "headers": [
      {"name": "Set-Cookie", "value": "a=1\nb=2; Secure"}]}}, {"request": {"method": "GET", "url": "https://a.example/"}}]}})";
  Capture c = ReadCapture(text, CaptureFormat::kHar, AnalysisMode::kCookies);
  ASSERT_EQ(c.entries.size(), 2u);
  EXPECT_EQ(c.entries[0].startedDateTime, "2024-05-01T02:00:00Z");
  EXPECT_EQ(c.entries[1].startedDateTime, std::nullopt);
  std::vector<JarVerdict> v = ReplayCookies(c.entries);
  EXPECT_EQ(Pairs(v[1].expected), "a=1; b=2");
}

}  // namespace
}  // namespace ds
