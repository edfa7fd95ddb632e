// Captures that browsers and converters write as code: "Copy as
// PowerShell", "Copy as fetch" (browser and Node.js), and the Python dicts
// that crawler code keeps its cookies and headers in.
#include <cctype>

#include "import/capture.h"
#include "import/code_literals.h"
#include "import/texts.h"
#include "items/sentence.h"

namespace ds {
namespace {

// A reader that stopped: an item that is no constant, else a cut-off text.
Capture Broken(CaptureKind kind, const CodeScanner& s) {
  Capture c;
  c.kind = kind;
  if (const std::optional<CodeScanner::Refusal>& r = s.refusal())
    c.error = FillIn(r->ofName ? texts::kNameNotConstant : texts::kValueNotConstant,
                     {{"kind", CaptureKindName(kind)}, {"name", NameForMessage(r->name)}});
  else
    c.error = FillIn(texts::kCodeUnbalanced, {{"kind", CaptureKindName(kind)}});
  return c;
}

// `name = {` at `at` (a word of its own, not `==`): the place of the
// brace, or npos.
size_t DictAssignmentAt(std::string_view text, std::string_view name, size_t at) {
  if (text.substr(at, name.size()) != name) return std::string_view::npos;
  if (at > 0 && (std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '_' || text[at - 1] == '.'))
    return std::string_view::npos;
  size_t i = text.find_first_not_of(" \t", at + name.size());
  if (i == std::string_view::npos || text[i] != '=' || text.substr(i + 1, 1) == "=") return std::string_view::npos;
  i = text.find_first_not_of(" \t", i + 1);
  return i != std::string_view::npos && text[i] == '{' ? i : std::string_view::npos;
}

// A constant after optional blanks into `out`; refused under `item` when
// it is none.
void ReadScalar(CodeScanner& s, std::string_view item, std::string* out,
                CodeScanner::Place place = CodeScanner::Place::kItem) {
  s.SkipBlanks();
  if (std::optional<std::string> v = s.Constant(item, place)) *out = std::move(*v);
}

// One request as the capture's message; several as its exchanges, offered
// for choice as a HAR's entries are.
Capture OneOrMore(CaptureKind kind, std::vector<HttpMessage> requests) {
  Capture capture;
  capture.kind = kind;
  if (requests.size() == 1) capture.message = std::move(requests[0]);
  else
    for (HttpMessage& r : requests) capture.entries.push_back({std::move(r), {}});
  return capture;
}

}  // namespace

// Invoke-WebRequest -Uri "…" -WebSession $session -Headers @{ "k"="v" … }
// after "$session.Cookies.Add((New-Object System.Net.Cookie("n", "v", …)))"
// lines; the user agent as the session's, the content type as an option.
std::optional<Capture> ReadPowerShell(std::string_view text, const ReadContext& context) {
  std::string lower = ToLowerAscii(text);
  bool mentioned = false;
  for (std::string_view word : {"invoke-webrequest", "invoke-restmethod", "webrequestsession", "system.net.cookie"})
    mentioned = mentioned || lower.find(word) != std::string::npos;
  if (!mentioned) return std::nullopt;
  std::vector<HttpMessage> requests;
  HttpMessage m;
  std::string userAgent, contentType;
  bool invoked = false;  // the request of `m` has been sent: what follows is another
  auto finish = [&] {
    if (!userAgent.empty()) m.headers.push_back({"User-Agent", userAgent});
    if (!contentType.empty()) m.headers.push_back({"Content-Type", contentType});
    if (m.method.empty()) m.method = "GET";
    requests.push_back(std::move(m));
    m = {};
    userAgent.clear();
    contentType.clear();
    invoked = false;
  };
  CodeScanner s(text, CodeLanguage::kPowerShell);
  while (!s.AtEnd()) {
    s.SkipBlanks();
    if (s.AtString()) {
      s.String();
    } else if (s.AtWordStart() && s.Take("New-Object Microsoft.PowerShell.Commands.WebRequestSession", true)) {
      // "Copy all as PowerShell": each request comes with a session of its own.
      if (invoked) finish();
    } else if (s.AtWordStart() && (s.Take("Invoke-WebRequest", true) || s.Take("Invoke-RestMethod", true))) {
      if (invoked) finish();
      invoked = true;
    } else if (s.Take("System.Net.Cookie", true)) {
      s.SkipBlanks();
      if (!s.Take("(")) continue;
      // The name as written names a cookie whose name is no constant.
      size_t start = s.at();
      std::optional<std::string> name = s.Constant(text.substr(start, text.find_first_of(",)\r\n", start) - start),
                                                   CodeScanner::Place::kCall, true);
      s.SkipBlanks();
      if (!name || !s.Take(",")) continue;
      if (std::optional<std::string> value = s.Constant(*name, CodeScanner::Place::kCall))
        m.cookieRecords.push_back({std::move(*name), std::move(*value)});
    } else if (s.AtWordStart() && s.Take("-Headers", true)) {
      s.SkipBlanks();
      if (std::optional<std::vector<Field>> headers = s.Dict())
        m.headers.insert(m.headers.end(), headers->begin(), headers->end());
    } else if (s.AtWordStart() && s.Take("-Uri", true)) {
      ReadScalar(s, "-Uri", &m.url, CodeScanner::Place::kArgument);
    } else if (s.AtWordStart() && s.Take("-Method", true)) {
      ReadScalar(s, "-Method", &m.method, CodeScanner::Place::kArgument);
    } else if (s.AtWordStart() && s.Take("-ContentType", true)) {
      ReadScalar(s, "Content-Type", &contentType, CodeScanner::Place::kArgument);
    } else if (s.AtWordStart() && s.Take("-UserAgent", true)) {
      ReadScalar(s, "User-Agent", &userAgent, CodeScanner::Place::kArgument);
    } else if (s.Take(".UserAgent", true)) {
      s.SkipBlanks();
      s.Take("=");
      ReadScalar(s, "User-Agent", &userAgent);
    } else if (!s.AtEnd()) {
      s.Advance();
    }
    if (s.broken()) return Broken(CaptureKind::kPowerShell, s);
  }
  // The words inside another language's strings (a Python value) make no
  // command: a guess leaves such text to the other readers.
  if (context.guessing && requests.empty() && m.cookieRecords.empty() && m.headers.empty() && m.url.empty() &&
      userAgent.empty() && contentType.empty())
    return std::nullopt;
  finish();
  return OneOrMore(CaptureKind::kPowerShell, std::move(requests));
}

// fetch("url", { "headers": { … }, "method": "POST", … }), with or without
// "await"; JavaScript's string escapes. "Copy all as fetch" writes one call
// after another.
std::optional<Capture> ReadFetch(std::string_view text, const ReadContext&) {
  CodeScanner s(text, CodeLanguage::kJavaScript);
  std::vector<HttpMessage> requests;
  for (;;) {
    s.SkipBlanks();
    while (s.Take(";")) s.SkipBlanks();
    if (s.AtEnd() && !requests.empty()) break;
    s.Take("await");
    s.SkipBlanks();
    if (!s.Take("fetch")) {
      if (requests.empty()) return std::nullopt;
      break;  // what follows the calls is left alone
    }
    s.SkipBlanks();
    if (!s.Take("(")) return requests.empty() ? std::nullopt : std::optional(Broken(CaptureKind::kFetch, s));
    HttpMessage& m = requests.emplace_back();
    s.SkipBlanks();
    // A URL that is not even a literal (a variable): no copy of a request.
    if (!s.AtString()) return requests.size() > 1 ? std::optional(Broken(CaptureKind::kFetch, s)) : std::nullopt;
    std::optional<std::string> url = s.Constant("url", CodeScanner::Place::kCall);
    if (!url) return Broken(CaptureKind::kFetch, s);
    m.url = std::move(*url);
    s.SkipBlanks();
    if (s.Take(",")) {
      s.SkipBlanks();
      if (!s.Take("{")) return Broken(CaptureKind::kFetch, s);
      for (;;) {
        s.SkipBlanks();
        if (s.Take("}")) break;
        if (s.Take(",")) continue;
        std::optional<std::string> key = s.Key();
        s.SkipBlanks();
        if (!key || !s.Take(":")) return Broken(CaptureKind::kFetch, s);
        s.SkipBlanks();
        if (*key == "headers") {
          std::optional<std::vector<Field>> headers = s.Dict();
          if (!headers) return Broken(CaptureKind::kFetch, s);
          m.headers = std::move(*headers);
        } else if (*key == "method") {
          ReadScalar(s, "method", &m.method);
        } else {
          s.SkipValue();  // the body and the like hold no item
        }
        if (s.broken() || s.AtEnd()) return Broken(CaptureKind::kFetch, s);
      }
      s.SkipBlanks();
    }
    if (!s.Take(")")) return Broken(CaptureKind::kFetch, s);
    if (m.method.empty()) m.method = "GET";
  }
  return OneOrMore(CaptureKind::kFetch, std::move(requests));
}

// cookies = {'a': '1', "b": "2"} and headers = {…}, as assignments or as
// keyword arguments; a lone dict is the mode's items.
std::optional<Capture> ReadPythonDicts(std::string_view text, const ReadContext& context) {
  Capture capture;
  capture.kind = CaptureKind::kPython;
  HttpMessage& m = capture.message;
  bool found = false;
  CodeScanner s(text, CodeLanguage::kPython);
  s.SkipBlanks();
  if (std::optional<std::vector<Field>> lone = s.Dict()) {
    s.SkipBlanks();
    if (s.AtEnd()) {
      (context.mode == AnalysisMode::kCookies ? m.cookieRecords : m.headers) = std::move(*lone);
      return capture;
    }
  }
  // A lone object with bare names is JavaScript's: left to its reader.
  if (s.refusal() && s.refusal()->ofName && context.guessing) return std::nullopt;
  if (s.broken()) return Broken(capture.kind, s);
  // Assignments outside string literals and comments: a value may hold the
  // text "cookies = {".
  s = CodeScanner(text, CodeLanguage::kPython);
  while (!s.AtEnd()) {
    s.SkipBlanks();
    if (s.AtString()) {
      if (!s.String()) return Broken(capture.kind, s);
      continue;
    }
    bool took = false;
    for (std::string_view name : {"cookies", "headers"}) {
      size_t brace = s.AtEnd() ? std::string_view::npos : DictAssignmentAt(text, name, s.at());
      if (brace == std::string_view::npos) continue;
      s.Seek(brace);
      std::optional<std::vector<Field>> dict = s.Dict();
      if (!dict) return Broken(capture.kind, s);
      std::vector<Field>& into = name == "cookies" ? m.cookieRecords : m.headers;
      into.insert(into.end(), dict->begin(), dict->end());
      found = took = true;
      break;
    }
    if (!took && !s.AtEnd()) s.Advance();
  }
  if (!found) return std::nullopt;
  return capture;
}

// A bare object literal ({"a": "1", b: '2'}, a ";" after it allowed) holds
// the mode's items.
std::optional<Capture> ReadJsObject(std::string_view text, const ReadContext& context) {
  CodeScanner s(text, CodeLanguage::kJavaScript);
  s.SkipBlanks();
  std::optional<std::vector<Field>> fields = s.Dict();
  if (!fields) return s.broken() ? std::optional(Broken(CaptureKind::kJavaScript, s)) : std::nullopt;
  s.SkipBlanks();
  s.Take(";");
  s.SkipBlanks();
  if (!s.AtEnd()) return std::nullopt;
  Capture capture;
  capture.kind = CaptureKind::kJavaScript;
  (context.mode == AnalysisMode::kCookies ? capture.message.cookieRecords : capture.message.headers) = std::move(*fields);
  return capture;
}

}  // namespace ds
