#include "import/capture.h"

#include <cstdio>

#include "import/texts.h"
#include "platform/file_input.h"
#include "items/sentence.h"
#include "platform/codepage.h"

namespace ds {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// One row a shape: its name for --from, what it is called when told and not
// found, and its reader. Guessing walks the rows in this order, and the first
// reader that claims the text answers.
struct ReaderRow {
  std::string_view name;
  CaptureFormat format;
  CaptureKind kind;
  const char* notThisKind;
  std::optional<Capture> (*read)(std::string_view text, const ReadContext& context);
};

constexpr ReaderRow kReaders[] = {
    {"har", CaptureFormat::kHar, CaptureKind::kHar, texts::kNotHar, ReadHar},
    {"json", CaptureFormat::kJson, CaptureKind::kJson, texts::kNotCookieJson, ReadCookieJson},
    {"json-object", CaptureFormat::kJsonObject, CaptureKind::kJsonObject, texts::kNotJsonObject, ReadJsonObject},
    {"curl", CaptureFormat::kCurl, CaptureKind::kCurl, texts::kNotCurl, ReadCurl},
    {"curl-verbose", CaptureFormat::kCurlVerbose, CaptureKind::kCurlVerbose, texts::kNotCurlVerbose, ReadCurlVerbose},
    {"cookies-txt", CaptureFormat::kCookiesTxt, CaptureKind::kCookiesTxt, texts::kNotCookiesTxt, ReadCookiesTxt},
    {"raw", CaptureFormat::kRaw, CaptureKind::kRequest, texts::kNotHttp, ReadRawHttp},
    // Code comes last: its readers look for their constructs anywhere, and a
    // request's body may hold code.
    {"fetch", CaptureFormat::kFetch, CaptureKind::kFetch, texts::kNotFetch, ReadFetch},
    {"powershell", CaptureFormat::kPowerShell, CaptureKind::kPowerShell, texts::kNotPowerShell, ReadPowerShell},
    {"python", CaptureFormat::kPython, CaptureKind::kPython, texts::kNotPython, ReadPythonDicts},
    // After Python's: a lone dict of either reads the same unless it uses
    // an escape only one language has.
    {"javascript", CaptureFormat::kJavaScript, CaptureKind::kJavaScript, texts::kNotJavaScript, ReadJsObject},
};

bool IsTokenChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

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

// HTTP libraries join the Set-Cookie headers of a response with ", ". A new
// cookie begins only where a name and "=" follow the comma, which the date
// of "Expires=Wed, 21 Oct 2026 …" never is.
std::vector<std::string_view> UnfoldSetCookie(std::string_view value) {
  std::vector<std::string_view> cookies;
  size_t start = 0;
  for (size_t i = value.find(','); i != std::string_view::npos; i = value.find(',', i + 1)) {
    size_t name = value.find_first_not_of(" \t", i + 1);
    if (name == std::string_view::npos) break;
    size_t end = name;
    while (end < value.size() && IsTokenChar(value[end]) && value[end] != '=') ++end;
    if (end == name || end == value.size() || value[end] != '=') continue;
    cookies.push_back(value.substr(start, i - start));
    start = name;
  }
  cookies.push_back(value.substr(start));
  return cookies;
}

bool NamedAs(const Field& f, std::string_view name) { return ToLowerAscii(f.name) == name; }

// One item written as slot text, appended to `out`; or why it cannot be
// written so that the parser reads the same item back.
std::optional<Text> WriteItem(const Field& f, const Separators& separators, Text* out) {
  Text name, value;
  for (auto [utf8, gbk] : {std::pair{&f.name, &name}, std::pair{&f.value, &value}}) {
    GbkConversion c = Utf8AsGbk(*utf8);
    if (c.badOffset) {
      size_t n = 0;
      char32_t code = Utf8CodePointAt(*utf8, *c.badOffset, &n);
      char shown[16];
      std::snprintf(shown, sizeof shown, "U+%04X", static_cast<unsigned>(code));
      return FillIn(texts::kItemNotGbk, {{"name", NameForMessage(f.name)}, {"char", shown}});
    }
    *gbk = std::move(c.gbk);
  }
  for (const Text* t : {&name, &value})
    if (t->find_first_of(std::string_view("\r\n\0", 3)) != Text::npos || Find(*t, separators.line) != -1)
      return FillIn(texts::kItemBreaksLine, {{"name", NameForMessage(f.name)}});
  // Spaces after the separators read well and the parser removes them.
  Text line = name + separators.value + (separators.value == ":" ? " " : "") + value;
  CutLine cut = CutItemLine(line, separators.value);
  if (cut.kind != CutLine::Kind::kItem || cut.name != Trim(name) || cut.value != Trim(value))
    return FillIn(texts::kItemNotReadBack, {{"name", NameForMessage(f.name)}});
  *out += line + separators.line + (separators.line == kCrLf ? "" : " ");
  return std::nullopt;
}

Capture Failed(CaptureKind kind, Text error) {
  Capture c;
  c.kind = kind;
  c.error = std::move(error);
  return c;
}

// A reader's answer made whole: a broken document's place counted in the
// source's bytes, a broken piece of code named.
Capture Finished(Capture c, const CaptureText& source) {
  // The first exchange that sent a Cookie header, else the first that lists
  // cookies sent (an export may keep the list and drop the header).
  auto first = [&c](auto sent) {
    for (size_t i = 0; i < c.entries.size(); ++i)
      if (sent(c.entries[i].request)) return i;
    return c.entries.size();
  };
  c.defaultEntry = first([](const HttpMessage& m) {
    for (const Field& h : m.headers)
      if (NamedAs(h, "cookie")) return true;
    return false;
  });
  if (c.defaultEntry == c.entries.size())
    c.defaultEntry = first([](const HttpMessage& m) { return !m.cookieRecords.empty(); });
  if (c.defaultEntry == c.entries.size()) c.defaultEntry = 0;
  if (c.errorOffset)
    c.error = FillIn(texts::kJsonMalformed, {{"offset", ToText(static_cast<long long>(source.SourceOffset(*c.errorOffset)))}});
  return c;
}

// A response's cookies stand in when the request sent none.
bool TakesResponseCookies(const Capture& capture, AnalysisMode mode, size_t entry) {
  return mode == AnalysisMode::kCookies && entry < capture.entries.size() &&
         CookiesOf(capture.entries[entry].request).empty();
}

const HttpMessage& MessageOf(const Capture& capture, AnalysisMode mode, size_t entry) {
  if (capture.entries.empty()) return capture.message;
  const HarEntry& e = capture.entries[entry];
  return TakesResponseCookies(capture, mode, entry) ? e.response : e.request;
}

// The fields a mode takes from a message.
std::vector<Field> FieldsOf(const HttpMessage& message, AnalysisMode mode) {
  if (mode == AnalysisMode::kCookies) return CookiesOf(message);
  std::vector<Field> fields;
  for (const Field& h : message.headers) {
    if (!NamedAs(h, "set-cookie")) {
      fields.push_back(h);
      continue;
    }
    for (std::string_view one : UnfoldSetCookie(h.value)) fields.push_back({h.name, std::string(one)});
  }
  bool hasCookie = false;
  for (const Field& h : fields) hasCookie = hasCookie || NamedAs(h, "cookie");
  if (!hasCookie && !message.cookieRecords.empty()) {
    Field cookie{"Cookie", {}};
    for (const Field& c : message.cookieRecords)
      cookie.value += (cookie.value.empty() ? "" : "; ") + c.name + "=" + c.value;
    fields.push_back(std::move(cookie));
  }
  return fields;
}

}  // namespace

