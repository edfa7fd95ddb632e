// Captures as people copy them — a cURL command or curl -v output, a raw
// request or response, header lines, a HAR document, cookies.txt, a JSON
// cookie export, a browser's PowerShell or fetch copy, a Python dict — turned
// into the slot text of the current mode. Text that is none of these stays
// as it is.
//
// Readers work on the capture's UTF-8 text; only what goes into the slot is
// converted to GBK, and an item that GBK or the slot text cannot hold is
// refused by name rather than changed.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "import/text_decode.h"
#include "items/analysis_mode.h"
#include "items/slot_parser.h"
#include "items/text.h"

namespace ds {

// What to read the text as; kAuto recognises it.
enum class CaptureFormat {
  kAuto, kPlain, kCurl, kCurlVerbose, kRaw, kHar, kCookiesTxt, kJson, kPowerShell, kFetch, kPython, kJavaScript,
  kJsonObject,
};

// "auto", "plain", "curl", "curl-verbose", "raw", "har", "cookies-txt", "json", "powershell", "fetch", "python",
// "javascript", "json-object".
std::optional<CaptureFormat> CaptureFormatNamed(std::string_view name);
// The names above, for a usage text: "auto|plain|…".
std::string CaptureFormatNames();

// A name or value from a capture (UTF-8) as a message shows it: characters
// GBK lacks as U+XXXX, control characters escaped (EscapeForMessage).
Text NameForMessage(std::string_view utf8);

// What was recognised, for the status hint.
enum class CaptureKind {
  kPlain, kCurl, kCurlVerbose, kRequest, kResponse, kHeaderLines, kCookieLine, kSetCookieLines, kHar, kCookiesTxt,
  kJson, kPowerShell, kFetch, kPython, kJavaScript, kJsonObject,
};

const char* CaptureKindName(CaptureKind kind);  // GBK, as the status hint names it

struct Field {  // UTF-8
  std::string name;
  std::string value;
  bool operator==(const Field&) const = default;
};

// One request or response: its header lines in order, and cookie records
// that came without a header (a HAR's cookie list, cookies.txt, JSON).
struct HttpMessage {
  std::string method;  // requests only
  std::string url;
  std::string status;  // responses of a HAR only: "200"; empty when the entry holds none
  std::vector<Field> headers;
  std::vector<Field> cookieRecords;
  std::optional<std::string> body = {};  // requests only, when the capture holds it
  bool operator==(const HttpMessage&) const = default;
};

struct HarEntry {
  HttpMessage request;
  HttpMessage response;
  std::optional<std::string> startedDateTime = {};  // a HAR's, as written
  bool operator==(const HarEntry&) const = default;
};

struct Capture {
  CaptureKind kind = CaptureKind::kPlain;
  std::optional<Text> error;      // nothing is to be loaded; GBK message
  std::optional<size_t> errorOffset;  // a broken document: where it stops, in the UTF-8 text
  HttpMessage message;            // a capture of one message
  std::vector<HarEntry> entries;  // a capture of exchanges: a HAR, curl -v output
  size_t defaultEntry = 0;        // the first entry whose request carries cookies
  bool operator==(const Capture&) const = default;
};

// The mode only settles what a guess cannot: whether bare header lines
// without a cookie are headers (HTTP mode) or plain text (Cookies mode).
Capture ReadCapture(const CaptureText& source, CaptureFormat format, AnalysisMode mode);

// The name=value pairs a message carries: its Cookie headers, else its
// Set-Cookie headers (attributes dropped, folded ones split), else its
// cookie records.
std::vector<Field> CookiesOf(const HttpMessage& message);

// The items an import takes from an exchange (or the one message) in the
// mode, in the capture's order, before they become slot text; items without
// a name are left to the slot text to skip.
std::vector<Field> ItemsOf(const Capture& capture, AnalysisMode mode, size_t entry);

struct SlotText {
  Text text;
  std::optional<Text> error;  // GBK message; nothing is to be loaded
};

// The slot text of a capture in the mode: Cookies mode one name=value per
// cookie, HTTP mode one header line per header, written with the separators
// in force. Plain text comes back as it was; `entry` picks an exchange.
SlotText SlotTextOf(const Capture& capture, const CaptureText& source, AnalysisMode mode,
                    const Separators& separators, size_t entry);

// What to tell beside the import (GBK): that its items are the response's
// Set-Cookie items, since the exchange's request sent no cookie; empty when
// the import took the request's own cookies or headers.
Text ResponseCookiesNote(const Capture& capture, AnalysisMode mode, size_t entry);

// The items of one message's cookies (Cookies mode) or headers (HTTP mode)
// as slot text, as SlotTextOf writes them.
SlotText ItemsTextOf(const HttpMessage& message, AnalysisMode mode, const Separators& separators);

// The same item by item: an item the slot text cannot carry is named in
// `refused` and left out, and the others are still written.
struct RefusedItem {
  Field item;
  Text message;  // GBK, as the import refuses it
};
struct SlotItems {
  Text text;
  std::vector<RefusedItem> refused;
};
SlotItems ItemsTextEach(const HttpMessage& message, AnalysisMode mode, const Separators& separators);

// An exchange as offered for choice: "GET https://…" (GBK, for display).
Text EntryCaption(const HarEntry& entry);

// The companion's pick of an exchange: a 1-based number, or the first whose
// URL contains a text (UTF-8); neither gives the default.
struct HarChoice {
  std::optional<long long> number;
  std::optional<std::string> urlPart;
};

// Where an imported message was sent, as far as the capture tells (UTF-8).
struct CaptureOrigin {
  std::string url;     // as written: may hold only a path
  std::string method;
  std::string host;    // its Host or :authority header
  std::optional<std::string> body = {};
};

// The request of the exchange an import takes, or the one message.
CaptureOrigin OriginOf(const Capture& capture, size_t entry);

struct Recognised {
  CaptureKind kind = CaptureKind::kPlain;
  CaptureOrigin origin;
  std::optional<Text> error;
  Text slotText;
  Text note;  // ResponseCookiesNote's
};

// Why a capture of this kind gives nothing for the mode.
Text NothingToImport(CaptureKind kind, AnalysisMode mode);

// Reads, picks the exchange, and builds the slot text in one go.
Recognised Recognise(const CaptureText& source, CaptureFormat format, AnalysisMode mode,
                     const Separators& separators, const HarChoice& choice = {});

// How a reader is asked: `guessing` when the recogniser tries it on text of
// unknown kind, so it claims only what is surely its own.
struct ReadContext {
  AnalysisMode mode = AnalysisMode::kCookies;
  bool guessing = false;
  bool padded = false;  // platform::kReadPadding readable bytes follow the text
};

// A JSON document read as a HAR, a cookie export or an object of strings
// (nullopt for another shape), by the fast reader (which hands what it
// cannot read to the event parser) or by the event parser alone: both ways
// give the same capture, which the tests and the fuzzer hold them to.
// kFastOnly is the fast reader alone, nullopt where it would hand over.
enum class JsonPath { kFast, kEvents, kFastOnly };
std::optional<Capture> ReadJsonDocument(std::string_view text, AnalysisMode mode, JsonPath path);

// Each reader returns nullopt when the text is not of its kind, and a capture
// with `error` set when it is but cannot be read.
std::optional<Capture> ReadCurl(std::string_view text, const ReadContext& context);
std::optional<Capture> ReadCurlVerbose(std::string_view text, const ReadContext& context);
std::optional<Capture> ReadRawHttp(std::string_view text, const ReadContext& context);
std::optional<Capture> ReadCookiesTxt(std::string_view text, const ReadContext& context);
std::optional<Capture> ReadHar(std::string_view text, const ReadContext& context);
std::optional<Capture> ReadCookieJson(std::string_view text, const ReadContext& context);
std::optional<Capture> ReadPowerShell(std::string_view text, const ReadContext& context);
std::optional<Capture> ReadFetch(std::string_view text, const ReadContext& context);
std::optional<Capture> ReadPythonDicts(std::string_view text, const ReadContext& context);
std::optional<Capture> ReadJsObject(std::string_view text, const ReadContext& context);
std::optional<Capture> ReadJsonObject(std::string_view text, const ReadContext& context);

// Header lines (no start line) as one message; nullopt when a line is none.
std::optional<Capture> ReadHttpLines(std::string_view text, bool needStartLine);

}  // namespace ds
