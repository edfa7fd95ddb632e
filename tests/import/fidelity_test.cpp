// Captures in the exact shapes that browsers, proxies, converters and cookie
// extensions write, each checked item by item against what a person reads
// from its headers. Written from the tools' documented output: Chrome and
// Edge's and Firefox's and Safari's copies, proxies' raw requests, curl -v,
// extensions' cookie exports, converters' Python.
#include <algorithm>

#include <gtest/gtest.h>

#include "import/capture.h"
#include "items/separators.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

using namespace std::string_literals;
using test::Gbk;

constexpr AnalysisMode kCookies = AnalysisMode::kCookies;
constexpr AnalysisMode kHttp = AnalysisMode::kHttp;

using Items = std::vector<std::pair<std::string, std::string>>;  // UTF-8, any order

struct Case {
  const char* what;
  std::string bytes;  // the file or clipboard as the tool wrote it
  AnalysisMode mode;
  CaptureKind kind;
  Items items;
};

// The items the slot's parser lists after the import, as GBK pairs in order.
Items Listed(const Recognised& r, AnalysisMode mode) {
  Items out;
  for (const Row& row : ParseSlotText(r.slotText, DefaultSeparators(mode), {mode, Slot::k1}).rows)
    out.emplace_back(row.Cell(1), row.Cell(2));
  std::sort(out.begin(), out.end());
  return out;
}

Items AsGbk(Items items) {
  for (auto& [name, value] : items) {
    name = Gbk(name);
    value = Gbk(value);
  }
  std::sort(items.begin(), items.end());
  return items;
}

Recognised RecogniseFile(const std::string& bytes, AnalysisMode mode, CaptureFormat format = CaptureFormat::kAuto,
                         const HarChoice& choice = {}) {
  DecodedCapture d = DecodeCapture(bytes, false);
  EXPECT_FALSE(d.badOffset);
  return Recognise(d.text, format, mode, DefaultSeparators(mode), choice);
}

void CheckAll(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    Recognised r = RecogniseFile(c.bytes, c.mode);
    EXPECT_FALSE(r.error) << c.what << ": " << r.error.value_or("");
    EXPECT_EQ(r.kind, c.kind) << c.what;
    EXPECT_EQ(Listed(r, c.mode), AsGbk(c.items)) << c.what;
  }
}

const std::string kUa =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/131.0.0.0 Safari/537.36";
const std::string kChUa = R"("Google Chrome";v="131", "Chromium";v="131", "Not_A Brand";v="24")";
const Items kSiteCookies = {{"sid", "s%3AabcDEF.xyz"}, {"theme", "dark"}, {"nick", "张三"}};

