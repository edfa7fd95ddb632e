#include <gtest/gtest.h>

#include "import/capture.h"
#include "import/texts.h"
#include "items/sentence.h"
#include "items/separators.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

using namespace std::string_literals;

using test::Gbk;

// What a person would see in the item list after the import: the parsed
// rows as "name=value", in list order.
struct Imported {
  CaptureKind kind = CaptureKind::kPlain;
  std::optional<Text> error;
  std::string rows;
};

// The text as a dropped file's bytes: UTF-8 or GBK.
CaptureText Source(std::string_view bytes) {
  DecodedCapture d = DecodeCapture(std::string(bytes), false);
  EXPECT_FALSE(d.badOffset) << bytes;
  return d.text;
}

Imported Import(std::string_view bytes, AnalysisMode mode, CaptureFormat format = CaptureFormat::kAuto,
                const HarChoice& choice = {}) {
  Separators separators = DefaultSeparators(mode);
  Recognised r = Recognise(Source(bytes), format, mode, separators, choice);
  Imported out{r.kind, r.error, {}};
  for (const Row& row : ParseSlotText(r.slotText, separators, {mode, Slot::k1}).rows)
    out.rows.append(row.Cell(1)).append("=").append(row.Cell(2)).append(" ");
  return out;
}

struct Case {
  const char* what;
  std::string text;
  AnalysisMode mode;
  CaptureKind kind;
  std::string rows;
};

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    Imported got = Import(c.text, c.mode);
    EXPECT_FALSE(got.error) << c.what << ": " << got.error.value_or("");
    EXPECT_EQ(got.kind, c.kind) << c.what;
    EXPECT_EQ(got.rows, c.rows) << c.what;
  }
}

constexpr AnalysisMode kCookies = AnalysisMode::kCookies;
constexpr AnalysisMode kHttp = AnalysisMode::kHttp;

const std::string kBashCurl =
    "curl 'https://example.com/api/list?page=2' \\\n"
    "  -H 'accept: application/json, text/plain, */*' \\\n"
    "  -H 'accept-language: zh-CN,zh;q=0.9' \\\n"
    "  -b 'sid=abc123; theme=dark; token=eyJhbGciOi==' \\\n"
    "  -H 'user-agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64)' \\\n"
    "  --data-raw $'{\"q\":\"it\\'s\"}' \\\n"
    "  --compressed";

const std::string kCmdCurl =
    "curl ^\"https://example.com/api/list?page=2^\" ^\r\n"
    "  -H ^\"accept: application/json, text/plain, */*^\" ^\r\n"
    "  -b ^\"sid=abc123; q=^%^22x^%^22^\" ^\r\n"
    "  -H ^\"user-agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64)^\" ^\r\n"
    "  --data-raw ^\"^{^\\^\"q^\\^\":1^}^\" ^\r\n"
    "  --compressed";

