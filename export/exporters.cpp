#include "export/exporters.h"

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
};

constexpr std::string_view kLineStops("\r\n\0", 3);
constexpr std::string_view kCookieNameStops("\r\n\0;=", 5);
constexpr std::string_view kCookieValueStops("\r\n\0;", 4);

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
    default: return "\"" + Text(1, c) + "\"";
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

std::optional<Text> Refusal(const ExportJob& job, const char* format, const RowRules& rules) {
  std::set<Text> seen;
  for (size_t i = 0; i < job.rows.size(); ++i) {
    std::string_view name = job.rows[i].Cell(1), value = job.rows[i].Cell(2);
    auto refuse = [&](const char* sentence, std::string_view ch = {}) {
      return FillIn(sentence, {{"name", name}, {"format", format}, {"char", ch},
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
    if (rules.unique != RowRules::Unique::kNo &&
        !seen.insert(rules.unique == RowRules::Unique::kAnyCase ? ToLowerAscii(name) : Text(name)).second)
      return refuse(texts::kExportDuplicate);
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
    return {{}, FillIn(texts::kExportValueLineAfterEmpty, {{"name", job.rows[0].Cell(1)}})};
  for (const Row& row : job.rows) {
    out.text += row.Cell(1);
    out.text += row.Cell(2).empty() ? ":" : ": ";
    out.text += row.Cell(2);
    out.text += kCrLf;
  }
  return out;
}

// curl -H "Name;" sends a header with no value; "Name:" would remove it.
Text CurlHeader(const Row& row) {
  return Text(row.Cell(1)) + (row.Cell(2).empty() ? ";" : ": ") + Text(row.Cell(2));
}

Exported WriteCurl(const ExportJob& job, bool cmd) {
  const char* format = cmd ? texts::kFormatCurlCmd : texts::kFormatCurlBash;
  Exported out = Checked(job, format, job.mode == AnalysisMode::kCookies ? CookiePairRules() : HeaderRules(false, false));
  if (out.error) return out;
  auto quoted = [cmd](Text& to, std::string_view t) { cmd ? AppendCmdQuoted(to, t) : AppendBashQuoted(to, t); };
  // bash reads "\" CR LF as an escaped CR: its lines end in LF alone.
  const std::string_view lineOn = cmd ? " ^\r\n  " : " \\\n  ";
  out.text = "curl ";
  quoted(out.text, UrlOf(job.target));
  if (!job.target.method.empty() && job.target.method != "GET") {
    out.text += lineOn;
    out.text += "-X ";
    quoted(out.text, job.target.method);
  }
  if (job.mode == AnalysisMode::kCookies) {
    if (!job.rows.empty()) {
      out.text += lineOn;
      out.text += "-b ";
      quoted(out.text, CookiePairs(job.rows));
    }
  } else {
    for (const Row& row : job.rows) {
      out.text += lineOn;
      out.text += "-H ";
      quoted(out.text, CurlHeader(row));
    }
  }
  out.text += cmd ? kCrLf : "\n";
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

Exported WritePython(const ExportJob& job) {
  bool cookies = job.mode == AnalysisMode::kCookies;
  RowRules rules = cookies ? RowRules{} : HeaderRules(true, false);
  if (cookies) rules.unique = RowRules::Unique::kExact;
  Exported out = Checked(job, texts::kFormatPython, rules);
  if (out.error) return out;
  out.text = cookies ? "cookies = " : "headers = ";
  AppendDict(out.text, job.rows, AppendPythonQuoted, "", "    ");
  out.text += kCrLf;
  return out;
}

// Written as JSON, which every JavaScript engine reads as an object literal.
Exported WriteJavaScript(const ExportJob& job) {
  RowRules rules;
  rules.unique = RowRules::Unique::kExact;
  rules.reservedName = "__proto__";  // sets the object's prototype instead of a property
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
// expiry (0: for the session), name, value.
Exported WriteCookiesTxt(const ExportJob& job) {
  RowRules rules;
  rules.nameStops = std::string_view("\t\r\n\0", 4);
  rules.valueStops = rules.nameStops;
  Exported out = Checked(job, texts::kFormatCookiesTxt, rules);
  if (out.error) return out;
  Text host = HostOf(job.target.url);
  out.text = "# Netscape HTTP Cookie File\r\n";
  if (host.empty()) {
    host = kPlaceholderHost;
    out.text += "# " + host + " stands for the site the cookies belong to: put its domain there.\r\n";
  }
  for (const Row& row : job.rows)
    out.text += host + "\tFALSE\t/\tFALSE\t0\t" + Text(row.Cell(1)) + "\t" + Text(row.Cell(2)) + Text(kCrLf);
  return out;
}

Exported WriteFetch(const ExportJob& job) {
  Exported out = Checked(job, texts::kFormatFetch, HeaderRules(true, false));
  if (out.error) return out;
  Text& t = out.text;
  t = "fetch(";
  AppendJsonQuoted(t, UrlOf(job.target));
  t += ", {\r\n  \"headers\": ";
  AppendDict(t, job.rows, AppendJsonQuoted, "  ", "  ");
  t += ",\r\n  \"method\": ";
  AppendJsonQuoted(t, MethodOf(job.target));
  t += "\r\n});\r\n";
  return out;
}

constexpr Exporter kExporters[] = {
    {"cookie-header", texts::kFormatCookieHeader, true, false, CaptureFormat::kRaw, WriteCookieHeader},
    {"headers", texts::kFormatHeaderLines, false, true, CaptureFormat::kRaw, WriteHeaderLines},
    {"curl", texts::kFormatCurlBash, true, true, CaptureFormat::kCurl, WriteCurlBash},
    {"curl-cmd", texts::kFormatCurlCmd, true, true, CaptureFormat::kCurl, WriteCurlCmd},
    {"powershell", texts::kFormatPowerShell, true, true, CaptureFormat::kPowerShell, WritePowerShell},
    {"python", texts::kFormatPython, true, true, CaptureFormat::kPython, WritePython},
    {"javascript", texts::kFormatJavaScript, true, false, CaptureFormat::kJavaScript, WriteJavaScript},
    {"json", texts::kFormatCookieJson, true, false, CaptureFormat::kJson, WriteCookieJson},
    {"json", texts::kFormatHeaderJson, false, true, CaptureFormat::kJsonObject, WriteHeaderJson},
    {"cookies-txt", texts::kFormatCookiesTxt, true, false, CaptureFormat::kCookiesTxt, WriteCookiesTxt},
    {"fetch", texts::kFormatFetch, false, true, CaptureFormat::kFetch, WriteFetch},
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

Exported Export(const Exporter& exporter, const ExportJob& job) { return exporter.write(job); }

}  // namespace ds
