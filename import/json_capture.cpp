// HAR documents and JSON cookie exports, read in their own UTF-8: only the
// few strings a capture needs are kept, so a HAR of many megabytes of
// response bodies, emoji and all, costs little more than its reading.
// simdjson's on-demand reader goes through the document at memory speed as
// events, keeping no tree: the parts no capture needs are only checked. A
// document it refuses, or a number whose written form matters, is read again
// by the event parser, which tells where the fault lies.
#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include <nlohmann/json.hpp>
#include <simdjson.h>

#include "import/capture.h"
#include "import/texts.h"
#include "platform/file_input.h"

namespace ds {
namespace {

using Json = nlohmann::json;

// Where in the document an event is: only these places are read.
enum class Place {
  kIgnored, kRoot, kLog, kEntries, kEntry, kRequest, kResponse, kHeaders, kCookies, kField, kCookieList, kCookie,
  kPostData,
};

class CaptureReader {
 public:
  using number_integer_t = Json::number_integer_t;
  using number_unsigned_t = Json::number_unsigned_t;
  using number_float_t = Json::number_float_t;
  using string_t = Json::string_t;
  using binary_t = Json::binary_t;

  bool null() { return Scalar({}, false); }
  bool boolean(bool v) { return Scalar(v ? "true" : "false", false); }
  bool number_integer(number_integer_t v) { return Scalar(std::to_string(v), false); }
  bool number_unsigned(number_unsigned_t v) { return Scalar(std::to_string(v), false); }
  bool number_float(number_float_t, const string_t& s) { return Scalar(s, false); }
  bool string(string_t& v) { return Scalar(v, true); }
  bool binary(binary_t&) { return true; }
  bool key(string_t& k) { return Key(k); }
  bool String(std::string_view v) { return Scalar(v, true); }
  bool Key(std::string_view k) {
    key_ = k;
    return true;
  }
  bool start_object(std::size_t) { return Open(true); }
  bool start_array(std::size_t) { return Open(false); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) {
    errorAt_ = position;
    return false;
  }

  // Inside a part no capture reads: what it holds changes nothing.
  bool Skipping() const { return !stack_.empty() && stack_.back().place == Place::kIgnored; }
  // Whether the next scalar's text is kept (its written form, for a number).
  bool KeepsScalar() const {
    if (stack_.empty()) return false;
    switch (stack_.back().place) {
      case Place::kField: case Place::kCookie: return key_ == "name" || key_ == "value";
      case Place::kRequest: return key_ == "method" || key_ == "url";
      case Place::kResponse: return key_ == "status";
      default: return false;
    }
  }

  std::optional<size_t> errorAt_;
  bool sawLog_ = false, sawEntries_ = false, sawCookieList_ = false;
  std::vector<HarEntry> entries_;
  std::vector<Field> cookies_;
  // A root object of strings only: {"name": "value", …}.
  bool rootObject_ = false, rootFlat_ = true;
  std::vector<Field> rootPairs_;

 private:
  struct Frame {
    Place place;
    bool response;  // inside an entry's response
  };

  Place Inner(bool object) const {
    if (stack_.empty()) return object ? Place::kRoot : Place::kCookieList;
    Place outer = stack_.back().place;
    if (object) {
      switch (outer) {
        case Place::kRoot: return key_ == "log" ? Place::kLog : Place::kIgnored;
        case Place::kEntries: return Place::kEntry;
        case Place::kEntry: return key_ == "request" ? Place::kRequest : key_ == "response" ? Place::kResponse
                                                                                         : Place::kIgnored;
        case Place::kHeaders: case Place::kCookies: return Place::kField;
        case Place::kCookieList: return Place::kCookie;
        case Place::kRequest: return key_ == "postData" ? Place::kPostData : Place::kIgnored;
        default: return Place::kIgnored;
      }
    }
    if (outer == Place::kRoot && key_ == "cookies") return Place::kCookieList;
    if (outer == Place::kLog && key_ == "entries") return Place::kEntries;
    if (outer == Place::kRequest || outer == Place::kResponse) {
      if (key_ == "headers") return Place::kHeaders;
      if (key_ == "cookies") return Place::kCookies;
    }
    return Place::kIgnored;
  }