TEST(Fidelity, BrowsersCopyAsCurl) {
  const std::string chromeBash =
      "curl 'https://www.example.cn/api/user/info?t=1701936000000' \\\n"
      "  -H 'accept: application/json, text/plain, */*' \\\n"
      "  -H 'accept-language: zh-CN,zh;q=0.9,en;q=0.8' \\\n"
      "  -b 'sid=s%3AabcDEF.xyz; theme=dark; nick=张三' \\\n"
      "  -H 'priority: u=1, i' \\\n"
      "  -H 'sec-ch-ua: " + kChUa + "' \\\n"
      "  -H 'sec-ch-ua-platform: \"Windows\"' \\\n"
      "  -H 'user-agent: " + kUa + "'";
  // Chrome for cmd.exe: carets before every character it is unsure of
  // (non-ASCII included), \" for a quote, %^ after a percent sign.
  const std::string chromeCmd =
      "curl ^\"https://www.example.cn/api/user/info?t=1701936000000^\" ^\r\n"
      "  -H ^\"accept: application/json, text/plain, */*^\" ^\r\n"
      "  -b ^\"sid=s^%^3AabcDEF.xyz; theme=dark; nick=^张^三^\" ^\r\n"
      "  -H ^\"sec-ch-ua: ^\\^\"Google Chrome^\\^\";v=^\\^\"131^\\^\", ^\\^\"Chromium^\\^\";v=^\\^\"131^\\^\", "
      "^\\^\"Not_A Brand^\\^\";v=^\\^\"24^\\^\"^\" ^\r\n"
      "  -H ^\"user-agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
      "Chrome/131.0.0.0 Safari/537.36^\"";
  // Firefox writes U+0080 to U+00FF as \xNN and others as \uNNNN, an emoji
  // as two escaped surrogates, all inside $'…'.
  const std::string firefox =
      "curl 'https://www.example.cn/api/user/info?t=1' --compressed -H 'User-Agent: Mozilla/5.0 (Windows NT 10.0; "
      "Win64; x64; rv:133.0) Gecko/20100101 Firefox/133.0' -H 'Accept: */*' -H $'Cookie: n=caf\\xe9; z=1; "
      "nick=\\u5f20\\u4e09; uid=5' -H 'Connection: keep-alive'";
  const std::string safari =
      "curl 'https://www.example.cn/api/user/info?t=1' \\\n"
      "-X 'GET' \\\n"
      "-H 'Accept: application/json, text/plain, */*' \\\n"
      "-H 'Cookie: sid=s%3AabcDEF.xyz; theme=dark; nick=张三' \\\n"
      "-H 'User-Agent: Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
      "Version/17.1 Safari/605.1.15'";
  // A backslash inside double quotes, as a person types a command.
  const std::string typed =
      "curl \"https://e.com\" \\\n  -H \"X-Path: C:\\\\tmp\\\\a\" -H \"X-Q: \\\"q\\\"\" -b \"a=1\"";
  CheckAll({
      {"Chrome bash, cookies", chromeBash, kCookies, CaptureKind::kCurl, kSiteCookies},
      {"Chrome bash, headers", chromeBash, kHttp, CaptureKind::kCurl,
       {{"accept", "application/json, text/plain, */*"}, {"accept-language", "zh-CN,zh;q=0.9,en;q=0.8"},
        {"Cookie", "sid=s%3AabcDEF.xyz; theme=dark; nick=张三"}, {"priority", "u=1, i"}, {"sec-ch-ua", kChUa},
        {"sec-ch-ua-platform", "\"Windows\""}, {"user-agent", kUa}}},
      {"Chrome cmd, cookies", chromeCmd, kCookies, CaptureKind::kCurl, kSiteCookies},
      {"Chrome cmd, headers keep their escaped quotes", chromeCmd, kHttp, CaptureKind::kCurl,
       {{"accept", "application/json, text/plain, */*"}, {"Cookie", "sid=s%3AabcDEF.xyz; theme=dark; nick=张三"},
        {"sec-ch-ua", kChUa}, {"user-agent", kUa}}},
      {"Firefox's \\xNN is a Latin-1 character", firefox, kCookies, CaptureKind::kCurl,
       {{"n", "café"}, {"z", "1"}, {"nick", "张三"}, {"uid", "5"}}},
      {"Safari", safari, kCookies, CaptureKind::kCurl, kSiteCookies},
      {"backslashes in double quotes", typed, kHttp, CaptureKind::kCurl,
       {{"X-Path", "C:\\tmp\\a"}, {"X-Q", "\"q\""}, {"Cookie", "a=1"}}},
  });
}

TEST(Fidelity, FirefoxEscapesOfEveryKind) {
  struct {
    const char* escaped;
    const char* value;
  } cases[] = {
      {"caf\\xe9", "café"},
      {"\\xc3\\xa9t\\xc3\\xa9", "été"},       // bytes that form UTF-8 are that text
      {"\\xe9\\xe0", "éà"},                  // a run that is no UTF-8: every byte a character
      {"\\101\\x42", "AB"},                  // octal, as bash reads it
      {"\\u4e2d\\u6587", "中文"},
      {"a\\x21b", "a!b"},
      {"\\U00004e2d", "中"},
  };
  for (const auto& c : cases) {
    std::string curl = "curl 'https://e.com' -H $'Cookie: v=" + std::string(c.escaped) + "; w=2'";
    Recognised r = RecogniseFile(curl, kCookies);
    EXPECT_FALSE(r.error) << c.escaped;
    EXPECT_EQ(Listed(r, kCookies), AsGbk({{"v", c.value}, {"w", "2"}})) << c.escaped;
  }
}

