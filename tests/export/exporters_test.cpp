// What each exporter writes, what it refuses and why, and where the target
// of a command comes from.
#include <gtest/gtest.h>

#include "export/exporters.h"
#include "tests/export/read_back.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

using test::Gbk;
using test::Pairs;

constexpr AnalysisMode kCookies = AnalysisMode::kCookies;
constexpr AnalysisMode kHttp = AnalysisMode::kHttp;

Exported ExportAs(std::string_view name, AnalysisMode mode, const Pairs& rows, const ExportTarget& target = {}) {
  const Exporter* e = ExporterNamed(name, mode);
  EXPECT_NE(e, nullptr) << name;
  std::vector<Row> table = test::RowsFrom(rows);
  return e ? Export(*e, {table, mode, target}) : Exported{};
}

TEST(Exporters, WriteTheFormsTheirTargetsRead) {
  const ExportTarget site{"https://www.example.cn/api?q=1", "GET"};
  struct Case {
    const char* format;
    AnalysisMode mode;
    Pairs rows;
    ExportTarget target;
    std::string text;
  } cases[] = {
      {"cookie-header", kCookies, {{"a", "1"}, {"b", "x y"}}, {}, "Cookie: a=1; b=x y\r\n"},
      {"headers", kHttp, {{"Accept", "*/*"}, {"X-Empty", ""}}, {}, "Accept: */*\r\nX-Empty:\r\n"},
      {"curl", kCookies, {{"a", "it's"}, {"b", "2"}}, site,
       "curl 'https://www.example.cn/api?q=1' -g \\\n  -H 'Cookie: a=it'\\''s; b=2'\n"},
      {"curl", kHttp, {{"X-A", "1"}, {"X-Empty", ""}}, {"https://h/", "POST"},
       "curl 'https://h/' -g \\\n  -X 'POST' \\\n  -H 'X-A: 1' \\\n  -H 'X-Empty;'\n"},
      // The body goes along, its length counted by curl; HEAD is -I.
      {"curl", kHttp, {{"Content-Length", "3"}, {"Content-Type", "text/plain"}}, {"https://h/", "POST", "a'b"},
       "curl 'https://h/' -g \\\n  -H 'Content-Type: text/plain' \\\n  --data-raw 'a'\\''b'\n"},
      {"curl", kHttp, {{"X-A", "1"}}, {"https://h/", "PUT", "{}"},
       "curl 'https://h/' -g \\\n  -X 'PUT' \\\n  -H 'X-A: 1' \\\n  -H 'Content-Type:' \\\n  --data-raw '{}'\n"},
      {"curl", kHttp, {{"Content-Length", "3"}}, {"https://h/", "HEAD", "abc"}, "curl 'https://h/' -g \\\n  -I\n"},
      // Every quote behind a caret; backslashes before a quote doubled.
      {"curl-cmd", kCookies, {{"a", "\"%x%\\"}, {"b", "\\\""}}, site,
       "curl ^\"https://www.example.cn/api?q=1^\" -g ^\r\n  -H ^\"Cookie: a=^\\^\"^%^x^%^\\; b=^\\^\\^\\^\"^\"\r\n"},
      {"python", kCookies, {{"a", "it's \\ \xD6\xD0"}, {"b", "1"}}, {},
       "cookies = {\r\n    'a': 'it\\'s \\\\ \xD6\xD0'.encode().decode('latin-1'),\r\n    'b': '1'\r\n}\r\n"},
      {"javascript", kCookies, {{"a", "\"\t"}}, {}, "{\r\n  \"a\": \"\\\"\\t\"\r\n}\r\n"},
      // DEL is a control character to every language: escaped, never raw.
      {"python", kCookies, {{"a", "x\x7Fy\x1F"}}, {}, "cookies = {\r\n    'a': 'x\\x7fy\\x1f'\r\n}\r\n"},
      {"json", kCookies, {{"a", "\x7F"}}, {}, "[\r\n  {\"name\": \"a\", \"value\": \"\\u007f\"}\r\n]\r\n"},
      {"json", kCookies, {{"a", "1"}}, {}, "[\r\n  {\"name\": \"a\", \"value\": \"1\"}\r\n]\r\n"},
      {"json", kHttp, {}, {}, "{}\r\n"},
      {"cookies-txt", kCookies, {{"a", "1"}}, site,
       "# Netscape HTTP Cookie File\r\nwww.example.cn\tFALSE\t/\tFALSE\t2147483647\ta\t1\r\n"},
      {"cookies-txt", kCookies, {{"__Secure-a", "1"}, {"b", "2"}}, site,
       "# Netscape HTTP Cookie File\r\nwww.example.cn\tFALSE\t/\tTRUE\t2147483647\t__Secure-a\t1\r\n"
       "www.example.cn\tFALSE\t/\tFALSE\t2147483647\tb\t2\r\n"},
      {"cookies-txt", kCookies, {{"a", "1"}}, {"http://LocalHost:8080/", "GET"},
       "# Netscape HTTP Cookie File\r\nlocalhost\tFALSE\t/\tFALSE\t2147483647\ta\t1\r\n"},
      {"powershell", kCookies, {{"a", "$x`\"\xA1\xB1"}}, site,
       "$session = New-Object Microsoft.PowerShell.Commands.WebRequestSession\r\n"
       "$session.Cookies.Add((New-Object System.Net.Cookie(\"a\", \"`$x```\"`\xA1\xB1\", \"/\", \"www.example.cn\")))\r\n"
       "Invoke-WebRequest -UseBasicParsing -Uri \"https://www.example.cn/api?q=1\" -WebSession $session\r\n"},
      {"fetch", kHttp, {{"accept", "*/*"}}, {},
       "fetch(\"https://replace-with-host.invalid/\", {\r\n  \"headers\": {\r\n    \"accept\": \"*/*\"\r\n  },\r\n"
       "  \"method\": \"GET\"\r\n});\r\n"},
      {"fetch", kHttp, {{"Content-Length", "2"}, {"X-N", "\xD5\xC5"}}, {"https://h/", "POST", "{}"},
       "fetch(\"https://h/\", {\r\n  \"headers\": {\r\n    \"X-N\": unescape(encodeURIComponent(\"\xD5\xC5\"))\r\n  },\r\n"
       "  \"body\": \"{}\",\r\n  \"method\": \"POST\"\r\n});\r\n"},
  };
  for (const Case& c : cases) {
    Exported out = ExportAs(c.format, c.mode, c.rows, c.target);
    EXPECT_FALSE(out.error) << c.format << ": " << out.error.value_or("");
    EXPECT_EQ(out.text, c.text) << c.format;
  }
}