  bool Open(bool object) {
    Place place = Inner(object);
    if (stack_.empty()) rootObject_ = object;
    else if (stack_.size() == 1) rootFlat_ = false;
    bool response = place == Place::kResponse || (!stack_.empty() && stack_.back().response);
    if (place == Place::kLog) sawLog_ = true;
    if (place == Place::kEntries) sawEntries_ = true;
    if (place == Place::kCookieList) sawCookieList_ = true;
    if (place == Place::kEntry) entries_.emplace_back();
    if (place == Place::kField || place == Place::kCookie) field_ = {};
    stack_.push_back({place, response});
    key_.clear();
    return true;
  }

  bool Close() {
    Frame frame = stack_.back();
    stack_.pop_back();
    if ((frame.place == Place::kField || frame.place == Place::kCookie) && field_.name) {
      Field f{std::move(*field_.name), std::move(field_.value)};
      if (frame.place == Place::kCookie) {
        cookies_.push_back(std::move(f));
      } else if (stack_.back().place == Place::kHeaders) {
        AddHeader(std::move(f), frame.response ? &entries_.back().response : &entries_.back().request);
      } else {
        (frame.response ? entries_.back().response : entries_.back().request).cookieRecords.push_back(std::move(f));
      }
    }
    return true;
  }

  // A line break cannot stand in a header's value: some exports join the
  // headers of one name so, Set-Cookie above all.
  static void AddHeader(Field f, HttpMessage* m) {
    if (f.value.find('\n') == Text::npos) return m->headers.push_back(std::move(f));
    std::string_view rest = f.value;
    while (!rest.empty()) {
      size_t end = std::min(rest.find('\n'), rest.size());
      std::string_view line = rest.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (!line.empty()) m->headers.push_back({f.name, Text(line)});
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
  }

  bool Scalar(std::string_view value, bool isString) {
    if (stack_.empty()) return true;
    Place place = stack_.back().place;
    if (stack_.size() == 1 && rootObject_) {
      if (isString) rootPairs_.push_back({key_, Text(value)});
      else rootFlat_ = false;
    }
    auto kept = [&] { return std::string(value); };
    if (place == Place::kField || place == Place::kCookie) {
      if (key_ == "name") field_.name = kept();
      else if (key_ == "value") field_.value = kept();
    } else if (place == Place::kRequest) {
      if (key_ == "method") entries_.back().request.method = kept();
      else if (key_ == "url") entries_.back().request.url = kept();
    } else if (place == Place::kPostData && key_ == "text" && isString) {
      entries_.back().request.body = kept();
    } else if (place == Place::kResponse && key_ == "status") {
      entries_.back().response.status = kept();
    } else if (place == Place::kEntry && key_ == "startedDateTime" && isString) {
      entries_.back().startedDateTime = kept();
    }
    return true;
  }

  struct PendingField {
    std::optional<std::string> name;
    std::string value;
  };

  std::vector<Frame> stack_;
  std::string key_;
  PendingField field_;
};

// "{" or "[" followed by a key, an object or "]": a JSON document is meant,
// so a broken one is an error rather than plain text.
bool LooksLikeJson(std::string_view t) {
  auto firstNonBlank = [](std::string_view s) { return std::min(s.find_first_not_of(" \t\r\n"), s.size()); };
  size_t i = firstNonBlank(t);
  if (i == t.size() || (t[i] != '{' && t[i] != '[')) return false;
  std::string_view rest = t.substr(i + 1);
  size_t j = firstNonBlank(rest);
  if (j == rest.size()) return true;
  return rest[j] == '"' || rest[j] == '{' || rest[j] == ']' || rest[j] == '}';
}

namespace od = simdjson::ondemand;

static_assert(std::endian::native == std::endian::little, "a backslash's byte is found by its bit");

// The four hex digits after "\\u" at `at`, or -1.
int HexQuad(std::string_view s, size_t at) {
  if (at + 4 > s.size()) return -1;
  int value = 0;
  for (char c : s.substr(at, 4)) {
    int digit = c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : -1;
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

// Where the escape at `at` ends, or 0 when the event parser would refuse it.
size_t EscapeEnd(std::string_view s, size_t at) {
  switch (at + 1 < s.size() ? s[at + 1] : '\0') {
    case '"': case '\\': case '/': case 'b': case 'f': case 'n': case 'r': case 't': return at + 2;
    case 'u': break;
    default: return 0;
  }
  int unit = HexQuad(s, at + 2);
  if (unit < 0 || (unit >= 0xDC00 && unit <= 0xDFFF)) return 0;  // a low surrogate alone
  if (unit < 0xD800 || unit > 0xDBFF) return at + 6;
  int low = s.substr(at + 6, 2) == "\\u" ? HexQuad(s, at + 8) : -1;
  return low >= 0xDC00 && low <= 0xDFFF ? at + 12 : 0;
}

// The top bit of each byte of `w` that is a backslash.
uint64_t BackslashBits(uint64_t w) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  uint64_t x = w ^ 0x5C5C5C5C5C5C5C5CULL;  // a zero byte where a backslash was
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// A string of a part no capture reads: the document's first pass checked its
// characters, so only an escape can still be wrong. Checked where it lies,
// eight bytes a step, rather than unescaped into a copy: bodies are most of
// a HAR, and escapes thick in them. The document's padding makes reading
// past the token's end safe.
bool CheckString(od::value v) {
  std::string_view token = v.raw_json_token();
  size_t free = 0;  // where the last escape ended
  for (size_t block = 0; block < token.size(); block += 8) {
    uint64_t w;
    std::memcpy(&w, token.data() + block, sizeof w);
    for (uint64_t bits = BackslashBits(w); bits; bits &= bits - 1) {
      size_t at = block + static_cast<size_t>(std::countr_zero(bits)) / 8;
      if (at >= token.size()) break;
      if (at < free) continue;  // within the escape before
      if ((free = EscapeEnd(token, at)) == 0) return false;
    }
  }
  return true;
}

// The document as the event parser's events, to `r`; with no reader, a part
// no capture reads, still read through so that what the event parser would
// refuse is refused here too. False sends the document to the event parser:
// simdjson refused it, or a number whose written form the reader keeps is
// not an integer, or the nesting is deeper than simdjson can follow safely.
bool Walk(od::value v, CaptureReader* r, int depth = 1) {
  constexpr int kDeepest = 256;  // well under the parser's 1,024
  od::json_type type;
  if (v.type().get(type)) return false;
  switch (type) {
    case od::json_type::object: {
      od::object fields;
      if (depth >= kDeepest || v.get_object().get(fields)) return false;
      if (r) r->start_object(0);
      CaptureReader* inner = r && !r->Skipping() ? r : nullptr;
      for (auto field : fields) {
        std::string_view key;
        od::value value;
        if (field.unescaped_key().get(key)) return false;
        if (inner) inner->Key(key);
        if (field.value().get(value) || !Walk(value, inner, depth + 1)) return false;
      }
      return !r || r->end_object();
    }
    case od::json_type::array: {
      od::array items;
      if (depth >= kDeepest || v.get_array().get(items)) return false;
      if (r) r->start_array(0);
      CaptureReader* inner = r && !r->Skipping() ? r : nullptr;
      for (auto item : items) {
        od::value value;
        if (item.get(value) || !Walk(value, inner, depth + 1)) return false;
      }
      return !r || r->end_array();
    }
    case od::json_type::string: {
      if (!r) return CheckString(v);
      std::string_view value;
      return !v.get_string().get(value) && r->String(value);
    }
    case od::json_type::number: {
      od::number n;
      if (v.get_number().get(n)) return false;
      if (!r) return true;
      if (n.is_int64()) return r->number_integer(n.get_int64());
      if (n.is_uint64()) return r->number_unsigned(n.get_uint64());
      return !r->KeepsScalar() && r->number_float(0, {});
    }
    case od::json_type::boolean: {
      bool b = false;
      return !v.get_bool().get(b) && (!r || r->boolean(b));
    }
    case od::json_type::null: {
      bool null = false;
      return !v.is_null().get(null) && null && (!r || r->null());
    }
  }
  return false;
}

static_assert(platform::kReadPadding >= simdjson::SIMDJSON_PADDING);

// Read fast when the document allows; nullopt sends it to the event parser.
// A text with room after it is read where it lies, else from a copy.
std::optional<CaptureReader> ReadTree(std::string_view text, bool padded) {
  std::optional<simdjson::padded_string> copy;
  if (!padded) copy.emplace(text);
  od::parser parser;
  od::document document;
  od::value root;
  auto error = padded ? parser.iterate(text.data(), text.size(), text.size() + simdjson::SIMDJSON_PADDING).get(document)
                      : parser.iterate(*copy).get(document);
  if (error || document.get_value().get(root)) return std::nullopt;
  CaptureReader reader;
  // Past the root only the end may come.
  if (!Walk(root, &reader) || document.current_location().error() != simdjson::OUT_OF_BOUNDS) return std::nullopt;
  return reader;
}

// A HAR, a cookie export, an object of strings (the mode's items), or
// nullopt for JSON of another shape.
std::optional<Capture> ReadJsonCapture(std::string_view text, AnalysisMode mode, bool padded,
                                       JsonPath path = JsonPath::kFast) {
  std::optional<CaptureReader> fast;
  if (path != JsonPath::kEvents) fast = ReadTree(text, padded);
  if (path == JsonPath::kFastOnly && !fast) return std::nullopt;
  CaptureReader slow;
  CaptureReader& reader = fast ? *fast : slow;
  Capture capture;
  if (!fast && !Json::sax_parse(text.begin(), text.end(), &reader)) {
    capture.kind = CaptureKind::kJson;
    // The parser counts the characters it read, the bad one included.
    capture.errorOffset = reader.errorAt_.value_or(1) - (reader.errorAt_.value_or(1) > 0 ? 1 : 0);
    return capture;
  }
  if (reader.sawLog_) {
    capture.kind = CaptureKind::kHar;
    if (!reader.sawEntries_) capture.error = texts::kNotHar;
    else if (reader.entries_.empty()) capture.error = texts::kHarEmpty;
    capture.entries = std::move(reader.entries_);
    return capture;
  }
  if (reader.sawCookieList_ && !reader.cookies_.empty()) {
    capture.kind = CaptureKind::kJson;
    capture.message.cookieRecords = std::move(reader.cookies_);
    return capture;
  }
  if (reader.rootObject_ && reader.rootFlat_ && !reader.rootPairs_.empty()) {
    capture.kind = CaptureKind::kJsonObject;
    (mode == AnalysisMode::kCookies ? capture.message.cookieRecords : capture.message.headers) =
        std::move(reader.rootPairs_);
    return capture;
  }
  return std::nullopt;
}

}  // namespace

std::optional<Capture> ReadJsonDocument(std::string_view text, AnalysisMode mode, JsonPath path) {
  return ReadJsonCapture(text, mode, false, path);
}

// When guessing, text that looks like JSON is this row's: a HAR, a cookie
// export, an object of strings, or (another shape) plain text.
std::optional<Capture> ReadHar(std::string_view text, const ReadContext& context) {
  if (context.guessing) {
    if (!LooksLikeJson(text)) return std::nullopt;
    std::optional<Capture> c = ReadJsonCapture(text, context.mode, context.padded);
    if (c && c->errorOffset) c->kind = CaptureKind::kHar;
    return c ? std::move(c) : Capture{};
  }
  std::optional<Capture> c = ReadJsonCapture(text, context.mode, context.padded);
  if (c && c->errorOffset) c->kind = CaptureKind::kHar;
  if (!c || c->kind != CaptureKind::kHar) return std::nullopt;
  return c;
}

std::optional<Capture> ReadCookieJson(std::string_view text, const ReadContext& context) {
  if (context.guessing) return std::nullopt;  // the HAR row reads every JSON document
  std::optional<Capture> c = ReadJsonCapture(text, context.mode, context.padded);
  if (!c || c->kind != CaptureKind::kJson) return std::nullopt;
  return c;
}

std::optional<Capture> ReadJsonObject(std::string_view text, const ReadContext& context) {
  if (context.guessing) return std::nullopt;  // as for cookie exports
  std::optional<Capture> c = ReadJsonCapture(text, context.mode, context.padded);
  if (!c || c->kind != CaptureKind::kJsonObject) return std::nullopt;
  return c;
}

}  // namespace ds