const std::string kChromePowerShell =
    "$session = New-Object Microsoft.PowerShell.Commands.WebRequestSession\r\n"
    "$session.UserAgent = \"" + kUa + "\"\r\n"
    "$session.Cookies.Add((New-Object System.Net.Cookie(\"sid\", \"s%3AabcDEF.xyz\", \"/\", \".example.cn\")))\r\n"
    "$session.Cookies.Add((New-Object System.Net.Cookie(\"theme\", \"dark\", \"/\", \".example.cn\")))\r\n"
    "$session.Cookies.Add((New-Object System.Net.Cookie(\"nick\", \"$([char]24352)$([char]19977)\", \"/\", "
    "\"www.example.cn\")))\r\n"
    "Invoke-WebRequest -UseBasicParsing -Uri \"https://www.example.cn/api/user/info?t=1701936000000\" `\r\n"
    "-Method \"POST\" `\r\n"
    "-WebSession $session `\r\n"
    "-Headers @{\r\n"
    "\"authority\"=\"www.example.cn\"\r\n"
    "  \"method\"=\"POST\"\r\n"
    "  \"path\"=\"/api/user/info?t=1701936000000\"\r\n"
    "  \"accept\"=\"application/json, text/plain, */*\"\r\n"
    "  \"sec-ch-ua\"=\"`\"Google Chrome`\";v=`\"131`\", `\"Chromium`\";v=`\"131`\", `\"Not_A Brand`\";v=`\"24`\"\"\r\n"
    "  \"x-emoji\"=\"$([char]55357)$([char]56832)\"\r\n"
    "} `\r\n"
    "-ContentType \"application/json;charset=UTF-8\" `\r\n"
    "-Body ([System.Text.Encoding]::UTF8.GetBytes(\"{`\"name`\":`\"$([char]24352)`\"}\"))";

TEST(Fidelity, CopyAsPowerShell) {
  Recognised cookies = RecogniseFile(kChromePowerShell, kCookies);
  EXPECT_FALSE(cookies.error) << cookies.error.value_or("");
  EXPECT_EQ(cookies.kind, CaptureKind::kPowerShell);
  EXPECT_EQ(Listed(cookies, kCookies), AsGbk(kSiteCookies));
  // The emoji header cannot be held: refused by name, not changed.
  Recognised headers = RecogniseFile(kChromePowerShell, kHttp);
  ASSERT_TRUE(headers.error);
  EXPECT_NE(headers.error->find("x-emoji"), std::string::npos) << *headers.error;
  EXPECT_NE(headers.error->find("U+1F600"), std::string::npos) << *headers.error;
  std::string withoutEmoji = kChromePowerShell;
  withoutEmoji.erase(withoutEmoji.find("  \"x-emoji\""), withoutEmoji.find("} `") - withoutEmoji.find("  \"x-emoji\""));
  CheckAll({{"Chrome's PowerShell, headers", withoutEmoji, kHttp, CaptureKind::kPowerShell,
             {{"authority", "www.example.cn"}, {"method", "POST"}, {"path", "/api/user/info?t=1701936000000"},
              {"accept", "application/json, text/plain, */*"}, {"sec-ch-ua", kChUa}, {"User-Agent", kUa},
              {"Content-Type", "application/json;charset=UTF-8"},
              {"Cookie", "sid=s%3AabcDEF.xyz; theme=dark; nick=张三"}}},
            {"an older copy: one hashtable line, the cookie among the headers",
             "Invoke-WebRequest -Uri \"https://e.com/\" -Headers @{\"method\"=\"GET\"; \"cookie\"=\"a=1; b=2\"; "
             "\"x-dollar\"=\"`$5 ``tick`` $ and $\"}",
             kHttp, CaptureKind::kPowerShell,
             {{"method", "GET"}, {"cookie", "a=1; b=2"}, {"x-dollar", "$5 `tick` $ and $"}}}});
}

const std::string kChromeFetch = R"(fetch("https://www.example.cn/api/user/info?t=1701936000000", {
  "headers": {
    "accept": "application/json, text/plain, */*",
    "accept-language": "zh-CN,zh;q=0.9",
    "sec-ch-ua": "\"Google Chrome\";v=\"131\", \"Chromium\";v=\"131\", \"Not_A Brand\";v=\"24\"",
    "sec-ch-ua-mobile": "?0",
    "x-name": "\u5f20\u4e09"
  },
  "referrer": "https://www.example.cn/home",
  "referrerPolicy": "strict-origin-when-cross-origin",
  "body": "{\"q\":\"😀\"}",
  "method": "POST",
  "mode": "cors",
  "credentials": "include"
});)";