// A GBK character whose trail byte is a quote's escape character passes
// whole: escaping the trail byte alone would change the character.
TEST(Exporters, DoubleByteCharactersAreNeverEscapedByHalves) {
  const std::string trailBackslash = "\x81\x5C", trailBacktick = "\x81\x60", trailCaret = "\x81\x5E";
  const std::string value = trailBackslash + trailBacktick + trailCaret;
  for (const char* format : {"python", "javascript", "powershell", "curl", "curl-cmd"}) {
    Exported out = ExportAs(format, kCookies, {{"k", value}});
    ASSERT_FALSE(out.error) << format;
    EXPECT_NE(out.text.find(value), std::string::npos) << format << ": " << out.text;
  }
}

TEST(Exporters, RefuseByNameWhatTheirFormCannotCarry) {
  struct Case {
    const char* format;
    AnalysisMode mode;
    Pairs rows;
    std::string expected;  // UTF-8, found in the refusal
  } cases[] = {
      {"cookie-header", kCookies, {{"a", "1"}, {"b", "x;y"}}, "[b]中含有\";\""},
      {"curl", kCookies, {{"a=b", "1"}}, "[a=b]中含有\"=\""},
      {"cookie-header", kCookies, {{"a", " 1"}}, "[a]的名称或值首尾有空格"},
      {"cookie-header", kCookies, {{"", "1"}}, "第1项的名称为空"},
      {"headers", kHttp, {{"X-A", "1\r\n2"}}, "[X-A]中含有换行"},
      {"headers", kHttp, {{"X A", "1"}}, "[X A]不是合法的头部名称"},
      {"fetch", kHttp, {{":authority", "h"}}, "[:authority]不是合法的头部名称"},
      {"headers", kHttp, {{"Set-Cookie", "a=1; Path=/, b=2"}}, "[Set-Cookie]的值中有\", 名称=\""},
      {"python", kHttp, {{"Accept", "1"}, {"accept", "2"}}, "[accept]与另一项只有大小写不同"},
      {"python", kCookies, {{"a", "1"}, {"a", "2"}}, "[a]出现了不止一次"},
      // requests would send it as two cookies.
      {"python", kCookies, {{"a", "1;b=2"}}, "[a]中含有\";\""},
      {"cookies-txt", kCookies, {{"a", "1;b=2"}}, "[a]中含有\";\""},
      {"cookies-txt", kCookies, {{"a", "1"}, {"b", "2"}, {"a", "3"}}, "[a]出现了不止一次"},
      {"cookies-txt", kCookies, {{"a", "caf\xA8\xA6"}}, "[a]中有非ASCII字符"},
      {"cookies-txt", kCookies, {{"a", "1"}, {"bc", std::string(4095, 'v')}}, "[bc]的名称与值共超过4096字节"},
      {"powershell", kCookies, {{"sid", "1"}, {"SID", "2"}}, "[SID]与另一项只有大小写不同"},
      {"fetch", kHttp, {{"__proto__", "1"}}, "[__proto__]在fetch中有特殊含义"},
      {"fetch", kHttp, {{"X-A", "1"}, {"Transfer-Encoding", "chunked"}}, "[Transfer-Encoding]由fetch的发送程序自行决定"},
      {"fetch", kHttp, {{"host", "h"}}, "[host]由fetch"},
      {"fetch", kHttp, {{"X-A", "a\x1B[2Jb"}}, "[X-A]中含有\\x1B"},
      {"fetch", kHttp, {{"X-A", "a\x7F"}}, "[X-A]中含有\\x7F"},
      // A name's control bytes are spelt out: the message stays one line.
      {"json", kCookies, {{"a\x1B[2J\nb", "1"}, {"", "2"}}, "第2项的名称为空"},
      {"cookie-header", kCookies, {{"a\x1B[2J\tb", "1;"}}, "[a\\x1B[2J\\tb]中含有\";\""},
      // JavaScript puts integer-like keys first, in numeric order.
      {"javascript", kCookies, {{"a", "1"}, {"10", "2"}}, "[10]是整数形式的名称"},
      {"javascript", kCookies, {{"2", "1"}, {"10", "2"}, {"1", "3"}}, "[1]是整数形式的名称"},
      {"fetch", kHttp, {{"X-A", "1"}, {"7", "2"}}, "[7]是整数形式的名称"},
      {"powershell", kCookies, {{"a b", "1"}}, "[a b]中含有空格"},
      {"powershell", kCookies, {{"$a", "1"}}, "[$a]中含有\"$\""},
      {"powershell", kCookies, {{"a", "1,2"}}, "[a]中含有\",\""},
      {"javascript", kCookies, {{"__proto__", "1"}}, "[__proto__]在JavaScript对象中有特殊含义"},
      {"cookies-txt", kCookies, {{"a", "1\t2"}}, "[a]中含有制表符"},
      {"curl", kCookies, {{"a", std::string("1\0", 2)}}, "[a]中含有空字符"},
      // An empty value then one line more reads as a name line and its value.
      {"headers", kHttp, {{"X-Empty", ""}, {"Accept", "*/*"}}, "[X-Empty]的值为空"},
  };
  for (const Case& c : cases) {
    Exported out = ExportAs(c.format, c.mode, c.rows);
    ASSERT_TRUE(out.error) << c.format << " " << c.expected;
    EXPECT_NE(out.error->find(Gbk(c.expected)), std::string::npos) << c.format << ": " << test::Utf8Of(*out.error);
    EXPECT_EQ(out.text, "");
  }
  // Bytes that are no GBK text: a lead byte whose trail byte is missing.
  Exported broken = ExportAs("json", kCookies, {{"a", "x\x81"}});
  ASSERT_TRUE(broken.error);
  EXPECT_NE(broken.error->find(Gbk("[a]中有不成字符的字节")), std::string::npos);
  // What one format refuses another carries.
  EXPECT_FALSE(ExportAs("json", kCookies, {{"a", "x;y\r\n"}, {"a", " 2"}}).error);
  EXPECT_FALSE(ExportAs("headers", kHttp, {{"Accept", "1"}, {"accept", "2"}}).error);
  EXPECT_FALSE(ExportAs("headers", kHttp, {{"X-Empty", ""}, {"Accept", "*/*"}, {"X-B", "1"}}).error);
  EXPECT_FALSE(ExportAs("fetch", kHttp, {{"X-A", "a\tb"}, {"Connection", "close"}}).error);
  EXPECT_FALSE(ExportAs("cookies-txt", kCookies, {{"bc", std::string(4094, 'v')}}).error);
  Exported insecure = ExportAs("cookies-txt", kCookies, {{"a", "1"}, {"__Host-a", "1"}}, {"http://h/", "GET"});
  ASSERT_TRUE(insecure.error);
  EXPECT_NE(insecure.error->find(Gbk("[__Host-a]只能以Secure方式发往https网址")), std::string::npos);
  EXPECT_FALSE(ExportAs("cookies-txt", kCookies, {{"__Host-a", "1"}}, {"https://h/", "GET"}).error);
  EXPECT_FALSE(ExportAs("cookies-txt", kCookies, {{"__Host-a", "1"}}).error);  // the placeholder is https
  Exported twoHosts = ExportAs("curl", kHttp, {{"Host", "a"}, {"X-A", "1"}, {"host", "b"}});
  ASSERT_TRUE(twoHosts.error);  // curl sends the first
  EXPECT_NE(twoHosts.error->find("[host]"), std::string::npos);
  EXPECT_FALSE(ExportAs("curl", kHttp, {{"X-A", "1"}, {"X-A", "2"}}).error);
  EXPECT_FALSE(ExportAs("powershell", kCookies, {{"sid", "1"}, {"sid2", "2"}}).error);
  // Keys that stay in order, or are no array index.
  EXPECT_FALSE(ExportAs("javascript", kCookies, {{"1", "1"}, {"10", "2"}, {"a", "3"}}).error);
  EXPECT_FALSE(ExportAs("javascript", kCookies, {{"a", "1"}, {"01", "2"}, {"4294967295", "3"}, {"-1", "4"}}).error);
  // A date's comma, or one before no name, starts no cookie.
  EXPECT_FALSE(ExportAs("headers", kHttp, {{"Set-Cookie", "a=1; Expires=Wed, 21 Oct 2026 07:28:00 GMT"},
                                           {"Set-Cookie", "b=2, =3"}}).error);
}