Text NameForMessage(std::string_view utf8) {
  GbkConversion whole = Utf8AsGbk(utf8);
  if (!whole.badOffset) return EscapeForMessage(whole.gbk);
  Text out;
  for (size_t i = 0, n = 0; i < utf8.size(); i += n) {
    char32_t c = Utf8CodePointAt(utf8, i, &n);
    GbkConversion one = Utf8AsGbk(utf8.substr(i, n));
    if (!one.badOffset) {
      out += one.gbk;
      continue;
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    out += code;
  }
  return EscapeForMessage(out);
}

std::optional<CaptureFormat> CaptureFormatNamed(std::string_view name) {
  if (name == "auto") return CaptureFormat::kAuto;
  if (name == "plain") return CaptureFormat::kPlain;
  for (const ReaderRow& row : kReaders)
    if (row.name == name) return row.format;
  return std::nullopt;
}

std::string CaptureFormatNames() {
  std::string names = "auto|plain";
  for (const ReaderRow& row : kReaders) names.append("|").append(row.name);
  return names;
}

const char* CaptureKindName(CaptureKind kind) {
  switch (kind) {
    case CaptureKind::kPlain: return texts::kKindPlain;
    case CaptureKind::kCurl: return texts::kKindCurl;
    case CaptureKind::kCurlVerbose: return texts::kKindCurlVerbose;
    case CaptureKind::kRequest: return texts::kKindRequest;
    case CaptureKind::kResponse: return texts::kKindResponse;
    case CaptureKind::kHeaderLines: return texts::kKindHeaderLines;
    case CaptureKind::kCookieLine: return texts::kKindCookieLine;
    case CaptureKind::kSetCookieLines: return texts::kKindSetCookieLines;
    case CaptureKind::kHar: return texts::kKindHar;
    case CaptureKind::kCookiesTxt: return texts::kKindCookiesTxt;
    case CaptureKind::kJson: return texts::kKindJson;
    case CaptureKind::kPowerShell: return texts::kKindPowerShell;
    case CaptureKind::kFetch: return texts::kKindFetch;
    case CaptureKind::kPython: return texts::kKindPython;
    case CaptureKind::kJavaScript: return texts::kKindJavaScript;
    case CaptureKind::kJsonObject: return texts::kKindJsonObject;
  }
  return texts::kKindPlain;
}

Capture ReadCapture(const CaptureText& source, CaptureFormat format, AnalysisMode mode) {
  std::string_view text = source.utf8;
  if (format == CaptureFormat::kPlain) return Capture{};
  bool padded = source.utf8.capacity() - source.utf8.size() >= platform::kReadPadding;
  for (const ReaderRow& row : kReaders) {
    if (format != CaptureFormat::kAuto && format != row.format) continue;
    std::optional<Capture> c = row.read(text, {mode, format == CaptureFormat::kAuto, padded});
    if (c) return Finished(std::move(*c), source);
    if (format != CaptureFormat::kAuto) return Failed(row.kind, row.notThisKind);
  }
  return Capture{};
}

std::vector<Field> CookiesOf(const HttpMessage& message) {
  std::vector<Field> cookies;
  for (const Field& h : message.headers)
    if (NamedAs(h, "cookie")) AppendCookiePairs(h.value, &cookies);
  if (!cookies.empty()) return cookies;
  for (const Field& h : message.headers) {
    if (!NamedAs(h, "set-cookie")) continue;
    for (std::string_view one : UnfoldSetCookie(h.value)) AppendCookiePairs(one.substr(0, one.find(';')), &cookies);
  }
  if (!cookies.empty()) return cookies;
  return message.cookieRecords;
}

std::vector<Field> ItemsOf(const Capture& capture, AnalysisMode mode, size_t entry) {
  if (!capture.entries.empty() && entry >= capture.entries.size()) return {};
  return FieldsOf(MessageOf(capture, mode, entry), mode);
}

SlotText SlotTextOf(const Capture& capture, const CaptureText& source, AnalysisMode mode,
                    const Separators& separators, size_t entry) {
  SlotText out;
  if (capture.kind == CaptureKind::kPlain && !capture.error) {
    GbkConversion whole = Utf8AsGbk(source.utf8);
    if (!whole.badOffset) out.text = std::move(whole.gbk);
    else if (source.origin == CaptureText::Origin::kClipboard) out.error = texts::kClipboardNotGbk;
    else out.error = FillIn(texts::kFileNotGbk, {{"offset", ToText(static_cast<long long>(source.SourceOffset(*whole.badOffset)))}});
    return out;
  }
  if (!capture.entries.empty() && entry >= capture.entries.size()) return out;
  return ItemsTextOf(MessageOf(capture, mode, entry), mode, separators);
}

Text ResponseCookiesNote(const Capture& capture, AnalysisMode mode, size_t entry) {
  bool taken = TakesResponseCookies(capture, mode, entry) && !CookiesOf(capture.entries[entry].response).empty();
  return taken ? Text(texts::kFromResponseSetCookie) : Text();
}

SlotText ItemsTextOf(const HttpMessage& message, AnalysisMode mode, const Separators& separators) {
  SlotItems each = ItemsTextEach(message, mode, separators);
  if (each.refused.empty()) return {std::move(each.text), std::nullopt};
  return {{}, std::move(each.refused.front().message)};
}

SlotItems ItemsTextEach(const HttpMessage& message, AnalysisMode mode, const Separators& separators) {
  SlotItems out;
  // A nameless item (a cookie export may hold one) is refused like any the
  // parser would not read back: nothing is dropped unsaid.
  for (const Field& f : FieldsOf(message, mode))
    if (std::optional<Text> error = WriteItem(f, separators, &out.text)) out.refused.push_back({f, std::move(*error)});
  return out;
}

CaptureOrigin OriginOf(const Capture& capture, size_t entry) {
  const HttpMessage& m = capture.entries.empty() ? capture.message
                         : capture.entries[entry < capture.entries.size() ? entry : 0].request;
  CaptureOrigin origin{m.url, m.method, {}, m.body};
  for (const Field& h : m.headers)
    if (origin.host.empty() && (NamedAs(h, "host") || NamedAs(h, ":authority"))) origin.host = h.value;
  return origin;
}

Text EntryCaption(const HarEntry& entry) {
  std::string caption = entry.request.method.empty() ? entry.request.url : entry.request.method + " " + entry.request.url;
  // One line of a list: a line break or an escape sequence shows as written.
  return EscapeForMessage(platform::FromUtf16(platform::ToUtf16(caption, platform::kCodePageUtf8), platform::kCodePageGbk));
}

Recognised Recognise(const CaptureText& source, CaptureFormat format, AnalysisMode mode,
                     const Separators& separators, const HarChoice& choice) {
  Capture capture = ReadCapture(source, format, mode);
  Recognised r;
  r.kind = capture.kind;
  r.error = capture.error;
  if (r.error) return r;
  size_t entry = capture.defaultEntry;
  bool exchanges = !capture.entries.empty();
  if (exchanges && choice.number) {
    if (*choice.number < 1 || static_cast<unsigned long long>(*choice.number) > capture.entries.size()) {
      r.error = FillIn(texts::kHarNoEntryNumber, {{"kind", CaptureKindName(capture.kind)}, {"number", ToText(*choice.number)}});
      return r;
    }
    entry = static_cast<size_t>(*choice.number - 1);
  } else if (exchanges && choice.urlPart) {
    entry = capture.entries.size();
    for (size_t i = 0; i < capture.entries.size() && entry == capture.entries.size(); ++i)
      if (capture.entries[i].request.url.find(*choice.urlPart) != std::string::npos) entry = i;
    if (entry == capture.entries.size()) {
      r.error = FillIn(texts::kHarNoEntryUrl, {{"kind", CaptureKindName(capture.kind)}, {"text", NameForMessage(*choice.urlPart)}});
      return r;
    }
  }
  SlotText slot = SlotTextOf(capture, source, mode, separators, entry);
  r.origin = OriginOf(capture, entry);
  r.note = ResponseCookiesNote(capture, mode, entry);
  r.error = std::move(slot.error);
  r.slotText = std::move(slot.text);
  // An empty slot would compare as if the capture had nothing to differ in.
  if (!r.error && r.slotText.empty() && capture.kind != CaptureKind::kPlain)
    r.error = NothingToImport(capture.kind, mode);
  return r;
}

Text NothingToImport(CaptureKind kind, AnalysisMode mode) {
  // A browser's fetch copy leaves cookies to the browser: say where they are.
  if (kind == CaptureKind::kFetch && mode == AnalysisMode::kCookies) return texts::kFetchWithoutCookie;
  return FillIn(texts::kNothingToImport, {{"kind", CaptureKindName(kind)}, {"mode", ModeWord(mode)}});
}

}  // namespace ds