const std::string kNodeFetch = R"(fetch("https://www.example.cn/api/user/info?t=1701936000000", {
  "headers": {
    "accept": "application/json, text/plain, */*",
    "cookie": "sid=s%3AabcDEF.xyz; theme=dark; nick=张三",
    "Referer": "https://www.example.cn/home",
    "Referrer-Policy": "strict-origin-when-cross-origin"
  },
  "body": null,
  "method": "GET"
});)";

const std::string kFirefoxFetch = R"(await fetch("https://www.example.cn/api/user/info?t=1", {
    "credentials": "include",
    "headers": {
        "User-Agent": "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:133.0) Gecko/20100101 Firefox/133.0",
        "Accept": "*/*",
        "Sec-Fetch-Dest": "empty",
    },
    "referrer": "https://www.example.cn/home",
    "method": "GET",
    "mode": "cors"
});)";

TEST(Fidelity, CopyAsFetch) {
  CheckAll({
      {"Chrome's fetch, headers", kChromeFetch, kHttp, CaptureKind::kFetch,
       {{"accept", "application/json, text/plain, */*"}, {"accept-language", "zh-CN,zh;q=0.9"}, {"sec-ch-ua", kChUa},
        {"sec-ch-ua-mobile", "?0"}, {"x-name", "张三"}}},
      {"fetch (Node.js) carries the cookie", kNodeFetch, kCookies, CaptureKind::kFetch, kSiteCookies},
      {"Firefox's, with a trailing comma", kFirefoxFetch, kHttp, CaptureKind::kFetch,
       {{"User-Agent", "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:133.0) Gecko/20100101 Firefox/133.0"},
        {"Accept", "*/*"}, {"Sec-Fetch-Dest", "empty"}}},
  });
  // The browser's copy leaves cookies to the browser: a message that says
  // so, not "nothing to import".
  Recognised none = RecogniseFile(kChromeFetch, kCookies);
  ASSERT_TRUE(none.error);
  EXPECT_NE(none.error->find("fetch (Node.js)"), std::string::npos);
}

// "Copy all as …": every request of the page, one after another. Each is
// offered as a HAR's entries are; none is merged into another.
TEST(Fidelity, CopyAllOffersEachRequest) {
  const std::string bash =
      "curl 'https://www.example.com/' -H 'accept: text/html' ;\n"
      "curl 'https://www.example.com/a' -b 'sid=one; t=1' ;\n"
      "curl 'https://www.example.com/b' -b 'sid=two; u=2'";
  const std::string cmd =
      "curl ^\"https://www.example.com/a^\" -b ^\"sid=one^\" &\r\ncurl ^\"https://www.example.com/b^\" -b ^\"sid=two^\"";
  std::string block = kChromePowerShell.substr(0, kChromePowerShell.find("-Body"));
  const std::string powerShell = block + ";\r\n" + block.substr(0, block.find("sid\", \"") + 7) + "SECOND" +
                                 block.substr(block.find("sid\", \"") + 7 + 14);
  const std::string fetches = kNodeFetch + " ;\n" + kNodeFetch.substr(0, kNodeFetch.find("sid=")) + "sid=2\"\n  }\n});";
  struct Case {
    const char* what;
    std::string text;
    size_t entries;
    HarChoice choice;
    Items items;
  } cases[] = {
      {"bash: the first that sends cookies", bash, 3, {}, {{"sid", "one"}, {"t", "1"}}},
      {"bash: by number", bash, 3, {3, {}}, {{"sid", "two"}, {"u", "2"}}},
      {"bash: by URL", bash, 3, {{}, std::string("/b")}, {{"sid", "two"}, {"u", "2"}}},
      {"cmd", cmd, 2, {2, {}}, {{"sid", "two"}}},
      {"PowerShell: the sessions stay apart", powerShell, 2, {2, {}},
       {{"sid", "SECOND"}, {"theme", "dark"}, {"nick", "张三"}}},
      {"fetch (Node.js)", fetches, 2, {2, {}}, {{"sid", "2"}}},
  };
  for (const Case& c : cases) {
    DecodedCapture d = DecodeCapture(c.text, false);
    EXPECT_EQ(ReadCapture(d.text, CaptureFormat::kAuto, kCookies).entries.size(), c.entries) << c.what;
    Recognised r = RecogniseFile(c.text, kCookies, CaptureFormat::kAuto, c.choice);
    EXPECT_FALSE(r.error) << c.what << ": " << r.error.value_or("");
    EXPECT_EQ(Listed(r, kCookies), AsGbk(c.items)) << c.what;
  }
  // A number past the last names the kind of capture, not a HAR.
  Recognised past = RecogniseFile(bash, kCookies, CaptureFormat::kAuto, {4, {}});
  ASSERT_TRUE(past.error);
  EXPECT_EQ(past.error->find(Gbk("HAR")), std::string::npos) << *past.error;
}