TEST(ImportCurl, BrowserCopiesForBothShells) {
  Check({
      {"bash, cookies", kBashCurl, kCookies, CaptureKind::kCurl, "sid=abc123 theme=dark token=eyJhbGciOi== "},
      {"bash, headers", kBashCurl, kHttp, CaptureKind::kCurl,
       "accept=application/json, text/plain, */* accept-language=zh-CN,zh;q=0.9 "
       "Cookie=sid=abc123; theme=dark; token=eyJhbGciOi== user-agent=Mozilla/5.0 (Windows NT 10.0; Win64; x64) "},
      {"cmd, cookies", kCmdCurl, kCookies, CaptureKind::kCurl, "q=%22x%22 sid=abc123 "},
      {"cmd, headers", kCmdCurl, kHttp, CaptureKind::kCurl,
       "accept=application/json, text/plain, */* Cookie=sid=abc123; q=%22x%22 "
       "user-agent=Mozilla/5.0 (Windows NT 10.0; Win64; x64) "},
      {"older cmd copies double a quote", "curl \"https://e.com/\" -H \"Cookie: a=1; b=\"\"x\"\"\" --compressed",
       kCookies, CaptureKind::kCurl, "a=1 b=\"x\" "},
      {"attached values, --header and --cookie, a cookie file ignored",
       "curl -sSLHCookie:a=1 --header 'X-A: 1' --cookie jar.txt --cookie b=2 https://e.com", kHttp,
       CaptureKind::kCurl, "Cookie=b=2 Cookie=a=1 X-A=1 "},
      {"a double-byte character whose second byte is a backslash",
       "curl \"https://e.com\" -b \"n=" + Gbk("乗") + "\"", kCookies, CaptureKind::kCurl,
       "n=" + Gbk("乗") + " "},
      {"of several commands the first", "curl 'https://e.com/1' -b 'a=1' ;\ncurl 'https://e.com/2' -b 'b=2'",
       kCookies, CaptureKind::kCurl, "a=1 "},
      {"of several cmd commands the first", "curl ^\"https://e.com/1^\" -b ^\"a=1^\" &\r\ncurl ^\"x^\" -b ^\"b=2^\"",
       kCookies, CaptureKind::kCurl, "a=1 "},
      {"$'...' names characters by code point",
       "curl 'https://e.com' -b $'a=x\\u0021y; n=\\u5f20\\u4e09' --compressed", kCookies,
       CaptureKind::kCurl, "a=x!y n=" + Gbk("张三") + " "},
      {"a first word quoted $'...' is bash, whatever ^\" the words hold",
       "curl $'https://e.com/' -H $'Cookie: a=^\"b'", kCookies, CaptureKind::kCurl, "a=^\"b "},
      // Firefox writes a character below U+0100 as one \x byte; bytes that
      // are no UTF-8, an encoded surrogate among them, are such characters.
      {"\\x bytes that form no UTF-8", "curl e.com -b $'a=\\xed\\xb0\\xb0; b=\\xe4\\xb8\\xad'", kCookies,
       CaptureKind::kCurl, "a=" + Gbk("\u00ed\u00b0\u00b0") + " b=" + Gbk("中") + " "},
      {"a removed header and an empty one", "curl e.com -H 'X-Gone:' -H 'X-Empty;'", kHttp, CaptureKind::kCurl,
       "X-Empty= "},
  });
}

TEST(ImportCurl, AnOpenQuoteIsAnErrorNotACrash) {
  for (std::string text : {"curl 'https://e.com' -H 'a: b", "curl \"x", "curl $'abc\\'", "curl ^\"x\" ^\r\n -b \"a=1"}) {
    Imported got = Import(text, kCookies);
    EXPECT_TRUE(got.error) << text;
    EXPECT_EQ(got.rows, "") << text;
  }
}

