#include "export/exporters.h"

#include <cstdio>
#include <set>

#include "export/quoting.h"
#include "export/texts.h"
#include "import/text_decode.h"
#include "items/sentence.h"
#include "platform/codepage.h"

namespace ds {
namespace {

namespace texts = export_texts;

constexpr std::string_view kCrLf = "\r\n";

// What a format's readers (the import reader and the real target) do to a
// row, so that a row they would change is refused before anything is written.
struct RowRules {
  std::string_view nameStops;  // bytes a name cannot hold
  std::string_view valueStops;
  bool trims = false;          // the reader takes spaces and tabs off both ends
  bool headerName = false;     // an HTTP token
  bool pseudoHeaders = false;  // ":authority" and its kin allowed
  enum class Unique { kNo, kExact, kAnyCase } unique = Unique::kNo;
  std::string_view reservedName;  // a name the target takes for something else
  bool dollarStart = true;        // a name may begin with "$"
  bool asciiOnly = false;         // its clients send other characters otherwise than as UTF-8
  std::span<const std::string_view> clientHeaders;  // lower case: the client sets or refuses these itself
  bool keyOrder = false;          // a JavaScript object, which moves integer-like names to the front
  std::string_view uniqueHeader;  // lower case: a header the client sends once, whatever it is given
  size_t longestPair = 0;         // name and value together, in bytes; 0: any length
  bool securePrefixes = false;    // "__Secure-" and "__Host-" names are kept only when sent securely
};

constexpr std::string_view kLineStops("\r\n\0", 3);
constexpr std::string_view kCookieNameStops("\r\n\0;=", 5);
constexpr std::string_view kCookieValueStops("\r\n\0;", 4);
// Every control character but the tab: Node.js refuses a header holding one.
constexpr std::string_view kControlStops(
    "\x00\x01\x02\x03\x04\x05\x06\x07\x08\x0A\x0B\x0C\x0D\x0E\x0F\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19"
    "\x1A\x1B\x1C\x1D\x1E\x1F\x7F",
    32);
// What Node.js's fetch refuses or writes itself whatever it is given.
constexpr std::string_view kFetchOwnHeaders[] = {"host", "transfer-encoding", "keep-alive", "upgrade", "expect",
                                                 "sec-fetch-mode"};
// The programs that send a request count its body themselves.
constexpr std::string_view kFramingHeader = "content-length";
// The longest line cmd.exe runs.
constexpr size_t kCmdLineLimit = 8191;

bool IsTokenChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool IsHeaderName(std::string_view name, bool pseudo) {
  if (pseudo && name.size() > 1 && name[0] == ':') name.remove_prefix(1);
  if (name.empty()) return false;
  for (char c : name)
    if (!IsTokenChar(c)) return false;
  return true;
}

bool EdgeBlank(std::string_view t) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  return !t.empty() && (blank(t.front()) || blank(t.back()));
}

// The first stop character, stepping over double-byte characters (whose
// trail byte may equal a stop).
std::optional<char> StopIn(std::string_view t, std::string_view stops) {
  for (size_t i = 0; i < t.size(); i += CharLength(t, i))
    if (CharLength(t, i) == 1 && stops.find(t[i]) != std::string_view::npos) return t[i];
  return std::nullopt;
}

Text CharShown(char c) {
  switch (c) {
    case '\r': case '\n': return texts::kCharLineBreak;
    case '\t': return texts::kCharTab;
    case '\0': return texts::kCharNul;
    case ' ': return texts::kCharSpace;
    default: {
      if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) return "\"" + Text(1, c) + "\"";
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(c));
      return code;
    }
  }
}

bool IsGbkText(std::string_view t) {
  if (IsAscii(t)) return true;
  return platform::FromUtf16(platform::ToUtf16(t, platform::kCodePageGbk), platform::kCodePageGbk) == t;
}