TEST(Fidelity, RequestHeadersAsBrowsersAndProxiesCopyThem) {
  const std::string firefoxHeaders =
      "GET /api/user/info?t=1 HTTP/2\r\nHost: www.example.cn\r\nUser-Agent: Mozilla/5.0\r\n"
      "Accept: */*\r\nCookie: sid=s%3AabcDEF.xyz; theme=dark; nick=张三\r\nSec-Fetch-Dest: empty\r\n";
  // HTTP/2 sends cookies as several fields; Chrome lists each one.
  const std::string chromeHeaders =
      ":authority: www.example.cn\r\n:method: GET\r\n:path: /api/user/info?t=1\r\n:scheme: https\r\n"
      "accept: */*\r\ncookie: sid=s%3AabcDEF.xyz\r\ncookie: theme=dark; nick=张三\r\n";
  const std::string proxyRaw =
      "POST https://www.example.cn/api/login HTTP/1.1\r\nHost: www.example.cn\r\nContent-Length: 44\r\n"
      "Cookie: sid=abc; nick=张三\r\nContent-Type: multipart/form-data; boundary=XyZ\r\n\r\n"
      "--XyZ\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n😀\r\n--XyZ--\r\n";
  const std::string oldMac = "GET / HTTP/1.1\rHost: e.com\rCookie: a=1; b=2\r\rbody: x";
  CheckAll({
      {"Firefox's request headers", firefoxHeaders, kCookies, CaptureKind::kRequest, kSiteCookies},
      {"Chrome's, HTTP/2 with two cookie fields", chromeHeaders, kCookies, CaptureKind::kHeaderLines, kSiteCookies},
      {"Chrome's pseudo-headers keep their colon", chromeHeaders, kHttp, CaptureKind::kHeaderLines,
       {{":authority", "www.example.cn"}, {":method", "GET"}, {":path", "/api/user/info?t=1"}, {":scheme", "https"},
        {"accept", "*/*"}, {"cookie", "sid=s%3AabcDEF.xyz"}, {"cookie", "theme=dark; nick=张三"}}},
      {"a proxy's raw request: the multipart body is no header", proxyRaw, kHttp, CaptureKind::kRequest,
       {{"Host", "www.example.cn"}, {"Content-Length", "44"}, {"Cookie", "sid=abc; nick=张三"},
        {"Content-Type", "multipart/form-data; boundary=XyZ"}}},
      {"CR-only line ends", oldMac, kHttp, CaptureKind::kRequest, {{"Host", "e.com"}, {"Cookie", "a=1; b=2"}}},
  });
}

const std::string kCurlVerbose =
    "*   Trying 93.184.216.34:443...\n"
    "* Connected to www.example.cn (93.184.216.34) port 443\n"
    "* using HTTP/2\n"
    "* [HTTP/2] [1] [:method: GET]\n"
    "> GET /login HTTP/2\n"
    "> Host: www.example.cn\n"
    "> User-Agent: curl/8.5.0\n"
    "> Accept: */*\n"
    "> \n"
    "< HTTP/2 302 \n"
    "< location: /home\n"
    "< set-cookie: sid=new; Path=/; Expires=Wed, 21 Oct 2026 07:28:00 GMT; HttpOnly\n"
    "< set-cookie: theme=light; Path=/\n"
    "< \n"
    "* Ignoring the response-body\n"
    "* Issue another request to this URL: 'https://www.example.cn/home'\n"
    "> GET /home HTTP/2\n"
    "> Host: www.example.cn\n"
    "> Cookie: sid=new; theme=light\n"
    "> \n"
    "< HTTP/2 200 \n"
    "< content-type: text/html; charset=utf-8\n"
    "< \n"
    "{ [52 bytes data]\n"
    "<html>😀</html>\n";