TEST(ImportHttpLines, RequestsResponsesAndBareHeaders) {
  const std::string request =
      "GET /api/list?page=2 HTTP/1.1\r\nHost: example.com\r\nCookie: sid=abc123; theme=dark\r\n"
      "User-Agent: Mozilla/5.0\r\nAccept: */*\r\n\r\nbody=ignored&x: y";
  const std::string response =
      "HTTP/1.1 200 OK\nContent-Type: text/html\nSet-Cookie: sid=xyz; Path=/; HttpOnly\n"
      "Set-Cookie: lang=zh-CN; Expires=Wed, 09 Jun 2027 10:18:14 GMT\n\n<html>";
  Check({
      {"request, cookies", request, kCookies, CaptureKind::kRequest, "sid=abc123 theme=dark "},
      {"request, headers; the body is left out", request, kHttp, CaptureKind::kRequest,
       "Accept=*/* Cookie=sid=abc123; theme=dark Host=example.com User-Agent=Mozilla/5.0 "},
      {"response: Set-Cookie attributes dropped", response, kCookies, CaptureKind::kResponse, "lang=zh-CN sid=xyz "},
      {"one Cookie line", "Cookie: a=1; b=2", kCookies, CaptureKind::kCookieLine, "a=1 b=2 "},
      {"Set-Cookie lines", "Set-Cookie: a=1; Secure\r\nset-cookie: b=; Max-Age=0", kCookies,
       CaptureKind::kSetCookieLines, "a=1 b= "},
      {"pseudo-headers and a folded line", ":authority: example.com\n:method: GET\nX-Long: a\n\tb\n", kHttp,
       CaptureKind::kHeaderLines, ":authority=example.com :method=GET X-Long=a b "},
      {"a browser's parsed view: names and values on lines of their own",
       ":authority:\r\nexample.com\r\nreferer:\r\nhttps://example.com/\r\ncookie:\r\na=1; b=2\r\n", kCookies,
       CaptureKind::kHeaderLines, "a=1 b=2 "},
      {"a cookie string whose name has a colon stays plain", "token:abc=1; x=2", kCookies, CaptureKind::kPlain,
       "token:abc=1 x=2 "},
      {"plain cookies stay plain", "a=1; b=2", kCookies, CaptureKind::kPlain, "a=1 b=2 "},
  });
}

TEST(ImportCookieFiles, CookiesTxtAndJsonExports) {
  const std::string cookiesTxt =
      "# Netscape HTTP Cookie File\n# https://curl.se/docs/http-cookies.html\n\n"
      ".example.com\tTRUE\t/\tFALSE\t1767225600\tsid\tabc123\n"
      "#HttpOnly_.example.com\tTRUE\t/\tTRUE\t0\ttoken\tt0k=\n"
      "example.com\tFALSE\t/path\tFALSE\t0\tempty\t\n";
  const std::string json =
      "[{\"domain\": \".example.com\", \"name\": \"sid\", \"value\": \"abc123\", \"httpOnly\": true},\n"
      " {\"name\": \"n\", \"value\": 42, \"path\": {\"x\": [\"name\"]}}, {\"value\": \"no name\"},\n"
      " {\"name\": \"zh\", \"value\": \"中\\u6587\"}]";
  Check({
      {"cookies.txt", cookiesTxt, kCookies, CaptureKind::kCookiesTxt, "empty= sid=abc123 token=t0k= "},
      {"cookies.txt without its heading", "e.com\tFALSE\t/\tFALSE\t0\ta\t1", kCookies, CaptureKind::kCookiesTxt,
       "a=1 "},
      {"cookies.txt as one Cookie header", cookiesTxt, kHttp, CaptureKind::kCookiesTxt,
       "Cookie=sid=abc123; token=t0k=; empty= "},
      {"JSON array in a GBK file, characters as read and escaped", Gbk(json), kCookies, CaptureKind::kJson,
       "n=42 sid=abc123 zh=" + Gbk("中文") + " "},
      {"a storage state object", "{\"cookies\": [{\"name\": \"a\", \"value\": \"1\"}], \"origins\": []}", kCookies,
       CaptureKind::kJson, "a=1 "},
      {"JSON of another shape stays plain", "{\"a\": 1}", kCookies, CaptureKind::kPlain, ""},
  });
}

const std::string kHar =
    "{\"log\": {\"version\": \"1.2\", \"creator\": {\"name\": \"x\", \"version\": \"1\"}, \"entries\": [\n"
    " {\"request\": {\"method\": \"GET\", \"url\": \"https://e.com/logo.png\", \"headers\": [\n"
    "   {\"name\": \"Accept\", \"value\": \"image/*\"}], \"cookies\": []},\n"
    "  \"response\": {\"status\": 200, \"headers\": [{\"name\": \"Set-Cookie\", \"value\": \"r=1; Path=/\\ns=2\"}],\n"
    "   \"content\": {\"text\": \"{\\\"name\\\": \\\"not a header\\\"}\"}}},\n"
    " {\"request\": {\"method\": \"POST\", \"url\": \"https://e.com/api?q=\xE4\xB8\xAD\", \"headers\": [\n"
    "   {\"name\": \":authority\", \"value\": \"e.com\"}, {\"name\": \"cookie\", \"value\": \"sid=abc; n=\xE4\xB8\xAD\"}],\n"
    "   \"cookies\": [{\"name\": \"sid\", \"value\": \"abc\"}, {\"name\": \"n\", \"value\": \"\xE4\xB8\xAD\"}]},\n"
    "  \"response\": {\"status\": 204, \"headers\": []}}]}}";

