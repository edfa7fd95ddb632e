// Line-based captures: a raw HTTP request or response, bare header lines,
// and Netscape cookies.txt.
#include <string_view>

#include "import/capture.h"

namespace ds {
namespace {

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

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
  message->method = Text(parts[0]);
  message->url = Text(parts[1]);
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
std::optional<std::vector<Field>> NameAndValueLines(const std::vector<std::string_view>& all) {
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
  std::vector<std::string_view> lines = Lines(text);
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

// Records are tab-separated: domain, subdomains, path, secure, expiry, name,
// value. `strict` (when guessing) wants the file's heading or every line a
// record with its two TRUE/FALSE fields; otherwise what reads as a record is taken.
std::optional<HttpMessage> ReadCookiesTxt(std::string_view text, bool strict) {
  HttpMessage message;
  bool heading = false;
  for (std::string_view line : Lines(text)) {
    if (IsBlankLine(line)) continue;
    if (line.starts_with("#HttpOnly_")) {
      line.remove_prefix(10);
    } else if (line[0] == '#') {
      if (line.starts_with("# Netscape HTTP Cookie File") || line.starts_with("# HTTP Cookie File")) heading = true;
      continue;
    }
    std::vector<std::string_view> fields = SplitAt(line, '\t');
    bool tabbed = fields.size() >= 6 && IsTrueOrFalse(fields[1]) && IsTrueOrFalse(fields[3]);
    if (!tabbed && !(strict && !heading)) fields = SplitAtSpaces(line);
    if (fields.size() < 6 || (strict && !heading && !tabbed)) {
      if (strict && !heading) return std::nullopt;
      continue;
    }
    message.cookieRecords.push_back({Text(fields[5]), fields.size() > 6 ? Text(fields[6]) : Text()});
  }
  if (message.cookieRecords.empty() && !heading) return std::nullopt;
  return message;
}

}  // namespace ds