// cmd.exe runs no line longer than 8,191 characters; a body goes only where
// the form can carry it whole.
TEST(Exporters, CommandsStopAtTheirLimitsAndCarryTheBodyWhole) {
  Pairs cookies;
  for (int i = 0; i < 100; ++i) cookies.emplace_back("c" + std::to_string(i), std::string(90, 'v'));
  Exported cmd = ExportAs("curl-cmd", kCookies, cookies);
  ASSERT_TRUE(cmd.error);
  // Some 60 characters of command, then 94 or 95 a cookie: c84 passes 8,191.
  EXPECT_NE(cmd.error->find(Gbk("复制到[c84]时命令已超过8191个字符")), std::string::npos) << test::Utf8Of(*cmd.error);
  EXPECT_FALSE(ExportAs("curl", kCookies, cookies).error);  // bash has no such limit
  cookies.resize(84);
  EXPECT_FALSE(ExportAs("curl-cmd", kCookies, cookies).error);
  // A double-byte character is one character to cmd.
  Pairs wide = {{"X-A", std::string(8000, 'a')}, {"X-B", ""}};
  for (int i = 0; i < 100; ++i) wide[1].second += "\xD6\xD0";
  EXPECT_FALSE(ExportAs("curl-cmd", kHttp, wide, {"https://h/", "GET"}).error);
  wide[1].second += std::string(60, 'b');
  Exported tooWide = ExportAs("curl-cmd", kHttp, wide, {"https://h/", "GET"});
  ASSERT_TRUE(tooWide.error);
  EXPECT_NE(tooWide.error->find(Gbk("[X-B]")), std::string::npos);

  // The boundary itself: 38 characters of command around the value.
  const ExportTarget get{"https://h/", "GET"};
  EXPECT_FALSE(ExportAs("curl-cmd", kHttp, {{"X-A", std::string(8153, 'a')}}, get).error);
  EXPECT_TRUE(ExportAs("curl-cmd", kHttp, {{"X-A", std::string(8154, 'a')}}, get).error);

  const ExportTarget lines{"https://h/", "POST", "a\r\nb"};
  Exported cmdBody = ExportAs("curl-cmd", kHttp, {{"X-A", "1"}}, lines);
  ASSERT_TRUE(cmdBody.error);
  EXPECT_NE(cmdBody.error->find(Gbk("请求体中含有换行")), std::string::npos);
  Exported bashBody = ExportAs("curl", kHttp, {{"X-A", "1"}}, lines);
  EXPECT_NE(bashBody.text.find("--data-raw 'a\r\nb'"), std::string::npos) << bashBody.text;
  const ExportTarget notGbk{"https://h/", "POST", std::nullopt, true};
  for (const char* format : {"curl", "curl-cmd", "fetch"}) {
    Exported out = ExportAs(format, kHttp, {{"X-A", "1"}}, notGbk);
    ASSERT_TRUE(out.error) << format;
    EXPECT_NE(out.error->find(Gbk("请求体中有GBK无法表示的字符")), std::string::npos);
  }
  // Cookies mode sends the cookies only; a GET sends no body.
  EXPECT_FALSE(ExportAs("curl", kCookies, {{"a", "1"}}, notGbk).error);
  EXPECT_EQ(ExportAs("curl", kHttp, {{"X-A", "1"}}, {"https://h/", "GET", "x"}).text.find("--data"), std::string::npos);
  // The length a capture sent stays with header lists, which send nothing.
  EXPECT_NE(ExportAs("headers", kHttp, {{"Content-Length", "3"}}).text.find("Content-Length: 3"), std::string::npos);
  EXPECT_EQ(ExportAs("python", kHttp, {{"Content-Length", "3"}, {"X-A", "1"}}).text.find("Content-Length"),
            std::string::npos);
  // A cookie of that name is a cookie like any other.
  EXPECT_NE(ExportAs("python", kCookies, {{"Content-Length", "3"}}).text.find("Content-Length"), std::string::npos);

  CaptureOrigin origin{"https://h/", "POST", "", "\xE5\xBC\xA0=1"};
  EXPECT_EQ(ExportTargetOf(origin).body, Gbk("张=1"));
  origin.body = "\xF0\x9F\x98\x80";
  EXPECT_TRUE(ExportTargetOf(origin).bodyNotGbk);
  EXPECT_FALSE(ExportTargetOf(origin).body);
}