TEST(ImportHar, EntryChoiceAndWhatItCarries) {
  std::string har = Gbk(kHar);  // the file as the front ends hand it over
  Capture capture = ReadCapture(Source(har), CaptureFormat::kAuto, kCookies);
  ASSERT_EQ(capture.entries.size(), 2u);
  EXPECT_EQ(capture.defaultEntry, 1u);
  EXPECT_EQ(EntryCaption(capture.entries[1]), "POST https://e.com/api?q=" + Gbk("中"));
  struct HarCase {
    const char* what;
    AnalysisMode mode;
    HarChoice choice;
    std::string rows;
  } cases[] = {
      {"default: the first entry with a Cookie header", kCookies, HarChoice{}, "n=" + Gbk("中") + " sid=abc "},
      {"its headers", kHttp, HarChoice{}, ":authority=e.com cookie=sid=abc; n=" + Gbk("中") + " "},
      {"by number; no request cookies, so the response's (two Set-Cookie joined by a line break)", kCookies,
       HarChoice{1, std::nullopt}, "r=1 s=2 "},
      {"by a part of the URL", kHttp, HarChoice{std::nullopt, std::string("logo")}, "Accept=image/* "},
  };
  for (const HarCase& c : cases) {
    Imported got = Import(har, c.mode, CaptureFormat::kHar, c.choice);
    EXPECT_EQ(got.kind, CaptureKind::kHar) << c.what;
    EXPECT_FALSE(got.error) << c.what;
    EXPECT_EQ(got.rows, c.rows) << c.what;
  }
  // Response cookies in place of a request's are said to be so.
  EXPECT_EQ(ResponseCookiesNote(capture, kCookies, 0), texts::kFromResponseSetCookie);
  EXPECT_EQ(ResponseCookiesNote(capture, kCookies, 1), "");
  EXPECT_EQ(ResponseCookiesNote(capture, kHttp, 0), "");
  Separators separators = DefaultSeparators(kCookies);
  EXPECT_EQ(Recognise(Source(har), CaptureFormat::kHar, kCookies, separators, {1, {}}).note,
            texts::kFromResponseSetCookie);
  EXPECT_EQ(Recognise(Source(har), CaptureFormat::kHar, kCookies, separators).note, "");
  Capture bare = ReadCapture(Source(R"({"log": {"entries": [{"request": {"headers": []}, "response": {"status": 200}}]}})"),
                             CaptureFormat::kHar, kCookies);
  EXPECT_EQ(ResponseCookiesNote(bare, kCookies, 0), "");
  // An export that keeps the list of cookies sent but drops the header.
  Capture listed = ReadCapture(
      Source(R"({"log": {"entries": [{"request": {"headers": []}},
                              {"request": {"cookies": [{"name": "a", "value": "1"}]}}]}})"),
      CaptureFormat::kHar, kCookies);
  EXPECT_EQ(listed.defaultEntry, 1u);
  // Headers of one name joined by CR LF, as some exports write them, are
  // the headers again: nothing of the line break stays in a value.
  Check({
      {"headers joined by CR LF",
       R"({"log": {"entries": [{"request": {"headers": [{"name": "X", "value": "a\r\nb"},
                                                 {"name": "Cookie", "value": "c=1"}]}}]}})",
       kHttp, CaptureKind::kHar, "Cookie=c=1 X=a X=b "},
      {"Set-Cookie joined by CR LF",
       R"({"log": {"entries": [{"request": {"headers": []},
                               "response": {"headers": [{"name": "Set-Cookie", "value": "r=1; Path=/\r\ns=2"}]}}]}})",
       kCookies, CaptureKind::kHar, "r=1 s=2 "},
  });
  EXPECT_TRUE(Import(har, kCookies, CaptureFormat::kHar, {3, {}}).error);
  EXPECT_TRUE(Import(har, kCookies, CaptureFormat::kHar, {{}, std::string("nowhere")}).error);
}

