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
      // One decoded form for every part of the URL that pairs.
      {"a percent-encoded path", {Entry("GET", "https://e.com/搜索")}, {Entry("GET", "https://e.com/%E6%90%9C%E7%B4%A2")},
       "1-1 "},
      {"a percent-encoded query name", {Entry("GET", "https://e.com/?a[]=1")}, {Entry("GET", "https://e.com/?a%5B%5D=2")},
       "1-1 "},
      {"\"+\" is a space in a query", {Entry("GET", "https://e.com/?a+b=1")}, {Entry("GET", "https://e.com/?a%20b=2")},
       "1-1 "},
      {"but not in a path", {Entry("GET", "https://e.com/a+b")}, {Entry("GET", "https://e.com/a%20b")}, "1-- --1 "},
      {"an escaped \"&\" stays in its name", {Entry("GET", "https://e.com/?a%26b=1")},
       {Entry("GET", "https://e.com/?a=1&b=1")}, "1-- --1 "},
      {"an escaped \"?\" stays in the path", {Entry("GET", "https://e.com/a%3Fb")}, {Entry("GET", "https://e.com/a?b")},
       "1-- --1 "},
      {"the default port of the scheme", {Entry("GET", "https://e.com:443/"), Entry("GET", "http://e.com:80/x")},
       {Entry("GET", "https://e.com/"), Entry("GET", "http://e.com/x")}, "1-1 2-2 "},
      {"not another scheme's", {Entry("GET", "https://e.com:80/")}, {Entry("GET", "https://e.com/")}, "1-- --1 "},
      {"an IPv6 address keeps its colons", {Entry("GET", "http://[::1]:80/")}, {Entry("GET", "http://[::1]/")}, "1-1 "},
      {"an IDN label as Punycode or letters", {Entry("GET", "https://XN--FIQS8S.cn/")}, {Entry("GET", "https://中国.cn/")},
       "1-1 "},
      {"the very same request, once decoded, pairs first",
       {Entry("GET", "https://e.com/p?n=%31"), Entry("GET", "https://e.com/p?n=2")},
       {Entry("GET", "https://e.com/p?n=2"), Entry("GET", "https://e.com/p?n=1")}, "1-2 2-1 "},
  };
  for (const Case& c : cases) EXPECT_EQ(Paired(c.a, c.b), c.pairs) << c.what;
  EXPECT_EQ(RequestKey(list2.request), "GET e.com/list?page&size");
  EXPECT_EQ(RequestKey(Entry("GET", "https://xn--0zwm56d.xn--fiqs8s:443/?b&a%5B%5D").request), "GET 测试.中国/?a[]&b");
  EXPECT_EQ(HostKey(SplitUrl("https://xn--99999a.cn:8443")), "xn--99999a.cn:8443");  // no Punycode: kept as it is
  EXPECT_EQ(HostKey(SplitUrl("http://xn--fiqs8s:8080")), "中国:8080");
  EXPECT_EQ(SplitUrl("https://e.com:8443?x=1").path, "/");
  EXPECT_EQ(SplitUrl("/relative/path?q").query, "q");
}