// HTTP libraries join Set-Cookie headers with ", ", and the import splits
// them where a name and "=" follow a comma: such a value reads back as two.
bool ReadsAsFolded(std::string_view name, std::string_view value) {
  if (ToLowerAscii(name) != "set-cookie") return false;
  for (size_t i = value.find(','); i != std::string_view::npos; i = value.find(',', i + 1)) {
    size_t at = value.find_first_not_of(" \t", i + 1);
    size_t end = at;
    while (end < value.size() && IsTokenChar(value[end]) && value[end] != '=') ++end;
    if (at != std::string_view::npos && end > at && end < value.size() && value[end] == '=') return true;
  }
  return false;
}

// A JavaScript array index: such keys come first, in numeric order.
bool IsIndexName(std::string_view name) {
  if (name.empty() || name.size() > 10 || (name.size() > 1 && name[0] == '0')) return false;
  for (char c : name)
    if (c < '0' || c > '9') return false;
  return std::stoull(Text(name)) < 0xFFFFFFFFull;
}

// Cookies so named must be Secure, and a jar sends Secure cookies to https only.
bool IsSecurePrefixed(std::string_view name) { return name.starts_with("__Secure-") || name.starts_with("__Host-"); }
bool IsSecureTarget(const ExportTarget& target) { return target.url.empty() || target.url.starts_with("https:"); }

std::optional<Text> Refusal(const ExportJob& job, const char* format, const RowRules& rules) {
  std::set<Text> seen, seenAnyCase;
  bool sawOtherName = false;
  std::optional<unsigned long long> lastIndex;
  for (size_t i = 0; i < job.rows.size(); ++i) {
    std::string_view name = job.rows[i].Cell(1), value = job.rows[i].Cell(2);
    auto refuse = [&](const char* sentence, std::string_view ch = {}) {
      return FillIn(sentence, {{"name", EscapeForMessage(name)}, {"format", format}, {"char", ch},
                               {"row", ToText(static_cast<long long>(i + 1))}});
    };
    if (name.empty()) return refuse(texts::kExportEmptyName);
    if (!IsGbkText(name) || !IsGbkText(value)) return refuse(texts::kExportNotGbk);
    if (rules.headerName && !IsHeaderName(name, rules.pseudoHeaders)) return refuse(texts::kExportNotToken);
    if (!rules.dollarStart && name[0] == '$') return refuse(texts::kExportStopChar, "\"$\"");
    for (auto [text, stops] : {std::pair{name, rules.nameStops}, std::pair{value, rules.valueStops}})
      if (std::optional<char> stop = StopIn(text, stops)) return refuse(texts::kExportStopChar, CharShown(*stop));
    if (rules.trims && (EdgeBlank(name) || EdgeBlank(value))) return refuse(texts::kExportEdgeBlank);
    if (job.mode == AnalysisMode::kHttp && ReadsAsFolded(name, value)) return refuse(texts::kExportFolded);
    if (!rules.reservedName.empty() && name == rules.reservedName) return refuse(texts::kExportReservedName);
    for (std::string_view own : rules.clientHeaders)
      if (ToLowerAscii(name) == own) return refuse(texts::kExportClientHeader);
    if (rules.asciiOnly && (!IsAscii(name) || !IsAscii(value))) return refuse(texts::kExportNonAscii);
    if (rules.securePrefixes && IsSecurePrefixed(name) && !IsSecureTarget(job.target))
      return refuse(texts::kExportSecurePrefix);
    if (rules.longestPair && name.size() + value.size() > rules.longestPair)
      return FillIn(texts::kExportCookieTooLong,
                    {{"name", EscapeForMessage(name)}, {"format", format},
                     {"count", ToText(static_cast<long long>(rules.longestPair))}});
    if (!rules.uniqueHeader.empty() && ToLowerAscii(name) == rules.uniqueHeader && 
        !seenAnyCase.insert(Text(rules.uniqueHeader)).second)
      return refuse(texts::kExportDuplicate);
    if (rules.unique != RowRules::Unique::kNo && !seen.insert(Text(name)).second) return refuse(texts::kExportDuplicate);
    if (rules.unique == RowRules::Unique::kAnyCase && !seenAnyCase.insert(ToLowerAscii(name)).second)
      return refuse(texts::kExportCaseDuplicate);
    if (rules.keyOrder) {
      if (!IsIndexName(name)) {
        sawOtherName = true;
      } else {
        unsigned long long index = std::stoull(Text(name));
        if (sawOtherName || (lastIndex && *lastIndex > index)) return refuse(texts::kExportKeyOrder);
        lastIndex = index;
      }
    }
  }
  return std::nullopt;
}