TEST(Exporters, TargetsComeFromTheImportElsePlaceholders) {
  struct Host {
    const char* url;
    const char* host;
  } hosts[] = {{"https://user:pw@a.example.com:8443/x?y=1", "a.example.com"},
               {"example.com/path", "example.com"},
               {"https://a@b@h.cn/", "h.cn"},  // the host follows the last "@"
               {"http://[::1]:8080/", "[::1]"},
               {"https://h.cn?x=/y", "h.cn"},
               {"/only/a/path", ""},
               {"", ""}};
  for (const Host& h : hosts) EXPECT_EQ(HostOf(h.url), h.host) << h.url;

  // A raw request's path made whole from its Host header.
  EXPECT_EQ(ExportTargetOf({"/a?b", "POST", "h.cn"}).url, "https://h.cn/a?b");
  EXPECT_EQ(ExportTargetOf({"/a?b", "POST", "h.cn"}).method, "POST");
  EXPECT_EQ(ExportTargetOf({"/a", "GET", ""}).url, "");
  EXPECT_EQ(ExportTargetOf({"https://h.cn/\r\nX: 1", "GET", ""}).url, "");
  EXPECT_EQ(ExportTargetOf({"https://h.cn/", "GET /x", ""}).method, "");

  Exported placeholder = ExportAs("cookies-txt", kCookies, {{"a", "1"}});
  EXPECT_NE(placeholder.text.find("\nreplace-with-host.invalid\tFALSE"), std::string::npos) << placeholder.text;
  EXPECT_NE(placeholder.text.find("# replace-with-host.invalid"), std::string::npos);
  EXPECT_NE(ExportAs("curl", kCookies, {{"a", "1"}}).text.find("'https://replace-with-host.invalid/'"),
            std::string::npos);
}

