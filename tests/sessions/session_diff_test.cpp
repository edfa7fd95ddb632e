#include <gtest/gtest.h>

#include "compare/ignore_list.h"
#include "items/separators.h"
#include "sessions/session_diff.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

using test::Gbk;

HarEntry Entry(std::string method, std::string url, std::vector<Field> headers = {}, std::string status = "200",
               std::vector<Field> responseHeaders = {}) {
  HarEntry e;
  e.request.method = std::move(method);
  e.request.url = std::move(url);
  e.request.headers = std::move(headers);
  e.response.status = std::move(status);
  e.response.headers = std::move(responseHeaders);
  return e;
}

// The pairs as "a-b" with "-" for a missing side, 1-based.
std::string Paired(const std::vector<HarEntry>& a, const std::vector<HarEntry>& b) {
  std::string out;
  for (const RequestPair& p : PairRequests(a, b))
    out += (p.a ? std::to_string(*p.a + 1) : "-") + "-" + (p.b ? std::to_string(*p.b + 1) : "-") + " ";
  return out;
}

TEST(RequestPairing, KeysAlignAndOrder) {
  HarEntry home = Entry("GET", "https://E.com/"), list1 = Entry("GET", "https://e.com/list?page=1&size=20"),
           list2 = Entry("GET", "https://e.com/list?size=20&page=2#top"), login = Entry("POST", "https://e.com/login"),
           icon = Entry("GET", "https://e.com/favicon.ico"), other = Entry("GET", "https://e.com/list?page=1");
  struct Case {
    const char* what;
    std::vector<HarEntry> a, b;
    const char* pairs;
  } cases[] = {
      {"the same session", {home, login}, {home, login}, "1-1 2-2 "},
      {"the very same request pairs first, wherever it is", {list1, list2}, {list2, list1}, "1-2 2-1 "},
      {"query values and their order do not tell requests apart; repeats pair in order",
       {Entry("GET", "https://e.com/list?ts=1"), Entry("GET", "https://e.com/list?ts=2")},
       {Entry("GET", "https://e.com/list?ts=3"), Entry("GET", "https://e.com/list?ts=4")}, "1-1 2-2 "},
      {"one request fewer among many of one key shifts nothing",
       {Entry("GET", "https://e.com/p?n=1"), Entry("GET", "https://e.com/p?n=2"), Entry("GET", "https://e.com/p?n=3")},
       {Entry("GET", "https://e.com/p?n=1"), Entry("GET", "https://e.com/p?n=3")}, "1-1 2-- 3-2 "},
      {"other query names do", {list1}, {other}, "1-- --1 "},
      {"the host's case does not", {home}, {Entry("GET", "https://e.com")}, "1-1 "},
      {"the method does", {home, login}, {Entry("POST", "https://E.COM/"), login}, "1-- --1 2-2 "},
      {"one added in B stands before the next pair, one removed in B where it was",
       {home, icon, login}, {home, other, login}, "1-1 2-- --2 3-3 "},
      {"one more repeat in B", {list1, login}, {list1, list1, login}, "1-1 --2 2-3 "},
      {"reordered: every entry once", {home, login, icon}, {icon, home, login}, "1-2 2-3 3-1 "},
      {"empty sides", {}, {home}, "--1 "},
  };
  for (const Case& c : cases) EXPECT_EQ(Paired(c.a, c.b), c.pairs) << c.what;
  EXPECT_EQ(RequestKey(list2.request), "GET e.com/list?page&size");
  EXPECT_EQ(SplitUrl("https://e.com:8443?x=1").path, "/");
  EXPECT_EQ(SplitUrl("/relative/path?q").query, "q");
}

SessionsInput Input(AnalysisMode mode, std::vector<Text> ignore = {}) {
  return {mode, DefaultSeparators(mode), NameRule{}, std::move(ignore)};
}

std::string Names(const std::vector<Row>& rows) {
  std::string out;
  for (const Row& r : rows) out += std::string(r.Cell(1)) + "=" + std::string(r.Cell(2)) + (r.Cell(3).empty() ? "" : "|" + std::string(r.Cell(3))) + " ";
  return out;
}