// Headers as the targets take them: tokens, one line each, no blanks at the
// ends; a dict keeps one value a name, whatever its case.
RowRules HeaderRules(bool dict, bool pseudo) {
  RowRules r;
  r.valueStops = kLineStops;
  r.trims = true;
  r.headerName = true;
  r.pseudoHeaders = pseudo;
  if (dict) r.unique = RowRules::Unique::kAnyCase;
  return r;
}

// The pairs of one Cookie header: "a=1; b=2".
RowRules CookiePairRules() {
  RowRules r;
  r.nameStops = kCookieNameStops;
  r.valueStops = kCookieValueStops;
  r.trims = true;
  return r;
}

Exported Checked(const ExportJob& job, const char* format, const RowRules& rules) {
  Exported out;
  out.error = Refusal(job, format, rules);
  return out;
}

Text CookiePairs(const std::vector<Row>& rows) {
  Text pairs;
  for (const Row& row : rows) {
    if (!pairs.empty()) pairs += "; ";
    pairs += row.Cell(1);
    pairs += '=';
    pairs += row.Cell(2);
  }
  return pairs;
}

Text UrlOf(const ExportTarget& target) {
  return target.url.empty() ? "https://" + Text(kPlaceholderHost) + "/" : target.url;
}

Text HostFor(const ExportTarget& target) {
  Text host = HostOf(target.url);
  return host.empty() ? Text(kPlaceholderHost) : host;
}

Text MethodOf(const ExportTarget& target) { return target.method.empty() ? Text("GET") : target.method; }

Exported WriteCookieHeader(const ExportJob& job) {
  Exported out = Checked(job, texts::kFormatCookieHeader, CookiePairRules());
  if (!out.error) out.text = "Cookie: " + CookiePairs(job.rows) + Text(kCrLf);
  return out;
}

// An empty value is written "Name:"; a run of such lines, each followed by
// one line, reads as a browser's name-then-value copy: refused.
Exported WriteHeaderLines(const ExportJob& job) {
  Exported out = Checked(job, texts::kFormatHeaderLines, HeaderRules(false, true));
  if (out.error) return out;
  bool pairedLines = job.rows.size() % 2 == 0;
  for (size_t i = 0; pairedLines && i < job.rows.size(); i += 2) pairedLines = job.rows[i].Cell(2).empty();
  if (pairedLines && !job.rows.empty())
    return {{}, FillIn(texts::kExportValueLineAfterEmpty, {{"name", EscapeForMessage(job.rows[0].Cell(1))}})};
  for (const Row& row : job.rows) {
    out.text += row.Cell(1);
    out.text += row.Cell(2).empty() ? ":" : ": ";
    out.text += row.Cell(2);
    out.text += kCrLf;
  }
  return out;
}

// curl -H "Name;" sends a header with no value; "Name:" would remove it.
Text CurlHeader(std::string_view name, std::string_view value) {
  return Text(name) + (value.empty() ? ";" : ": ") + Text(value);
}

// Characters as cmd.exe counts them: a double-byte character is one.
size_t CmdChars(std::string_view t) {
  size_t n = 0;
  for (size_t i = 0; i < t.size(); i += CharLength(t, i)) n += t[i] != '\r' && t[i] != '\n';
  return n;
}

bool HasRow(const std::vector<Row>& rows, std::string_view lowerName) {
  for (const Row& row : rows)
    if (ToLowerAscii(row.Cell(1)) == lowerName) return true;
  return false;
}

// The body of the capture, when the form sends one: HTTP mode only (its rows
// hold the Content-Type that goes with it), and never for GET or HEAD.
bool CarriesBody(const ExportJob& job) {
  Text method = MethodOf(job.target);
  return job.mode == AnalysisMode::kHttp && method != "GET" && method != "HEAD";
}

