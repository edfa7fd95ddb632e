// Line-based captures: a raw HTTP request or response, bare header lines,
// curl -v output, and Netscape cookies.txt.
#include <string_view>

#include "import/capture.h"
#include "import/lines.h"

namespace ds {
namespace {

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && IsSpaceOrTab(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpaceOrTab(s.back())) s.remove_suffix(1);
  return s;
}

bool IsBlankLine(std::string_view line) { return TrimSpaces(line).empty(); }

bool IsTokenChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

// "Name: value", the name a token (HTTP/2 pseudo-headers keep their colon).
std::optional<Field> HeaderLine(std::string_view line) {
  size_t start = !line.empty() && line[0] == ':' ? 1 : 0;
  size_t end = start;
  while (end < line.size() && IsTokenChar(line[end])) ++end;
  if (end == start || end >= line.size() || line[end] != ':') return std::nullopt;
  return Field{Text(line.substr(0, end)), Text(TrimSpaces(line.substr(end + 1)))};
}

std::vector<std::string_view> SplitAt(std::string_view s, char c) {
  std::vector<std::string_view> parts;
  for (;;) {
    size_t at = s.find(c);
    parts.push_back(s.substr(0, at));
    if (at == std::string_view::npos) return parts;
    s.remove_prefix(at + 1);
  }
}

std::vector<std::string_view> SplitAtSpaces(std::string_view s) {
  std::vector<std::string_view> parts;
  for (std::string_view part : SplitAt(s, ' '))
    for (std::string_view piece : SplitAt(part, '\t'))
      if (!piece.empty()) parts.push_back(piece);
  return parts;
}

bool IsHttpVersion(std::string_view s) { return s.starts_with("HTTP/") && s.size() > 5; }

// "GET /path HTTP/1.1" or "HTTP/1.1 200 OK".
std::optional<CaptureKind> StartLine(std::string_view line, HttpMessage* message) {
  std::vector<std::string_view> parts = SplitAtSpaces(line);
  if (parts.size() >= 2 && IsHttpVersion(parts[0]) && parts[1].size() == 3 &&
      parts[1].find_first_not_of("0123456789") == std::string_view::npos)
    return CaptureKind::kResponse;
  if (parts.size() != 3 || !IsHttpVersion(parts[2])) return std::nullopt;
  for (char c : parts[0])
    if (!IsTokenChar(c)) return std::nullopt;
  message->method = std::string(parts[0]);
  message->url = std::string(parts[1]);
  return CaptureKind::kRequest;
}

bool NamedAs(const HttpMessage& m, std::string_view name) {
  for (const Field& h : m.headers)
    if (ToLowerAscii(h.name) != name) return false;
  return true;
}

bool IsTrueOrFalse(std::string_view s) {
  Text upper = ToUpperAscii(s);
  return upper == "TRUE" || upper == "FALSE";
}

}  // namespace

// Headers copied from a browser's parsed view put each name, with its colon,
// on a line of its own and the value on the next: "cookie:" then "a=1; b=2".
// Every pair must read so; a value line may itself look like a header.
static std::optional<std::vector<Field>> NameAndValueLines(const std::vector<std::string_view>& all) {
  std::vector<std::string_view> lines;
  for (std::string_view line : all)
    if (!IsBlankLine(line)) lines.push_back(line);
  if (lines.size() < 2 || lines.size() % 2 != 0) return std::nullopt;
  std::vector<Field> headers;
  for (size_t i = 0; i < lines.size(); i += 2) {
    std::optional<Field> name = HeaderLine(TrimSpaces(lines[i]));
    if (!name || !name->value.empty()) return std::nullopt;
    headers.push_back({name->name, Text(TrimSpaces(lines[i + 1]))});
  }
  return headers;
}

std::optional<Capture> ReadHttpLines(std::string_view text, bool needStartLine) {
  std::vector<std::string_view> lines = SplitLines(text);
  size_t i = 0;
  while (i < lines.size() && IsBlankLine(lines[i])) ++i;
  if (i == lines.size()) return std::nullopt;
  Capture capture;
  if (!needStartLine) {
    if (std::optional<std::vector<Field>> headers = NameAndValueLines(lines)) {
      capture.message.headers = std::move(*headers);
      capture.kind = CaptureKind::kHeaderLines;
      return capture;
    }
  }
  std::optional<CaptureKind> start = StartLine(lines[i], &capture.message);
  if (!start && needStartLine) return std::nullopt;
  if (start) ++i;
  for (; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (IsBlankLine(line)) {
      if (start) break;  // the body follows
      continue;
    }
    if (IsSpaceOrTab(line[0]) && !capture.message.headers.empty()) {  // a folded line goes on
      Text& value = capture.message.headers.back().value;
      value += value.empty() ? "" : " ";
      value += TrimSpaces(line);
      continue;
    }
    std::optional<Field> header = HeaderLine(line);
    if (header) capture.message.headers.push_back(std::move(*header));
    else if (!start) return std::nullopt;  // bare lines must all be headers
  }
  if (start) {
    capture.kind = *start;
  } else {
    if (capture.message.headers.empty()) return std::nullopt;
    capture.kind = NamedAs(capture.message, "cookie")       ? CaptureKind::kCookieLine
                   : NamedAs(capture.message, "set-cookie") ? CaptureKind::kSetCookieLines
                                                            : CaptureKind::kHeaderLines;
  }
  return capture;
}