SessionsInput Input(AnalysisMode mode, std::vector<Text> ignore = {}) {
  SessionsInput in{mode, DefaultSeparators(mode), NameRule{}, std::move(ignore), {}};
  in.volatileHeaders = *IgnorePreset("volatile");  // as both front ends give it
  return in;
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

// A request that got no response is not a request never made.
TEST(SessionDiff, StatusTellsAMissingResponseFromAMissingRequest) {
  HarEntry answered = Entry("GET", "https://e.com/a", {}, "302");
  HarEntry unanswered = Entry("GET", "https://e.com/a", {}, "");
  HarEntry other = Entry("GET", "https://e.com/b");
  std::vector<PairDiff> pairs = CompareSessions({answered, other}, {unanswered}, Input(AnalysisMode::kCookies));
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(PairStatus(pairs[0]), Gbk("302/无响应"));
  EXPECT_EQ(PairStatus(pairs[1]), "200/-");
  EXPECT_EQ(SideStatus(pairs[0], false), Gbk("无响应"));
  EXPECT_EQ(PairDifferences(pairs[0], AnalysisMode::kCookies), Gbk("状态"));
  std::vector<PairDiff> reversed = CompareSessions({unanswered}, {answered, other}, Input(AnalysisMode::kCookies));
  ASSERT_EQ(reversed.size(), 2u);
  EXPECT_EQ(PairStatus(reversed[0]), Gbk("无响应/302"));
  EXPECT_EQ(PairStatus(reversed[1]), "-/200");
  EXPECT_TRUE(CompareSessions({unanswered}, {unanswered}, Input(AnalysisMode::kCookies))[0].Same());
}

TEST(SessionDiff, AnItemTheSlotTextCannotCarryIsNamedAndTheRestCompared) {
  HarEntry a = Entry("GET", "https://e.com/?page=1", {{"cookie", "mood=😀; sid=1; theme=dark"}}, "200",
                     {{"set-cookie", "seen=1"}});
  HarEntry b = Entry("GET", "https://e.com/?page=2", {{"cookie", "mood=1; sid=2; theme=dark"}}, "302",
                     {{"set-cookie", "seen=2"}});
  PairDiff d = CompareSessions({a}, {b}, Input(AnalysisMode::kCookies))[0];
  EXPECT_EQ(d.request.refused, std::vector<Text>{Gbk("A的[mood]无法原样写入输入框,未参与比较")});
  EXPECT_EQ(Names(d.request.lists.different), "sid=1|2 ");
  // B's mood is not one A lacks: A's could not be read.
  EXPECT_EQ(Names(d.request.lists.missingInSlot1), "");
  EXPECT_EQ(Names(d.query.lists.different), "page=1|2 ");
  EXPECT_EQ(Names(d.setCookies.lists.different), "seen=1|2 ");
  EXPECT_EQ(PairDifferences(d, AnalysisMode::kCookies),
            Gbk("Cookies: A缺0 B缺0 异1 A的[mood]无法原样写入输入框,未参与比较  查询参数: A缺0 B缺0 异1  "
                "Set-Cookie: A缺0 B缺0 异1  状态"));

  // Refused on its own, in B, still makes the pair differ; a name holding
  // the value separator is refused as well.
  HarEntry plain = Entry("GET", "https://e.com/", {{"cookie", "sid=1"}});
  HarEntry odd = plain;
  odd.request.headers.clear();
  odd.request.cookieRecords = {{"sid", "1"}, {"a=b", "2"}};
  PairDiff alone = CompareSessions({plain}, {odd}, Input(AnalysisMode::kCookies))[0];
  EXPECT_TRUE(alone.request.lists.missingInSlot1.empty() && alone.request.lists.different.empty());
  EXPECT_EQ(alone.request.refused, std::vector<Text>{Gbk("B的[a=b]无法原样写入输入框,未参与比较")});
  EXPECT_FALSE(alone.Same());
  EXPECT_EQ(PairDifferences(alone, AnalysisMode::kCookies), Gbk("Cookies: B的[a=b]无法原样写入输入框,未参与比较"));
}

TEST(SessionDiff, TheVolatilePresetLeavesOutHeadersOnly) {
  // Names the preset holds, as a query parameter, a cookie and a Set-Cookie
  // item: all of them the user's. As a request header, run to run noise.
  HarEntry a = Entry("GET", "https://e.com/?date=2024-01-01", {{"cookie", "etag=1"}, {"x-request-id", "r1"}}, "200",
                     {{"set-cookie", "Expires=1"}, {"date", "Mon"}});
  HarEntry b = Entry("GET", "https://e.com/?date=2024-01-02", {{"cookie", "etag=2"}, {"x-request-id", "r2"}}, "200",
                     {{"set-cookie", "Expires=2"}, {"date", "Tue"}});
  PairDiff d = CompareSessions({a}, {b}, Input(AnalysisMode::kCookies))[0];
  EXPECT_EQ(Names(d.query.lists.different), "date=2024-01-01|2024-01-02 ");
  EXPECT_EQ(Names(d.request.lists.different), "etag=1|2 ");
  EXPECT_EQ(Names(d.setCookies.lists.different), "Expires=1|2 ");
  EXPECT_TRUE(d.query.ignored.empty() && d.request.ignored.empty() && d.setCookies.ignored.empty());
  EXPECT_EQ(PairVerdict(d), Gbk("不同"));
  PairDiff http = CompareSessions({a}, {b}, Input(AnalysisMode::kHttp))[0];
  EXPECT_EQ(Names(http.request.lists.different), "cookie=etag=1|etag=2 ");
  EXPECT_EQ(http.request.ignored, std::vector<Text>{"x-request-id"});
  EXPECT_EQ(Names(http.query.lists.different), "date=2024-01-01|2024-01-02 ");
}

TEST(SessionDiff, ValuesShowAsTheirOwnSideSentThem) {
  // B's x and y decode alike: x's own form is shown, not y's; A's two q
  // decode alike: each row shows its own.
  HarEntry a = Entry("GET", "https://e.com/?x=1&y=A&q=%31&q=1");
  HarEntry b = Entry("GET", "https://e.com/?x=%41&y=A&q=%32&q=2");
  PairDiff d = CompareSessions({a}, {b}, Input(AnalysisMode::kCookies))[0];
  EXPECT_EQ(Names(d.query.lists.different), "x=1|%41 q=%31|%32 q=1|%32 ");
  // Without letter case, B's counterpart of both is its first, ID.
  SessionsInput anyCase = Input(AnalysisMode::kCookies);
  anyCase.rule = {false, true};
  PairDiff d2 = CompareSessions({Entry("GET", "https://e.com/?ID=1&id=%32")},
                                {Entry("GET", "https://e.com/?ID=%33&id=2")}, anyCase)[0];
  EXPECT_EQ(Names(d2.query.lists.different), "ID=1|%33 id=%32|%33 ");
}

TEST(SessionDiff, RepeatedNamesAreNotedAndTheirItemsCompared) {
  // Cookies, which do not decide the pairing, so a side may repeat a name
  // more often than the other.
  struct Case {
    const char* what;
    const char* cookieA;
    const char* cookieB;
    bool differ;        // their items are listed as a repeat that differs
    const char* notes;  // UTF-8
  } cases[] = {
      {"another second value", "sid=a; sid=b", "sid=a; sid=c", true, "Cookies A[sid]重复:1\r\nCookies B[sid]重复:1\r\n"},
      {"one more in B", "sid=a", "sid=a; sid=c", true, "Cookies B[sid]重复:1\r\n"},
      {"one fewer in B, the same value", "sid=a; sid=a", "sid=a", true, "Cookies A[sid]重复:1\r\n"},
      {"the same items in another order", "sid=a; sid=b", "sid=b; sid=a", true,
       "Cookies A[sid]重复:1\r\nCookies B[sid]重复:1\r\n"},
      {"the very same items", "sid=a; sid=b; sid=c", "sid=a; sid=b; sid=c", false,
       "Cookies A[sid]重复:2\r\nCookies A[sid]重复:1\r\nCookies B[sid]重复:2\r\nCookies B[sid]重复:1\r\n"},
      {"no repeats", "sid=a; uid=1", "sid=a; uid=2", false, ""},
  };
  for (const Case& c : cases) {
    PairDiff d = CompareSessions({Entry("GET", "https://e.com/", {{"cookie", c.cookieA}})},
                                 {Entry("GET", "https://e.com/", {{"cookie", c.cookieB}})}, Input(AnalysisMode::kCookies))[0];
    EXPECT_EQ(d.request.repeats.size(), c.differ ? 1u : 0u) << c.what;
    if (c.differ) {
      EXPECT_FALSE(d.Same()) << c.what;
    }
    // The pass meets each later sid with the first one of B: no difference.
    if (std::string_view(c.what) == "the very same items") {
      EXPECT_TRUE(d.Same()) << Names(d.request.lists.different);
    }
    EXPECT_EQ(d.request.duplicates, Gbk(c.notes)) << c.what;
  }
  // B's extra sid has a counterpart, so the lists alone saw nothing.
  PairDiff extra = CompareSessions({Entry("GET", "https://e.com/", {{"cookie", "sid=a"}})},
                                   {Entry("GET", "https://e.com/", {{"cookie", "sid=a; sid=c"}})},
                                   Input(AnalysisMode::kCookies))[0];
  EXPECT_EQ(PairDifferences(extra, AnalysisMode::kCookies), "Cookies: " + Gbk("重复1"));
  EXPECT_EQ(extra.request.repeats[0].valuesB, (std::vector<Text>{"a", "c"}));

  // In the query, names that decode alike are one name, and the items show
  // as each side sent them.
  PairDiff query = CompareSessions({Entry("GET", "https://e.com/?a[]=1&a%5B%5D=%32")},
                                   {Entry("GET", "https://e.com/?a[]=1&a[]=3")}, Input(AnalysisMode::kCookies))[0];
  ASSERT_TRUE(query.Paired());
  EXPECT_EQ(query.query.duplicates, Gbk("查询参数 A[a[]]重复:1\r\n查询参数 B[a[]]重复:1\r\n"));
  ASSERT_EQ(query.query.repeats.size(), 1u);
  EXPECT_EQ(query.query.repeats[0].name, "a[]");
  EXPECT_EQ(query.query.repeats[0].valuesA, (std::vector<Text>{"1", "%32"}));
  EXPECT_EQ(query.query.repeats[0].valuesB, (std::vector<Text>{"1", "3"}));
  EXPECT_EQ(PairDifferences(query, AnalysisMode::kCookies), Gbk("查询参数: A缺0 B缺0 异1 重复1"));

  // The very same repeated query is the same request.
  PairDiff same = CompareSessions({Entry("GET", "https://e.com/?id=1&id=2&x=0")},
                                  {Entry("GET", "https://e.com/?id=1&id=2&x=0")}, Input(AnalysisMode::kCookies))[0];
  EXPECT_TRUE(same.Same()) << Names(same.query.lists.different);
  EXPECT_EQ(PairVerdict(same), Gbk("相同"));
  // Another repeat beside it still differs.
  PairDiff other = CompareSessions({Entry("GET", "https://e.com/?id=1&id=2&t=a&t=b")},
                                   {Entry("GET", "https://e.com/?id=1&id=2&t=a&t=c")}, Input(AnalysisMode::kCookies))[0];
  EXPECT_EQ(Names(other.query.lists.different), "t=b|a ");

  // Set-Cookie items alike; an ignored name is left out here too.
  HarEntry ca = Entry("GET", "https://e.com/", {{"cookie", "sid=1; sid=2"}}, "200", {{"set-cookie", "k=1"}, {"set-cookie", "k=1"}});
  HarEntry cb = Entry("GET", "https://e.com/", {{"cookie", "sid=1; sid=3"}}, "200", {{"set-cookie", "k=1"}});
  PairDiff both = CompareSessions({ca}, {cb}, Input(AnalysisMode::kCookies))[0];
  EXPECT_EQ(both.setCookies.duplicates, Gbk("Set-Cookie A[k]重复:1\r\n"));
  EXPECT_EQ(PairDifferences(both, AnalysisMode::kCookies), Gbk("Cookies: A缺0 B缺0 异1 重复1  Set-Cookie: 重复1"));
  EXPECT_TRUE(CompareSessions({ca}, {cb}, Input(AnalysisMode::kCookies, {"sid", "k"}))[0].Same());
}

}  // namespace
}  // namespace ds