const Text* BodyOf(const ExportJob& job) { return CarriesBody(job) && job.target.body ? &*job.target.body : nullptr; }

std::optional<Text> BodyRefusal(const ExportJob& job, const char* format, std::string_view stops) {
  if (!CarriesBody(job)) return std::nullopt;
  if (job.target.bodyNotGbk) return FillIn(texts::kExportBodyNotGbk, {{"format", format}});
  if (job.target.body)
    if (std::optional<char> stop = StopIn(*job.target.body, stops))
      return FillIn(texts::kExportBodyStop, {{"format", format}, {"char", CharShown(*stop)}});
  return std::nullopt;
}

// Cookies go in a Cookie header: curl drops a -b string from 4,096 bytes on
// and reads one that starts with "@" as a file. -g keeps "[]{}" in the URL
// from being globbed; -I is curl's HEAD, which waits for no body.
Exported WriteCurl(const ExportJob& job, bool cmd) {
  const char* format = cmd ? texts::kFormatCurlCmd : texts::kFormatCurlBash;
  RowRules rules = job.mode == AnalysisMode::kCookies ? CookiePairRules() : HeaderRules(false, false);
  rules.uniqueHeader = "host";  // curl sends the first of two
  Exported out = Checked(job, format, rules);
  if (!out.error) out.error = BodyRefusal(job, format, cmd ? kLineStops : std::string_view("\0", 1));
  if (out.error) return out;
  auto quoted = [cmd](Text& to, std::string_view t) { cmd ? AppendCmdQuoted(to, t) : AppendBashQuoted(to, t); };
  // bash reads "\" CR LF as an escaped CR: its lines end in LF alone.
  const std::string_view lineOn = cmd ? " ^\r\n  " : " \\\n  ";
  auto tooLong = [&](std::string_view name) {
    if (!cmd || CmdChars(out.text) <= kCmdLineLimit) return false;
    out = {{}, FillIn(texts::kExportTooLong, {{"name", EscapeForMessage(name)}, {"format", format},
                                              {"count", ToText(static_cast<long long>(kCmdLineLimit))}})};
    return true;
  };
  Text& t = out.text;
  t = "curl ";
  quoted(t, UrlOf(job.target));
  t += " -g";
  const Text* body = BodyOf(job);
  Text method = MethodOf(job.target);
  if (method == "HEAD") {
    t += lineOn;
    t += "-I";
  } else if (method != "GET" && !(body && method == "POST")) {
    t += lineOn;
    t += "-X ";
    quoted(t, method);
  }
  if (job.mode == AnalysisMode::kCookies) {
    if (!job.rows.empty()) {
      t += lineOn;
      t += "-H ";
      size_t before = t.size();
      quoted(t, "Cookie: " + CookiePairs(job.rows));
      if (cmd && CmdChars(t) > kCmdLineLimit) {
        // Name the cookie with which the line grows too long.
        std::vector<Row> some;
        for (const Row& row : job.rows) {
          some.push_back(row);
          t.resize(before);
          quoted(t, "Cookie: " + CookiePairs(some));
          if (tooLong(row.Cell(1))) return out;
        }
      }
    }
  } else {
    for (const Row& row : job.rows) {
      t += lineOn;
      t += "-H ";
      quoted(t, CurlHeader(row.Cell(1), row.Cell(2)));
      if (tooLong(row.Cell(1))) return out;
    }
  }
  if (body) {
    // Without a Content-Type of the capture's, curl would send its own.
    if (!HasRow(job.rows, "content-type")) {
      t += lineOn;
      t += "-H ";
      quoted(t, "Content-Type:");
    }
    t += lineOn;
    t += "--data-raw ";  // --data-binary would read "@…" as a file's name
    quoted(t, *body);
    if (tooLong("--data-raw")) return out;
  }
  t += cmd ? kCrLf : "\n";
  return out;
}

