// HAR documents and JSON cookie exports, read in their own UTF-8: only the
// few strings a capture needs are kept, so a HAR of many megabytes of
// response bodies, emoji and all, costs little more than its reading.
// simdjson reads the document at memory speed and its tree is walked as
// events, skipping every part no capture needs; a document it refuses, or a
// number whose written form matters, is read again by the event parser,
// which tells where the fault lies.
#include <algorithm>
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
  bool key(string_t& k) {
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

  bool Scalar(const std::string& value, bool isString) {
    if (stack_.empty()) return true;
    Place place = stack_.back().place;
    if (stack_.size() == 1 && rootObject_) {
      if (isString) rootPairs_.push_back({key_, value});
      else rootFlat_ = false;
    }
    auto kept = [&] { return value; };
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

// The parsed tree as the event parser's events; false when a number whose
// written form the reader keeps is a float, which the tree holds only as
// its value.
bool Walk(simdjson::dom::element e, CaptureReader& r) {
  using simdjson::dom::element_type;
  switch (e.type()) {
    case element_type::OBJECT: {
      r.start_object(0);
      simdjson::dom::object fields = e.get_object().value_unsafe();
      if (!r.Skipping())
        for (simdjson::dom::key_value_pair field : fields) {
          std::string key(field.key);
          r.key(key);
          if (!Walk(field.value, r)) return false;
        }
      return r.end_object();
    }
    case element_type::ARRAY: {
      r.start_array(0);
      simdjson::dom::array items = e.get_array().value_unsafe();
      if (!r.Skipping())
        for (simdjson::dom::element item : items)
          if (!Walk(item, r)) return false;
      return r.end_array();
    }
    case element_type::STRING: {
      std::string value(e.get_string().value_unsafe());
      return r.string(value);
    }
    case element_type::INT64: return r.number_integer(e.get_int64().value_unsafe());
    case element_type::UINT64: return r.number_unsigned(e.get_uint64().value_unsafe());
    case element_type::DOUBLE: return !r.KeepsScalar() && r.number_float(0, {});
    case element_type::BOOL: return r.boolean(e.get_bool().value_unsafe());
    case element_type::NULL_VALUE: return r.null();
  }
  return false;
}

static_assert(platform::kReadPadding >= simdjson::SIMDJSON_PADDING);

// Read fast when the document allows; nullopt sends it to the event parser.
// A text with room after it is read where it lies, else from a copy.
std::optional<CaptureReader> ReadTree(std::string_view text, bool padded) {
  simdjson::dom::parser parser;
  simdjson::dom::element root;
  if (parser.parse(text.data(), text.size(), !padded).get(root) != simdjson::SUCCESS) return std::nullopt;
  CaptureReader reader;
  if (!Walk(root, reader)) return std::nullopt;
  return reader;
}

// A HAR, a cookie export, an object of strings (the mode's items), or
// nullopt for JSON of another shape.
std::optional<Capture> ReadJsonCapture(std::string_view text, AnalysisMode mode, bool padded,
                                       JsonPath path = JsonPath::kFast) {
  std::optional<CaptureReader> fast;
  if (path == JsonPath::kFast) fast = ReadTree(text, padded);
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