TEST(ImportBadInput, NothingLoadedAndAClearMessage) {
  struct Bad {
    const char* what;
    std::string text;
    CaptureFormat format;
  } cases[] = {
      {"a cut-off HAR", kHar.substr(0, kHar.size() / 2), CaptureFormat::kAuto},
      {"a cut-off JSON export", "[{\"name\": \"a\", \"value\": \"1\"}, {\"name\"", CaptureFormat::kAuto},
      {"a NUL inside a JSON string", "[{\"name\": \"a\\u0000\", \"value\": \"1\"}]"s, CaptureFormat::kAuto},
      {"a HAR without entries", "{\"log\": {\"version\": \"1.2\"}}", CaptureFormat::kAuto},
      {"a HAR with no entry", "{\"log\": {\"entries\": []}}", CaptureFormat::kAuto},
      {"cookies JSON asked for, a HAR given", kHar, CaptureFormat::kJson},
      {"HAR asked for, plain text given", "a=1; b=2", CaptureFormat::kHar},
      {"cURL asked for", "a=1", CaptureFormat::kCurl},
      {"raw asked for", "a=1\nb=2", CaptureFormat::kRaw},
      {"cookies.txt asked for", "a=1", CaptureFormat::kCookiesTxt},
      {"a capture without cookies", "curl 'https://e.com/' -H 'Accept: */*'", CaptureFormat::kAuto},
  };
  for (const Bad& c : cases) {
    Imported got = Import(c.text, kCookies, c.format);
    EXPECT_TRUE(got.error) << c.what;
    EXPECT_EQ(got.rows, "") << c.what;
  }
  // Where a broken document stops is counted in the file's own bytes from 0,
  // as the other messages count: the "x" after a character of 3 bytes in
  // UTF-8, 2 in GBK and UTF-16.
  auto offset = [](size_t at) { return FillIn(texts::kJsonMalformed, {{"offset", ToText(static_cast<long long>(at))}}); };
  EXPECT_EQ(Import("{\"a\": \"\xE4\xB8\xAD\"x}", kCookies).error, offset(11));
  EXPECT_EQ(Import(Gbk("{\"a\": \"中\"x}"), kCookies).error, offset(10));
  EXPECT_EQ(Recognise(DecodeCapture("\xFF\xFE{\0\"\0a\0\"\0:\0 \0\"\0\x2D\x4E\"\0x\0}\0"s, false).text,
                      CaptureFormat::kAuto, kCookies, DefaultSeparators(kCookies)).error,
            offset(20));
  // Where a broken document stops is counted in the text, whatever its characters.
  const std::string cut = "[{\"name\": \"ab\", \"value\": \"1\"}, {\"name\"";
  EXPECT_EQ(Import(cut, kCookies).error, Import(Gbk("[{\"name\": \"中\", \"value\": \"1\"}, {\"name\""), kCookies).error);
  // Plain text is never touched, whatever bytes it holds.
  CaptureText nul{std::string("a=1\0; b=2", 9)};
  EXPECT_EQ(Recognise(nul, CaptureFormat::kAuto, kCookies, DefaultSeparators(kCookies)).slotText, nul.utf8);
}

}  // namespace
}  // namespace ds