Exported WriteCurlBash(const ExportJob& job) { return WriteCurl(job, false); }
Exported WriteCurlCmd(const ExportJob& job) { return WriteCurl(job, true); }

Exported WritePowerShell(const ExportJob& job) {
  RowRules rules;
  if (job.mode == AnalysisMode::kCookies) {
    // System.Net.Cookie throws on these rather than sending them.
    rules.nameStops = std::string_view("=;, \t\r\n\0", 9);
    rules.valueStops = std::string_view(";,\r\n\0", 5);
    rules.dollarStart = false;
    rules.unique = RowRules::Unique::kAnyCase;  // a CookieContainer keeps one of names equal but for case
  } else {
    rules = HeaderRules(true, false);
  }
  Exported out = Checked(job, texts::kFormatPowerShell, rules);
  if (out.error) return out;
  Text& t = out.text;
  if (job.mode == AnalysisMode::kCookies) {
    Text host = HostFor(job.target);
    t += "$session = New-Object Microsoft.PowerShell.Commands.WebRequestSession\r\n";
    for (const Row& row : job.rows) {
      t += "$session.Cookies.Add((New-Object System.Net.Cookie(";
      AppendPowerShellQuoted(t, row.Cell(1));
      t += ", ";
      AppendPowerShellQuoted(t, row.Cell(2));
      t += ", \"/\", ";
      AppendPowerShellQuoted(t, host);
      t += ")))\r\n";
    }
  }
  t += "Invoke-WebRequest -UseBasicParsing -Uri ";
  AppendPowerShellQuoted(t, UrlOf(job.target));
  if (!job.target.method.empty() && job.target.method != "GET") {
    t += " -Method ";
    AppendPowerShellQuoted(t, job.target.method);
  }
  if (job.mode == AnalysisMode::kCookies) {
    t += " -WebSession $session\r\n";
    return out;
  }
  t += " -Headers @{\r\n";
  for (const Row& row : job.rows) {
    t += "  ";
    AppendPowerShellQuoted(t, row.Cell(1));
    t += "=";
    AppendPowerShellQuoted(t, row.Cell(2));
    t += kCrLf;
  }
  t += "}\r\n";
  return out;
}

// {…} as a language writes its dicts, its pairs one indent deeper than the
// line it starts on.
void AppendDict(Text& t, const std::vector<Row>& rows, void (*quoted)(Text&, std::string_view),
                std::string_view outer, std::string_view indent) {
  t += "{";
  for (size_t i = 0; i < rows.size(); ++i) {
    t += i == 0 ? "\r\n" : ",\r\n";
    t += outer;
    t += indent;
    quoted(t, rows[i].Cell(1));
    t += ": ";
    quoted(t, rows[i].Cell(2));
  }
  if (!rows.empty()) {
    t += kCrLf;
    t += outer;
  }
  t += "}";
}

// requests sends a header's text as Latin-1: text beyond ASCII is written as
// its UTF-8 bytes, which browsers send, in a form that still shows the text.
void AppendPythonText(Text& out, std::string_view text) {
  AppendPythonQuoted(out, text);
  if (!IsAscii(text)) out += ".encode().decode('latin-1')";
}

// The same for fetch, which takes a header's text as bytes and refuses more.
void AppendFetchText(Text& out, std::string_view text) {
  if (IsAscii(text)) return AppendJsonQuoted(out, text);
  out += "unescape(encodeURIComponent(";
  AppendJsonQuoted(out, text);
  out += "))";
}

Exported WritePython(const ExportJob& job) {
  bool cookies = job.mode == AnalysisMode::kCookies;
  RowRules rules = cookies ? CookiePairRules() : HeaderRules(true, false);
  if (cookies) rules.unique = RowRules::Unique::kExact;
  Exported out = Checked(job, texts::kFormatPython, rules);
  if (out.error) return out;
  out.text = cookies ? "cookies = " : "headers = ";
  AppendDict(out.text, job.rows, AppendPythonText, "", "    ");
  out.text += kCrLf;
  return out;
}

