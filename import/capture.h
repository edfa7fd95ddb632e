// Captures as people copy them — a cURL command, a raw request or response,
// header lines, a HAR document, cookies.txt, a JSON cookie export — turned
// into the slot text of the current mode. Text that is none of these stays
// as it is.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "items/analysis_mode.h"
#include "items/slot_parser.h"
#include "items/text.h"

namespace ds {

// What to read the text as; kAuto recognises it.
enum class CaptureFormat { kAuto, kPlain, kCurl, kRaw, kHar, kCookiesTxt, kJson };

// "auto", "plain", "curl", "raw", "har", "cookies-txt", "json".
std::optional<CaptureFormat> CaptureFormatNamed(std::string_view name);

// What was recognised, for the status hint.
enum class CaptureKind {
  kPlain, kCurl, kRequest, kResponse, kHeaderLines, kCookieLine, kSetCookieLines, kHar, kCookiesTxt, kJson,
};

const char* CaptureKindName(CaptureKind kind);  // GBK, as the status hint names it

struct Field {
  Text name;
  Text value;
};

// One request or response: its header lines in order, and cookie records
// that came without a header (a HAR's cookie list, cookies.txt, JSON).
struct HttpMessage {
  Text method;  // requests only
  Text url;
  std::vector<Field> headers;
  std::vector<Field> cookieRecords;
};

struct HarEntry {
  HttpMessage request;
  HttpMessage response;
};

struct Capture {
  CaptureKind kind = CaptureKind::kPlain;
  std::optional<Text> error;      // nothing is to be loaded; GBK message
  HttpMessage message;            // every kind but kHar and kPlain
  std::vector<HarEntry> entries;  // kHar
  size_t defaultEntry = 0;        // the first entry whose request carries a Cookie header
};

// The mode only settles what a guess cannot: whether bare header lines
// without a cookie are headers (HTTP mode) or plain text (Cookies mode).
Capture ReadCapture(std::string_view text, CaptureFormat format, AnalysisMode mode);

// The name=value pairs a message carries: its Cookie headers, else its
// Set-Cookie headers (attributes dropped), else its cookie records.
std::vector<Field> CookiesOf(const HttpMessage& message);

// The slot text of a capture in the mode: Cookies mode one name=value per
// cookie, HTTP mode one header line per header, written with the separators
// in force. Plain text comes back unchanged; `entry` picks a HAR's entry.
Text SlotTextOf(const Capture& capture, std::string_view original, AnalysisMode mode, const Separators& separators,
                size_t entry);

// A HAR entry as offered for choice: "GET https://…".
Text EntryCaption(const HarEntry& entry);

// The companion's pick of a HAR entry: a 1-based number, or the first whose
// URL contains a text; neither gives the default.
struct HarChoice {
  std::optional<long long> number;
  std::optional<Text> urlPart;
};

struct Recognised {
  CaptureKind kind = CaptureKind::kPlain;
  std::optional<Text> error;
  Text slotText;
};

// Reads, picks the HAR entry, and builds the slot text in one go.
Recognised Recognise(std::string_view text, CaptureFormat format, AnalysisMode mode, const Separators& separators,
                     const HarChoice& choice = {});

// Parts read by their own readers; each returns nullopt when the text is not
// of its kind, and sets `error` when it is but cannot be read.
std::optional<HttpMessage> ReadCurl(std::string_view text, std::optional<Text>* error);
std::optional<Capture> ReadHttpLines(std::string_view text, bool needStartLine);
std::optional<HttpMessage> ReadCookiesTxt(std::string_view text, bool strict);
std::optional<Capture> ReadJsonCapture(std::string_view text);

}  // namespace ds