TEST(Fidelity, CurlVerboseOutput) {
  DecodedCapture d = DecodeCapture(kCurlVerbose, false);
  Capture capture = ReadCapture(d.text, CaptureFormat::kAuto, kCookies);
  EXPECT_EQ(capture.kind, CaptureKind::kCurlVerbose);
  ASSERT_EQ(capture.entries.size(), 2u);
  EXPECT_EQ(capture.defaultEntry, 1u);  // the request that sent cookies
  EXPECT_EQ(EntryCaption(capture.entries[0]), "GET www.example.cn/login");
  CheckAll({{"curl -v: the request that sent cookies", kCurlVerbose, kCookies, CaptureKind::kCurlVerbose,
             {{"sid", "new"}, {"theme", "light"}}}});
  Recognised first = RecogniseFile(kCurlVerbose, kCookies, CaptureFormat::kCurlVerbose, {1, {}});
  EXPECT_EQ(Listed(first, kCookies), AsGbk({{"sid", "new"}, {"theme", "light"}})) << "the response's, by number";
  Recognised headers = RecogniseFile(kCurlVerbose, kHttp, CaptureFormat::kAuto, {1, {}});
  EXPECT_EQ(Listed(headers, kHttp), AsGbk({{"Host", "www.example.cn"}, {"User-Agent", "curl/8.5.0"}, {"Accept", "*/*"}}));
}

TEST(Fidelity, FoldedSetCookieSplitsOnlyWhereACookieBegins) {
  const std::string folded =
      "HTTP/1.1 200 OK\r\nSet-Cookie: sid=new; Path=/; Expires=Wed, 21 Oct 2026 07:28:00 GMT; HttpOnly, "
      "theme=light; Path=/,lang=zh-CN; Expires=Thu, 01-Jan-2027 00:00:00 GMT, list=1,2,=3\r\n\r\n";
  CheckAll({
      {"cookies", folded, kCookies, CaptureKind::kResponse,
       {{"sid", "new"}, {"theme", "light"}, {"lang", "zh-CN"}, {"list", "1,2,=3"}}},
      {"headers: one Set-Cookie a cookie", folded, kHttp, CaptureKind::kResponse,
       {{"Set-Cookie", "sid=new; Path=/; Expires=Wed, 21 Oct 2026 07:28:00 GMT; HttpOnly"},
        {"Set-Cookie", "theme=light; Path=/"}, {"Set-Cookie", "lang=zh-CN; Expires=Thu, 01-Jan-2027 00:00:00 GMT"},
        {"Set-Cookie", "list=1,2,=3"}}},
  });
}

TEST(Fidelity, PythonDictsAsConvertersWriteThem) {
  const std::string converted = R"(import requests

cookies = {
    'sid': 's%3AabcDEF.xyz',
    'theme': 'dark',
    'nick': '张三',
}

headers = {
    'accept': 'application/json, text/plain, */*',
    # 'cookie': 'sid=s%3AabcDEF.xyz; theme=dark; nick=张三',
    'sec-ch-ua': '"Google Chrome";v="131", "Chromium";v="131", "Not_A Brand";v="24"',
    'x-escaped': 'tab\there \'q\' \u5f20 \x41 \101 \d+',
    "x-long": ('a'
               'b'),
}

params = {
    't': '1701936000000',
}

response = requests.get('https://www.example.cn/api/user/info', params=params, cookies=cookies, headers=headers)
)";
  CheckAll({
      {"cookies dict", converted, kCookies, CaptureKind::kPython, kSiteCookies},
      {"headers dict, the cookies as their header", converted, kHttp, CaptureKind::kPython,
       {{"accept", "application/json, text/plain, */*"}, {"sec-ch-ua", kChUa}, {"x-escaped", "tab\there 'q' 张 A A \\d+"},
        {"x-long", "ab"}, {"Cookie", "sid=s%3AabcDEF.xyz; theme=dark; nick=张三"}}},
      {"one line, both quotes", "cookies = {'a': '1', \"b\": \"2\"}", kCookies, CaptureKind::kPython,
       {{"a", "1"}, {"b", "2"}}},
      {"a lone dict", "{'a': '1', 'b': 2}", kCookies, CaptureKind::kPython, {{"a", "1"}, {"b", "2"}}},
      {"prefixed literals, raw first", "cookies = {ru'a': Rb'x\\y', 'b': u'\\x41'}", kCookies, CaptureKind::kPython,
       {{"a", "x\\y"}, {"b", "A"}}},
  });
}

