// HAR documents and JSON cookie exports, read with the JSON library's event
// parser: only the few strings a capture needs are kept, so a HAR of many
// megabytes of response bodies costs little more than its reading.
#include <algorithm>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "import/capture.h"
#include "import/text_decode.h"
#include "import/texts.h"
#include "items/sentence.h"
#include "platform/codepage.h"

namespace ds {
namespace {

using Json = nlohmann::json;

// The parser wants UTF-8 and the text is GBK. Rather than convert it all
// (and back for the few strings kept), each non-ASCII character travels as a
// private-use code point that carries its bytes: U+F0000 plus the character's
// one or two bytes. The JSON syntax is all ASCII, so the structure is read
// exactly; only a \u escape needs a real conversion, when its string is kept.
constexpr char32_t kCarrierBase = 0xF0000;
constexpr char32_t kCarrierLast = kCarrierBase + 0xFFFF;

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The GBK text as the parser reads it, a piece at a time.
class Utf8Feed {
 public:
  explicit Utf8Feed(std::string_view gbk) : rest_(gbk) { Refill(); }
  bool Done() const { return at_ == piece_.size(); }
  const char& Current() const { return piece_[at_]; }
  void Advance() {
    if (++at_ == piece_.size()) Refill();
  }

 private:
  void Refill() {
    piece_.clear();
    at_ = 0;
    constexpr size_t kPiece = 1 << 16;
    size_t i = 0;
    for (; i < rest_.size() && piece_.size() < kPiece; ++i) {
      auto b = static_cast<unsigned char>(rest_[i]);
      if (b < 0x80) {
        piece_.push_back(static_cast<char>(b));
        continue;
      }
      char32_t bytes = b;
      if (GbkCharLength(rest_, i) == 2) bytes = bytes << 8 | static_cast<unsigned char>(rest_[++i]);
      AppendUtf8(kCarrierBase + bytes, &piece_);
    }
    rest_.remove_prefix(i);
  }

  std::string_view rest_;
  std::string piece_;
  size_t at_ = 0;
};

struct FeedIterator {
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  Utf8Feed* feed = nullptr;  // null at the end