TEST(SessionDiff, EachPartOfAPair) {
  HarEntry a = Entry("GET", "https://e.com/api?q=%E4%B8%AD&page=1&t=1&s=a+b",
                     {{"accept", "*/*"}, {"cookie", "sid=1; theme=dark; nick=张三"}}, "200",
                     {{"set-cookie", "seen=1; Path=/"}, {"set-cookie", "lang=zh"}});
  HarEntry b = Entry("GET", "https://e.com/api?q=%e4%b8%ad&page=2&t=1&s=a%20b",
                     {{"accept", "text/html"}, {"cookie", "sid=1; theme=light; uid=9"}}, "302",
                     {{"set-cookie", "seen=2; Path=/, lang=zh"}});
  std::vector<PairDiff> cookies = CompareSessions({a}, {b}, Input(AnalysisMode::kCookies));
  ASSERT_EQ(cookies.size(), 1u);
  const PairDiff& d = cookies[0];
  EXPECT_FALSE(d.Same());
  EXPECT_EQ(d.statusA, "200");
  EXPECT_EQ(d.statusB, "302");
  EXPECT_EQ(Names(d.request.lists.missingInSlot1), "uid=9 ");
  EXPECT_EQ(Names(d.request.lists.missingInSlot2), "nick=" + Gbk("张三") + " ");
  EXPECT_EQ(Names(d.request.lists.different), "theme=dark|light ");
  // The query compares decoded (%E4 and %e4 are one byte, "+" a space) and
  // shows what was sent.
  EXPECT_EQ(Names(d.query.lists.different), "page=1|2 ");
  EXPECT_TRUE(d.query.lists.missingInSlot1.empty() && d.query.lists.missingInSlot2.empty());
  EXPECT_EQ(Names(d.setCookies.lists.different), "seen=1|2 ");
  EXPECT_EQ(d.Where(), "e.com/api?q=%E4%B8%AD&page=1&t=1&s=a+b");
  EXPECT_EQ(PairDifferences(d, AnalysisMode::kCookies),
            Gbk("Cookies: A缺1 B缺1 异1  查询参数: A缺0 B缺0 异1  Set-Cookie: A缺0 B缺0 异1  状态"));
  EXPECT_EQ(PairVerdict(d), Gbk("不同"));

  // HTTP mode compares the headers instead.
  PairDiff http = CompareSessions({a}, {b}, Input(AnalysisMode::kHttp))[0];
  EXPECT_EQ(Names(http.request.lists.different), "accept=*/*|text/html cookie=sid=1; theme=dark; nick=" + Gbk("张三") +
                                                     "|sid=1; theme=light; uid=9 ");
}

TEST(SessionDiff, SameOnlyWhenEveryPartAgreesUnderTheIgnoreList) {
  HarEntry a = Entry("GET", "https://e.com/a?ts=1", {{"cookie", "sid=1; _ga=GA1.1"}, {"date", "Mon"}});
  HarEntry b = Entry("GET", "https://e.com/a?ts=2", {{"cookie", "sid=1; _ga=GA1.2"}, {"date", "Tue"}});
  EXPECT_FALSE(CompareSessions({a}, {b}, Input(AnalysisMode::kCookies))[0].Same());
  PairDiff ignored = CompareSessions({a}, {b}, Input(AnalysisMode::kCookies, {"_ga", "ts"}))[0];
  EXPECT_TRUE(ignored.Same());
  EXPECT_EQ(ignored.request.ignored, std::vector<Text>{"_ga"});
  // A status alone makes a pair differ; so does a side with no partner.
  HarEntry moved = a;
  moved.response.status = "404";
  EXPECT_FALSE(CompareSessions({a}, {moved}, Input(AnalysisMode::kCookies, {"_ga", "ts"}))[0].Same());
  std::vector<PairDiff> lonely = CompareSessions({a}, {}, Input(AnalysisMode::kCookies));
  ASSERT_EQ(lonely.size(), 1u);
  EXPECT_FALSE(lonely[0].Same());
  EXPECT_EQ(lonely[0].statusB, "");
  EXPECT_EQ(PairVerdict(lonely[0]), Gbk("仅A有"));
  EXPECT_EQ(PairDifferences(lonely[0], AnalysisMode::kCookies), "");
  EXPECT_EQ(SessionsSummary({lonely[0], ignored}), Gbk("共2对请求: 相同1, 不同0, 仅A有1, 仅B有0"));
}

TEST(SessionDiff, ARequestTheSlotTextCannotCarryIsNamedNotCompared) {
  HarEntry a = Entry("GET", "https://e.com/", {{"cookie", "mood=😀"}});
  HarEntry b = Entry("GET", "https://e.com/", {{"cookie", "mood=1"}});
  PairDiff d = CompareSessions({a}, {b}, Input(AnalysisMode::kCookies))[0];
  ASSERT_TRUE(d.error);
  EXPECT_NE(d.error->find("mood"), std::string::npos);
  EXPECT_FALSE(d.Same());
}

}  // namespace
}  // namespace ds