TEST(Fidelity, CookieExportsAndHar) {
  const std::string extensionJson = R"([
{
    "domain": ".example.cn",
    "expirationDate": 1767225600.123456,
    "hostOnly": false,
    "httpOnly": true,
    "name": "sid",
    "path": "/",
    "sameSite": "unspecified",
    "secure": true,
    "session": false,
    "storeId": "0",
    "value": "s%3AabcDEF.xyz",
    "id": 1
},
{
    "domain": "www.example.cn",
    "name": "nick",
    "value": "\u5f20三",
    "id": 2
}
])";
  const std::string cookiesTxt =
      "# Netscape HTTP Cookie File\n# http://curl.haxx.se/rfc/cookie_spec.html\n# This is a generated file!  Do not "
      "edit.\n\n.example.cn\tTRUE\t/\tTRUE\t1767225600\tsid\ts%3AabcDEF.xyz\n"
      "#HttpOnly_www.example.cn\tFALSE\t/\tFALSE\t0\tnick\t张三\n";
  // Chrome's HAR: HTTP/2 names, the cookies listed too, emoji in the body.
  const std::string har = "\xEF\xBB\xBF" R"({"log": {"version": "1.2", "creator": {"name": "WebInspector", "version": "537.36"},
  "pages": [{"title": "首页 😀"}], "entries": [
  {"request": {"method": "GET", "url": "https://www.example.cn/home", "httpVersion": "http/2.0",
    "headers": [{"name": ":authority", "value": "www.example.cn"}, {"name": "accept", "value": "text/html"}],
    "cookies": [], "queryString": []},
   "response": {"status": 200, "headers": [{"name": "set-cookie", "value": "theme=dark; path=/"}],
    "content": {"size": 30, "mimeType": "text/html", "text": "<p>欢迎 😀 \ud83d\ude00</p>"}}},
  {"request": {"method": "POST", "url": "https://www.example.cn/api", "httpVersion": "http/2.0",
    "headers": [{"name": ":method", "value": "POST"}, {"name": "cookie", "value": "sid=s%3AabcDEF.xyz"},
                {"name": "cookie", "value": "theme=dark; nick=张三"}],
    "cookies": [{"name": "sid", "value": "s%3AabcDEF.xyz"}, {"name": "theme", "value": "dark"},
                {"name": "nick", "value": "张三"}],
    "postData": {"mimeType": "application/json", "text": "{\"emoji\":\"🎉\"}"}},
   "response": {"status": 200, "headers": [], "content": {"text": "🎉"}}}]}})";
  CheckAll({
      {"an extension's JSON export", extensionJson, kCookies, CaptureKind::kJson,
       {{"sid", "s%3AabcDEF.xyz"}, {"nick", "张三"}}},
      {"cookies.txt", cookiesTxt, kCookies, CaptureKind::kCookiesTxt, {{"sid", "s%3AabcDEF.xyz"}, {"nick", "张三"}}},
      {"a HAR whose bodies hold emoji", har, kCookies, CaptureKind::kHar, kSiteCookies},
      {"its headers", har, kHttp, CaptureKind::kHar,
       {{":method", "POST"}, {"cookie", "sid=s%3AabcDEF.xyz"}, {"cookie", "theme=dark; nick=张三"}}},
  });
  // Entries by number, up to the last one and no further.
  Recognised last = RecogniseFile(har, kCookies, CaptureFormat::kHar, {2, {}});
  EXPECT_FALSE(last.error);
  EXPECT_EQ(Listed(last, kCookies), AsGbk(kSiteCookies));
  EXPECT_EQ(Listed(RecogniseFile(har, kCookies, CaptureFormat::kHar, {1, {}}), kCookies), AsGbk({{"theme", "dark"}}));
  EXPECT_TRUE(RecogniseFile(har, kCookies, CaptureFormat::kHar, {3, {}}).error);
  // The same HAR saved as UTF-16 (with its mark) reads the same.
  std::u16string units = platform::ToUtf16(har.substr(3), platform::kCodePageUtf8);
  std::string utf16 = "\xFF\xFE";
  for (char16_t u : units) utf16 += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  CheckAll({{"UTF-16", utf16, kCookies, CaptureKind::kHar, kSiteCookies}});
}

