#include "cli/jar_report.h"

#include <gtest/gtest.h>

#include "cli/options.h"

namespace cli {
namespace {

ds::JarVerdict Verdict() {
  ds::JarVerdict v;
  v.entry = 2;
  v.method = "GET";
  v.url = "https://a.example/?q=\"x\"";
  v.site = {true, ds::SiteSource::kSecFetchSite};
  v.sent = {{"sid", "2"}, {"", "lonely"}};
  v.expected = {{"sid", "1"}};
  v.differences.push_back({"sid", ds::CookieDifference::kValue, "2", "1", ds::DifferenceText(ds::CookieDifference::kValue, 1)});
  v.withheld.push_back({"pref", ds::CookieRule::kSameSiteLax,
                        ds::RuleText(ds::CookieRule::kSameSiteLax, ds::RuleDetail::kPlain, 1)});
  v.rejected.push_back({"x", ds::CookieRule::kPrefix, ds::RuleText(ds::CookieRule::kPrefix, ds::RuleDetail::kHostPrefix, 2),
                        "__Host-x=1"});
  return v;
}

TEST(JarReport, JsonShape) {
  JarReport r{"s.har", 3, {Verdict()}};
  std::string json = JarJson(r, Encoding::kUtf8);
  EXPECT_NE(json.find("{\"entries\": [\n  {\"entry\": 2, \"method\": \"GET\", \"url\": \"https://a.example/?q=\\\"x\\\"\", "
                      "\"site\": \"cross-site\",\n   \"sent\": [[\"sid\", \"2\"], [\"\", \"lonely\"]], "
                      "\"expected\": [[\"sid\", \"1\"]]"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("{\"name\": \"sid\", \"kind\": \"value\", \"sent\": \"2\", \"expected\": \"1\", \"text\": "),
            std::string::npos);
  EXPECT_NE(json.find("\"withheld\": [{\"name\": \"pref\", \"reason\": \"samesite-lax\", \"text\": "
                      "\"SameSite=Lax: 跨站子请求不发送 (第1项响应设置)\"}]"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"rejected\": [{\"name\": \"x\", \"reason\": \"prefix\", \"text\": \"前缀: "), std::string::npos);
  EXPECT_NE(json.find("\"line\": \"__Host-x=1\"}]}]}"), std::string::npos);
  EXPECT_TRUE(r.HasDifferences());
  r.verdicts[0].differences.clear();
  EXPECT_FALSE(r.HasDifferences());
}

TEST(JarReport, TextBlock) {
  ds::JarVerdict v = Verdict();
  v.timeMissing = true;
  std::string text = JarText({"s.har", 3, {v}}, Encoding::kUtf8);
  std::erase(text, '\r');  // Windows ends its lines with CR LF
  EXPECT_EQ(text.rfind("Cookie存储重放: s.har (3项)\n", 0), 0u) << text;
  EXPECT_NE(text.find("== 2 GET https://a.example/?q=\"x\"  跨站 (Sec-Fetch-Site) =="), std::string::npos) << text;
  EXPECT_NE(text.find("startedDateTime"), std::string::npos);
  EXPECT_NE(text.find("发送: sid=2; lonely\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  pref  samesite-lax  SameSite=Lax: "), std::string::npos);
  EXPECT_NE(text.find("    Set-Cookie: __Host-x=1\n"), std::string::npos);
  EXPECT_NE(text.find("共1项请求, 其中1项与存储不同"), std::string::npos) << text;
}

// GBK output never replaces a character it lacks: JSON escapes it, text
// shows its code point.
TEST(JarReport, GbkOutputEscapesWhatGbkLacks) {
  EXPECT_EQ(Utf8Output("a\xF0\x9F\x98\x80" "b中", Encoding::kGbk, true), "a\\ud83d\\ude00b\xD6\xD0");
  EXPECT_EQ(Utf8Output("\xF0\x9F\x98\x80", Encoding::kGbk, false), "\\u{1F600}");
  EXPECT_EQ(Utf8Output("中\xF0\x9F\x98\x80", Encoding::kUtf8, false), "中\xF0\x9F\x98\x80");
}

TEST(JarReport, Options) {
  ParsedOptions p = ParseOptions({"jar", "--entry", "3", "--json", "s.har"});
  EXPECT_EQ(p.error, "");
  EXPECT_EQ(p.options.command, Options::Command::kJar);
  EXPECT_EQ(p.options.jarEntry, 3);
  EXPECT_EQ(p.options.file1, "s.har");
  EXPECT_EQ(ParseOptions({"jar", "--entry", "0", "s.har"}).error, "--entry takes an entry number from 1, not '0'");
  EXPECT_EQ(ParseOptions({"jar", "--entry", "1", "--url", "x", "s.har"}).error,
            "--entry and --url cannot be given together");
  EXPECT_EQ(ParseOptions({"compare", "--url", "x", "a", "b"}).error, "--url belongs to jar");
  EXPECT_EQ(ParseOptions({"jar", "a.har", "b.har"}).error, "jar needs one file, got 2");
}

}  // namespace
}  // namespace cli