// Texts a careless reader takes for something else: a bash copy holding ^"
// (cmd's mark), a Python value holding an assignment, a JSON object of
// strings, a bare JavaScript object.
TEST(Exporters, ReadersTellTheirFormatsApart) {
  struct Case {
    std::string text;
    AnalysisMode mode;
    CaptureKind kind;
    Pairs items;
  } cases[] = {
      {"curl 'https://h/' -b 'a=^\"x^\"'", kCookies, CaptureKind::kCurl, {{"a", "^\"x^\""}}},
      {"cookies = {'a': 'headers = {', 'b': '2'}", kCookies, CaptureKind::kPython, {{"a", "headers = {"}, {"b", "2"}}},
      {"headers = {'A': \"cookies = {'x': '1'}\"}", kHttp, CaptureKind::kPython, {{"A", "cookies = {'x': '1'}"}}},
      {"{\"Accept\": \"*/*\", \"X-A\": \"1\"}", kHttp, CaptureKind::kJsonObject, {{"Accept", "*/*"}, {"X-A", "1"}}},
      {"{a: '1', \"b\": `2`};", kCookies, CaptureKind::kJavaScript, {{"a", "1"}, {"b", "2"}}},
      {"cookies = {'a': 'Invoke-WebRequest'}", kCookies, CaptureKind::kPython, {{"a", "Invoke-WebRequest"}}},
  };
  for (const Case& c : cases) {
    test::ReadBack back = test::ReadExport(c.text, CaptureFormat::kAuto, c.mode);
    EXPECT_FALSE(back.error) << c.text;
    EXPECT_EQ(back.kind, c.kind) << c.text;
    EXPECT_EQ(back.items, c.items) << c.text;
  }
  // JSON of another shape stays plain text.
  EXPECT_EQ(test::ReadExport("{\"a\": \"1\", \"b\": {\"c\": \"2\"}}", CaptureFormat::kAuto, kHttp).kind,
            CaptureKind::kPlain);
  EXPECT_EQ(test::ReadExport("{\"a\": 1}", CaptureFormat::kAuto, kHttp).kind, CaptureKind::kPlain);
}

TEST(Exporters, EachModeListsItsFormatsOnce) {
  EXPECT_EQ(ExporterNames(kCookies), "cookie-header|curl|curl-cmd|powershell|python|javascript|json|cookies-txt");
  EXPECT_EQ(ExporterNames(kHttp), "headers|curl|curl-cmd|powershell|python|json|fetch");
  EXPECT_EQ(ExporterNamed("json", kHttp)->readBack, CaptureFormat::kJsonObject);
  EXPECT_EQ(ExporterNamed("fetch", kCookies), nullptr);
}

}  // namespace
}  // namespace ds