TEST(Fidelity, NoItemIsInventedMergedOrChanged) {
  struct Refused {
    const char* what;
    std::string bytes;
    AnalysisMode mode;
    const char* named;  // the item the message must name
  } cases[] = {
      {"a JSON cookie value holding the line separator",
       R"([{"name": "pref", "value": "a; sid=evil"}, {"name": "sid", "value": "real"}])", kCookies, "pref"},
      {"cookies.txt likewise", "e.com\tFALSE\t/\tFALSE\t0\tpref\ta; sid=evil\n", kCookies, "pref"},
      {"a HAR cookie record", R"({"log": {"entries": [{"request": {"cookies": [{"name": "x", "value": "1;y=2"}]}}]}})",
       kCookies, "x"},
      {"a name holding the value separator", R"([{"name": "a=b", "value": "c"}])", kCookies, "a=b"},
      {"a value the parser would read as padding", R"([{"name": "e", "value": "="}])", kCookies, "e"},
      {"a run of \\xNN that is no UTF-8 is Latin-1 throughout: Ã, which GBK lacks",
       "curl e.com -H $'Cookie: v=\\xc3\\xa9\\xe9'", kCookies, "v"},
      {"a nameless cookie", R"([{"name": "a", "value": "1"}, {"name": "", "value": "noname"}])", kCookies, ""},
      {"a header value with a line break", "curl 'https://e.com' -H $'X-Two: a\\r\\nX-Evil: 1'", kHttp, "X-Two"},
      {"a cookie GBK cannot hold", "Cookie: a=1; mood=😀", kCookies, "mood"},
      {"a header name GBK cannot hold", "curl e.com -H 'X-😀: 1' -b 'a=1'", kHttp, "X-U+1F600"},
  };
  for (const Refused& c : cases) {
    Recognised r = RecogniseFile(c.bytes, c.mode);
    ASSERT_TRUE(r.error) << c.what;
    EXPECT_EQ(r.slotText, "") << c.what;
    EXPECT_NE(r.error->find("[" + Gbk(c.named) + "]"), std::string::npos) << c.what << ": " << *r.error;
  }
  // Values that only look like separators go in as they are.
  CheckAll({{"Base64 padding and equals signs in values", R"([{"name": "t", "value": "YQ=="},
             {"name": "u", "value": "x=y=z"}, {"name": "e", "value": ""}])", kCookies, CaptureKind::kJson,
             {{"t", "YQ=="}, {"u", "x=y=z"}, {"e", ""}}}});
}

TEST(Fidelity, WhatIsNotCookiesTxt) {
  // Six words on a line are not a record; nor are TRUE/FALSE fields
  // without a numeric expiry.
  for (std::string text : {"GET / HTTP/1.1\nUser-Agent: Mozilla/5.0 (X11; Linux x86_64) Firefox/1\n",
                           "e.com\tFALSE\t/\tFALSE\tnever\ta\t1\n", "e.com TRUE / FALSE 0 a 1\n",
                           "e.com\tFALSE\t/\tFALSE\t0\ta\n", "#HttpOnly_\tFALSE\t/\tFALSE\t0\ta\t1\n"}) {
    Recognised r = RecogniseFile(text, kCookies, CaptureFormat::kCookiesTxt);
    EXPECT_TRUE(r.error) << text;
    EXPECT_NE(RecogniseFile(text, kCookies).kind, CaptureKind::kCookiesTxt) << text;
  }
}

TEST(Fidelity, TruncatedCodeIsAnErrorNotACrash) {
  for (std::string text : std::vector<std::string>{
           kChromePowerShell.substr(0, kChromePowerShell.find("sec-ch-ua") + 20), kNodeFetch.substr(0, 120),
           "cookies = {'a': '1", "fetch(\"https://e.com\", {\"headers\": {", "curl e.com -H $'X: \\x",
           "cookies = {'a': '\\x00'}"}) {
    for (AnalysisMode mode : {kCookies, kHttp}) {
      Recognised r = RecogniseFile(text, mode);
      EXPECT_TRUE(r.error) << text;
      EXPECT_EQ(r.slotText, "") << text;
    }
  }
}

}  // namespace
}  // namespace ds