namespace {

bool IsNumber(std::string_view s) {
  if (!s.empty() && s[0] == '-') s.remove_prefix(1);
  size_t dot = s.find('.');
  std::string_view whole = s.substr(0, dot), fraction = dot == std::string_view::npos ? "x" : s.substr(dot + 1);
  auto digits = [](std::string_view d) { return !d.empty() && d.find_first_not_of("0123456789") == std::string_view::npos; };
  return digits(whole) && (dot == std::string_view::npos || digits(fraction));
}

// "> " and "< " lines of one exchange, without their marks.
struct VerboseExchange {
  std::string request, response;
};

std::optional<HttpMessage> MessageOf(const std::string& lines) {
  std::optional<Capture> c = ReadHttpLines(lines, true);
  if (!c) return std::nullopt;
  return std::move(c->message);
}

}  // namespace

// Records are seven TAB-separated fields: domain, subdomains (TRUE/FALSE),
// path, secure (TRUE/FALSE), expiry (a number), name, value. A line of any
// other shape means the text is something else.
std::optional<Capture> ReadCookiesTxt(std::string_view text, const ReadContext&) {
  Capture capture;
  capture.kind = CaptureKind::kCookiesTxt;
  bool heading = false;
  for (std::string_view line : SplitLines(text)) {
    if (IsBlankLine(line)) continue;
    if (line.starts_with("#HttpOnly_")) {
      line.remove_prefix(10);
    } else if (line[0] == '#') {
      if (line.starts_with("# Netscape HTTP Cookie File") || line.starts_with("# HTTP Cookie File")) heading = true;
      continue;
    }
    std::vector<std::string_view> fields = SplitAt(line, '\t');
    if (fields.size() != 7 || fields[0].empty() || !IsTrueOrFalse(fields[1]) || !IsTrueOrFalse(fields[3]) ||
        !IsNumber(fields[4]))
      return std::nullopt;
    capture.message.cookieRecords.push_back({std::string(fields[5]), std::string(fields[6])});
  }
  if (capture.message.cookieRecords.empty() && !heading) return std::nullopt;
  return capture;
}

std::optional<Capture> ReadRawHttp(std::string_view text, const ReadContext& context) {
  std::optional<Capture> c = ReadHttpLines(text, false);
  // Bare header lines that carry no cookie are, in Cookies mode, more likely
  // a cookie string whose name holds a colon.
  if (c && context.guessing && c->kind == CaptureKind::kHeaderLines && context.mode == AnalysisMode::kCookies &&
      CookiesOf(c->message).empty())
    return std::nullopt;
  return c;
}

// curl -v writes what it sends behind "> " and what it receives behind
// "< ", among its own "* " notes and the body; with -L, one exchange after
// another.
std::optional<Capture> ReadCurlVerbose(std::string_view text, const ReadContext&) {
  std::vector<VerboseExchange> exchanges;
  bool inResponse = false;
  for (std::string_view line : SplitLines(text)) {
    char mark = line.empty() ? 0 : line[0];
    if ((mark != '>' && mark != '<') || (line.size() > 1 && line[1] != ' ')) continue;
    std::string_view content = line.substr(std::min<size_t>(2, line.size()));
    HttpMessage probe;
    if (mark == '>' && StartLine(content, &probe) == CaptureKind::kRequest) {
      exchanges.emplace_back();
      inResponse = false;
    } else if (mark == '<' && StartLine(content, &probe) == CaptureKind::kResponse) {
      if (exchanges.empty() || inResponse) exchanges.emplace_back();
      inResponse = true;
    }
    if (exchanges.empty()) continue;
    std::string& block = mark == '>' ? exchanges.back().request : exchanges.back().response;
    block.append(content).append("\n");
  }
  if (exchanges.empty()) return std::nullopt;
  Capture capture;
  capture.kind = CaptureKind::kCurlVerbose;
  for (const VerboseExchange& x : exchanges) {
    HarEntry entry;
    if (std::optional<HttpMessage> m = MessageOf(x.request)) entry.request = std::move(*m);
    if (std::optional<HttpMessage> m = MessageOf(x.response)) entry.response = std::move(*m);
    // A URL as the caption shows it: the Host header before the target.
    for (const Field& h : entry.request.headers)
      if (ToLowerAscii(h.name) == "host" && entry.request.url.starts_with("/")) entry.request.url = h.value + entry.request.url;
    capture.entries.push_back(std::move(entry));
  }
  return capture;
}

}  // namespace ds