// Written as JSON, which every JavaScript engine reads as an object literal.
Exported WriteJavaScript(const ExportJob& job) {
  RowRules rules;
  rules.unique = RowRules::Unique::kExact;
  rules.reservedName = "__proto__";  // sets the object's prototype instead of a property
  rules.keyOrder = true;
  Exported out = Checked(job, texts::kFormatJavaScript, rules);
  if (out.error) return out;
  AppendDict(out.text, job.rows, AppendJsonQuoted, "", "  ");
  out.text += kCrLf;
  return out;
}

Exported WriteCookieJson(const ExportJob& job) {
  Exported out = Checked(job, texts::kFormatCookieJson, RowRules{});
  if (out.error) return out;
  out.text = "[";
  for (size_t i = 0; i < job.rows.size(); ++i) {
    out.text += i == 0 ? "\r\n  {\"name\": " : ",\r\n  {\"name\": ";
    AppendJsonQuoted(out.text, job.rows[i].Cell(1));
    out.text += ", \"value\": ";
    AppendJsonQuoted(out.text, job.rows[i].Cell(2));
    out.text += "}";
  }
  out.text += job.rows.empty() ? "]\r\n" : "\r\n]\r\n";
  return out;
}

Exported WriteHeaderJson(const ExportJob& job) {
  Exported out = Checked(job, texts::kFormatHeaderJson, HeaderRules(true, true));
  if (out.error) return out;
  AppendDict(out.text, job.rows, AppendJsonQuoted, "", "  ");
  out.text += kCrLf;
  return out;
}

// Seven TAB-separated fields a cookie: domain, subdomains, path, secure,
// expiry, name, value. Jars drop a cookie whose expiry has passed (0
// included) and keep one of a name; the expiry is the latest a 32-bit
// time holds. Python's jar sends its text as Latin-1: ASCII only.
Exported WriteCookiesTxt(const ExportJob& job) {
  RowRules rules = CookiePairRules();
  rules.nameStops = std::string_view("\t\r\n\0;=", 6);
  rules.valueStops = std::string_view("\t\r\n\0;", 5);
  rules.unique = RowRules::Unique::kExact;
  rules.asciiOnly = true;
  rules.longestPair = 4096;  // curl drops a longer line, as browsers drop such a cookie
  rules.securePrefixes = true;
  Exported out = Checked(job, texts::kFormatCookiesTxt, rules);
  if (out.error) return out;
  Text host = ToLowerAscii(HostOf(job.target.url));
  out.text = "# Netscape HTTP Cookie File\r\n";
  if (host.empty()) {
    host = kPlaceholderHost;
    out.text += "# " + host + " stands for the site the cookies belong to: put its domain there.\r\n";
  }
  for (const Row& row : job.rows)
    out.text += host + (IsSecurePrefixed(row.Cell(1)) ? "\tFALSE\t/\tTRUE\t" : "\tFALSE\t/\tFALSE\t") +
                "2147483647\t" + Text(row.Cell(1)) + "\t" + Text(row.Cell(2)) + Text(kCrLf);
  return out;
}

Exported WriteFetch(const ExportJob& job) {
  RowRules rules = HeaderRules(true, false);
  rules.valueStops = kControlStops;
  rules.reservedName = "__proto__";
  rules.clientHeaders = kFetchOwnHeaders;
  rules.keyOrder = true;
  Exported out = Checked(job, texts::kFormatFetch, rules);
  if (!out.error) out.error = BodyRefusal(job, texts::kFormatFetch, {});
  if (out.error) return out;
  Text& t = out.text;
  t = "fetch(";
  AppendJsonQuoted(t, UrlOf(job.target));
  t += ", {\r\n  \"headers\": ";
  AppendDict(t, job.rows, AppendFetchText, "  ", "  ");
  if (const Text* body = BodyOf(job)) {
    t += ",\r\n  \"body\": ";
    AppendJsonQuoted(t, *body);
  }
  t += ",\r\n  \"method\": ";
  AppendJsonQuoted(t, MethodOf(job.target));
  t += "\r\n});\r\n";
  return out;
}