  reference operator*() const { return feed->Current(); }
  FeedIterator& operator++() {
    feed->Advance();
    return *this;
  }
  FeedIterator operator++(int) {
    FeedIterator before = *this;
    ++*this;
    return before;
  }
  bool AtEnd() const { return !feed || feed->Done(); }
  bool operator==(const FeedIterator& other) const { return AtEnd() == other.AtEnd(); }
};

// "\uXXXX", as JSON writes a UTF-16 unit.
Text EscapedUnit(char16_t u) {
  Text out = "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out.push_back("0123456789abcdef"[(u >> shift) & 0xF]);
  return out;
}

// A string the parser read, back in GBK: carried characters give their
// bytes back, escaped ones are converted.
Text ToGbk(const std::string& utf8) {
  if (IsAscii(utf8)) return utf8;
  Text out;
  std::u16string escaped;  // a run of characters that came from \u escapes
  auto flush = [&] {
    if (escaped.empty()) return;
    bool lost = false;
    Text gbk = platform::FromUtf16(escaped, platform::kCodePageGbk, &lost);
    // A character GBK lacks stays as it was written, not a "?".
    for (size_t k = 0; lost && k < escaped.size();) {
      size_t units = escaped[k] >= 0xD800 && escaped[k] < 0xDC00 && k + 1 < escaped.size() ? 2 : 1;
      std::u16string_view one = std::u16string_view(escaped).substr(k, units);
      bool gone = false;
      Text g = platform::FromUtf16(one, platform::kCodePageGbk, &gone);
      if (gone) {
        g.clear();
        for (char16_t u : one) g += EscapedUnit(u);
      }
      out += g;
      k += units;
    }
    if (!lost) out += gbk;
    escaped.clear();
  };
  for (size_t i = 0; i < utf8.size();) {
    auto b = static_cast<unsigned char>(utf8[i]);
    size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    n = std::min(n, utf8.size() - i);
    char32_t c = n == 1 ? b : b & (0x3F >> (n - 1));
    for (size_t k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    if (c >= kCarrierBase && c <= kCarrierLast) {
      flush();
      char32_t bytes = c - kCarrierBase;
      if (bytes > 0xFF) out.push_back(static_cast<char>(bytes >> 8));
      out.push_back(static_cast<char>(bytes & 0xFF));
    } else if (c < 0x80) {
      flush();
      out.push_back(static_cast<char>(c));
    } else {
      AppendUtf16(c, &escaped);
    }
    i += n;
  }
  flush();
  return out;
}

// Where in the document an event is: only these places are read.
enum class Place {
  kIgnored, kRoot, kLog, kEntries, kEntry, kRequest, kResponse, kHeaders, kCookies, kField, kCookieList, kCookie,
};

class CaptureReader {
 public:
  using number_integer_t = Json::number_integer_t;
  using number_unsigned_t = Json::number_unsigned_t;
  using number_float_t = Json::number_float_t;
  using string_t = Json::string_t;
  using binary_t = Json::binary_t;

  bool null() { return true; }
  bool boolean(bool v) { return Scalar(v ? "true" : "false"); }
  bool number_integer(number_integer_t v) { return Scalar(std::to_string(v)); }
  bool number_unsigned(number_unsigned_t v) { return Scalar(std::to_string(v)); }
  bool number_float(number_float_t, const string_t& s) { return Scalar(s); }
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

  std::optional<size_t> errorAt_;
  bool sawLog_ = false, sawEntries_ = false, sawCookieList_ = false;
  std::vector<HarEntry> entries_;
  std::vector<Field> cookies_;

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

  // Only a value that is kept is converted: response bodies pass untouched.
  bool Scalar(const std::string& value, bool parsedString = false) {
    if (stack_.empty()) return true;
    Place place = stack_.back().place;
    auto kept = [&] { return parsedString ? ToGbk(value) : value; };
    if (place == Place::kField || place == Place::kCookie) {
      if (key_ == "name") field_.name = kept();
      else if (key_ == "value") field_.value = kept();
    } else if (place == Place::kRequest) {
      if (key_ == "method") entries_.back().request.method = kept();
      else if (key_ == "url") entries_.back().request.url = kept();
    }
    return true;
  }

  struct PendingField {
    std::optional<Text> name;
    Text value;
  };

  std::vector<Frame> stack_;
  std::string key_;
  PendingField field_;
};

// The parser counts the bytes it was fed, four for a carried character: the
// same place counted in the text.
size_t TextOffset(std::string_view gbk, size_t fed) {
  size_t i = 0, seen = 0;
  for (; i < gbk.size() && seen < fed; ++i) {
    if (static_cast<unsigned char>(gbk[i]) < 0x80) {
      ++seen;
      continue;
    }
    if (GbkCharLength(gbk, i) == 2) ++i;
    seen += 4;
  }
  return i + (fed > seen ? fed - seen : 0);
}

bool HasCookieHeader(const HttpMessage& m) {
  for (const Field& h : m.headers)
    if (ToLowerAscii(h.name) == "cookie") return true;
  return false;
}

}  // namespace

std::optional<Capture> ReadJsonCapture(std::string_view text) {
  CaptureReader reader;
  bool read;
  bool ascii = IsAscii(text);
  if (ascii) {
    read = Json::sax_parse(text.begin(), text.end(), &reader);
  } else {
    Utf8Feed feed(text);
    read = Json::sax_parse(FeedIterator{&feed}, FeedIterator{}, &reader);
  }
  Capture capture;
  if (!read) {
    size_t at = reader.errorAt_.value_or(0);
    if (!ascii) at = TextOffset(text, at);
    capture.error = FillIn(texts::kJsonMalformed, {{"offset", ToText(static_cast<long long>(at))}});
    return capture;
  }
  if (reader.sawLog_) {
    capture.kind = CaptureKind::kHar;
    if (!reader.sawEntries_) capture.error = texts::kNotHar;
    else if (reader.entries_.empty()) capture.error = texts::kHarEmpty;
    capture.entries = std::move(reader.entries_);
    // The first entry that sent a Cookie header, else the first that lists
    // cookies sent (an export may keep the list and drop the header).
    capture.defaultEntry = capture.entries.size();
    for (size_t i = 0; i < capture.entries.size() && capture.defaultEntry == capture.entries.size(); ++i)
      if (HasCookieHeader(capture.entries[i].request)) capture.defaultEntry = i;
    for (size_t i = 0; i < capture.entries.size() && capture.defaultEntry == capture.entries.size(); ++i)
      if (!capture.entries[i].request.cookieRecords.empty()) capture.defaultEntry = i;
    if (capture.defaultEntry == capture.entries.size()) capture.defaultEntry = 0;
    return capture;
  }
  if (reader.sawCookieList_ && !reader.cookies_.empty()) {
    capture.kind = CaptureKind::kJson;
    capture.message.cookieRecords = std::move(reader.cookies_);
    return capture;
  }
  return std::nullopt;
}

}  // namespace ds
