#include "import/capture.h"

#include "import/text_decode.h"
#include "import/texts.h"
#include "items/sentence.h"

namespace ds {
namespace {

constexpr std::string_view kCrLf = "\r\n";

size_t FirstNonBlank(std::string_view t) {
  size_t i = 0;
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\r' || t[i] == '\n')) ++i;
  return i;
}

// "{" or "[" followed by a key, an object or "]": a JSON document is meant,
// so a broken one is an error rather than plain text.
bool LooksLikeJson(std::string_view t) {
  size_t i = FirstNonBlank(t);
  if (i == t.size() || (t[i] != '{' && t[i] != '[')) return false;
  std::string_view rest = t.substr(i + 1);
  size_t j = FirstNonBlank(rest);
  if (j == rest.size()) return true;
  return rest[j] == '"' || rest[j] == '{' || rest[j] == ']' || rest[j] == '}';
}

Capture Failed(CaptureKind kind, Text error) {
  Capture c;
  c.kind = kind;
  c.error = std::move(error);
  return c;
}

Capture OfMessage(CaptureKind kind, HttpMessage message) {
  Capture c;
  c.kind = kind;
  c.message = std::move(message);
  return c;
}

// Line breaks would cut an item in two; values keep everything else.
Text OneLine(std::string_view s) { return Replace(Replace(s, "\r"), "\n"); }

// "a=1; b=2" as pairs; a piece without "=" is a name with an empty value.
void AppendCookiePairs(std::string_view header, std::vector<Field>* out) {
  while (!header.empty()) {
    size_t end = header.find(';');
    Text piece = Trim(header.substr(0, end));
    if (!piece.empty()) {
      size_t eq = piece.find('=');
      out->push_back({Trim(piece.substr(0, eq)), eq == Text::npos ? Text() : Trim(piece.substr(eq + 1))});
    }
    if (end == std::string_view::npos) break;
    header.remove_prefix(end + 1);
  }
}

}  // namespace

std::optional<CaptureFormat> CaptureFormatNamed(std::string_view name) {
  if (name == "auto") return CaptureFormat::kAuto;
  if (name == "plain") return CaptureFormat::kPlain;
  if (name == "curl") return CaptureFormat::kCurl;
  if (name == "raw") return CaptureFormat::kRaw;
  if (name == "har") return CaptureFormat::kHar;
  if (name == "cookies-txt") return CaptureFormat::kCookiesTxt;
  if (name == "json") return CaptureFormat::kJson;
  return std::nullopt;
}

const char* CaptureKindName(CaptureKind kind) {
  switch (kind) {
    case CaptureKind::kPlain: return texts::kKindPlain;
    case CaptureKind::kCurl: return texts::kKindCurl;
    case CaptureKind::kRequest: return texts::kKindRequest;
    case CaptureKind::kResponse: return texts::kKindResponse;
    case CaptureKind::kHeaderLines: return texts::kKindHeaderLines;
    case CaptureKind::kCookieLine: return texts::kKindCookieLine;
    case CaptureKind::kSetCookieLines: return texts::kKindSetCookieLines;
    case CaptureKind::kHar: return texts::kKindHar;
    case CaptureKind::kCookiesTxt: return texts::kKindCookiesTxt;
    case CaptureKind::kJson: return texts::kKindJson;
  }
  return texts::kKindPlain;
}

Capture ReadCapture(std::string_view text, CaptureFormat format, AnalysisMode mode) {
  Capture plain;
  switch (format) {
    case CaptureFormat::kPlain:
      return plain;
    case CaptureFormat::kCurl: {
      std::optional<Text> error;
      std::optional<HttpMessage> m = ReadCurl(text, &error);
      if (!m) return Failed(CaptureKind::kCurl, error.value_or(texts::kNotCurl));
      return OfMessage(CaptureKind::kCurl, std::move(*m));
    }
    case CaptureFormat::kRaw: {
      std::optional<Capture> c = ReadHttpLines(text, false);
      return c ? std::move(*c) : Failed(CaptureKind::kRequest, texts::kNotHttp);
    }
    case CaptureFormat::kCookiesTxt: {
      std::optional<HttpMessage> m = ReadCookiesTxt(text, false);
      if (!m) return Failed(CaptureKind::kCookiesTxt, texts::kNotCookiesTxt);
      return OfMessage(CaptureKind::kCookiesTxt, std::move(*m));
    }
    case CaptureFormat::kHar:
    case CaptureFormat::kJson: {
      std::optional<Capture> c = ReadJsonCapture(text);
      bool har = format == CaptureFormat::kHar;
      if (!c) return Failed(har ? CaptureKind::kHar : CaptureKind::kJson, har ? texts::kNotHar : texts::kNotCookieJson);
      if (!c->error && c->kind != (har ? CaptureKind::kHar : CaptureKind::kJson))
        return Failed(c->kind, har ? texts::kNotHar : texts::kNotCookieJson);
      return std::move(*c);
    }
    case CaptureFormat::kAuto:
      break;
  }
  if (LooksLikeJson(text)) {
    std::optional<Capture> c = ReadJsonCapture(text);
    return c ? std::move(*c) : plain;  // JSON of another shape is left alone
  }
  std::optional<Text> error;
  if (std::optional<HttpMessage> m = ReadCurl(text, &error)) return OfMessage(CaptureKind::kCurl, std::move(*m));
  if (error) return Failed(CaptureKind::kCurl, *error);
  if (std::optional<HttpMessage> m = ReadCookiesTxt(text, true)) return OfMessage(CaptureKind::kCookiesTxt, std::move(*m));
  // Bare header lines that carry no cookie are, in Cookies mode, more likely
  // a cookie string whose name holds a colon.
  if (std::optional<Capture> c = ReadHttpLines(text, false))
    if (c->kind != CaptureKind::kHeaderLines || mode == AnalysisMode::kHttp || !CookiesOf(c->message).empty())
      return std::move(*c);
  return plain;
}

std::vector<Field> CookiesOf(const HttpMessage& message) {
  std::vector<Field> cookies;
  for (const Field& h : message.headers)
    if (ToLowerAscii(h.name) == "cookie") AppendCookiePairs(h.value, &cookies);
  if (!cookies.empty()) return cookies;
  for (const Field& h : message.headers) {
    if (ToLowerAscii(h.name) != "set-cookie") continue;
    std::vector<Field> pairs;
    AppendCookiePairs(std::string_view(h.value).substr(0, h.value.find(';')), &pairs);
    cookies.insert(cookies.end(), pairs.begin(), pairs.end());
  }
  if (!cookies.empty()) return cookies;
  return message.cookieRecords;
}

Text SlotTextOf(const Capture& capture, std::string_view original, AnalysisMode mode, const Separators& separators,
                size_t entry) {
  if (capture.kind == CaptureKind::kPlain && !capture.error) return Text(original);
  const HttpMessage* message = &capture.message;
  if (capture.kind == CaptureKind::kHar) {
    if (entry >= capture.entries.size()) return Text();
    message = &capture.entries[entry].request;
    // A response's cookies when the request sent none.
    if (mode == AnalysisMode::kCookies && CookiesOf(*message).empty()) message = &capture.entries[entry].response;
  }
  // Spaces after the separators read well and the parser removes them.
  Text afterLine = separators.line == kCrLf ? "" : " ";
  Text afterValue = separators.value == ":" ? " " : "";
  std::vector<Field> fields;
  if (mode == AnalysisMode::kCookies) {
    fields = CookiesOf(*message);
  } else {
    fields = message->headers;
    if (fields.empty() && !message->cookieRecords.empty()) {
      Field cookie{"Cookie", {}};
      for (const Field& c : message->cookieRecords)
        cookie.value += (cookie.value.empty() ? "" : "; ") + c.name + "=" + c.value;
      fields.push_back(std::move(cookie));
    }
  }
  Text out;
  for (const Field& f : fields) {
    if (f.name.empty()) continue;
    out += OneLine(f.name) + separators.value + afterValue + OneLine(f.value) + separators.line + afterLine;
  }
  return out;
}

Text EntryCaption(const HarEntry& entry) {
  return OneLine(entry.request.method.empty() ? entry.request.url : entry.request.method + " " + entry.request.url);
}

Recognised Recognise(std::string_view text, CaptureFormat format, AnalysisMode mode, const Separators& separators,
                     const HarChoice& choice) {
  Capture capture = ReadCapture(text, format, mode);
  Recognised r;
  r.kind = capture.kind;
  r.error = capture.error;
  if (r.error) return r;
  size_t entry = capture.defaultEntry;
  bool har = capture.kind == CaptureKind::kHar;
  if (har && choice.number) {
    if (*choice.number < 1 || static_cast<unsigned long long>(*choice.number) > capture.entries.size()) {
      r.error = FillIn(texts::kHarNoEntryNumber, {{"number", ToText(*choice.number)}});
      return r;
    }
    entry = static_cast<size_t>(*choice.number - 1);
  } else if (har && choice.urlPart) {
    entry = capture.entries.size();
    for (size_t i = 0; i < capture.entries.size() && entry == capture.entries.size(); ++i)
      if (capture.entries[i].request.url.find(*choice.urlPart) != Text::npos) entry = i;
    if (entry == capture.entries.size()) {
      r.error = FillIn(texts::kHarNoEntryUrl, {{"text", *choice.urlPart}});
      return r;
    }
  }
  r.slotText = SlotTextOf(capture, text, mode, separators, entry);
  // An empty slot would compare as if the capture had nothing to differ in.
  if (r.slotText.empty() && capture.kind != CaptureKind::kPlain)
    r.error = FillIn(texts::kNothingToImport, {{"kind", CaptureKindName(capture.kind)}, {"mode", ModeWord(mode)}});
  return r;
}

}  // namespace ds