constexpr Exporter kExporters[] = {
    {"cookie-header", texts::kFormatCookieHeader, true, false, CaptureFormat::kRaw, WriteCookieHeader, false},
    {"headers", texts::kFormatHeaderLines, false, true, CaptureFormat::kRaw, WriteHeaderLines, false},
    {"curl", texts::kFormatCurlBash, true, true, CaptureFormat::kCurl, WriteCurlBash, true},
    {"curl-cmd", texts::kFormatCurlCmd, true, true, CaptureFormat::kCurl, WriteCurlCmd, true},
    {"powershell", texts::kFormatPowerShell, true, true, CaptureFormat::kPowerShell, WritePowerShell, true},
    {"python", texts::kFormatPython, true, true, CaptureFormat::kPython, WritePython, true},
    {"javascript", texts::kFormatJavaScript, true, false, CaptureFormat::kJavaScript, WriteJavaScript, false},
    {"json", texts::kFormatCookieJson, true, false, CaptureFormat::kJson, WriteCookieJson, false},
    {"json", texts::kFormatHeaderJson, false, true, CaptureFormat::kJsonObject, WriteHeaderJson, false},
    {"cookies-txt", texts::kFormatCookiesTxt, true, false, CaptureFormat::kCookiesTxt, WriteCookiesTxt, false},
    {"fetch", texts::kFormatFetch, false, true, CaptureFormat::kFetch, WriteFetch, true},
};

}  // namespace

Text HostOf(std::string_view url) {
  size_t scheme = url.find("://");
  if (scheme != std::string_view::npos) url.remove_prefix(scheme + 3);
  url = url.substr(0, url.find_first_of("/?#"));
  if (size_t at = url.rfind('@'); at != std::string_view::npos) url.remove_prefix(at + 1);
  if (!url.empty() && url[0] == '[') return Text(url.substr(0, url.find(']') + 1));  // IPv6, kept bracketed
  return Text(url.substr(0, url.find(':')));
}

ExportTarget ExportTargetOf(const CaptureOrigin& origin) {
  ExportTarget target;
  auto gbk = [](std::string_view utf8) {
    GbkConversion c = Utf8AsGbk(utf8);
    return c.badOffset ? Text() : c.gbk;
  };
  std::string url = origin.url;
  if (url.starts_with("/") && !origin.host.empty()) url = "https://" + origin.host + url;
  bool control = false;
  for (char c : url) control = control || static_cast<unsigned char>(c) < 0x20;
  if (!control && !HostOf(url).empty()) target.url = gbk(url);
  if (IsHeaderName(origin.method, false)) target.method = gbk(origin.method);
  if (origin.body) {
    GbkConversion c = Utf8AsGbk(*origin.body);
    if (c.badOffset) target.bodyNotGbk = true;
    else target.body = std::move(c.gbk);
  }
  return target;
}

std::span<const Exporter> Exporters() { return kExporters; }

std::vector<const Exporter*> ExportersOf(AnalysisMode mode) {
  std::vector<const Exporter*> out;
  for (const Exporter& e : kExporters)
    if (e.Serves(mode)) out.push_back(&e);
  return out;
}

const Exporter* ExporterNamed(std::string_view name, AnalysisMode mode) {
  for (const Exporter& e : kExporters)
    if (e.name == name && e.Serves(mode)) return &e;
  return nullptr;
}

std::string ExporterNames(AnalysisMode mode) {
  std::string names;
  for (const Exporter* e : ExportersOf(mode)) names.append(names.empty() ? "" : "|").append(e->name);
  return names;
}

Exported Export(const Exporter& exporter, const ExportJob& job) {
  if (!exporter.sendsRequest || job.mode != AnalysisMode::kHttp || !HasRow(job.rows, kFramingHeader))
    return exporter.write(job);
  // A client counts the body it sends: a length of the capture's would make
  // the server wait for a body the command may not carry.
  std::vector<Row> sent;
  for (const Row& row : job.rows)
    if (ToLowerAscii(row.Cell(1)) != kFramingHeader) sent.push_back(row);
  return exporter.write({sent, job.mode, job.target});
}

}  // namespace ds
