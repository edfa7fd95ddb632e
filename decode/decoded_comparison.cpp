#include "decode/decoded_comparison.h"

#include <algorithm>
#include <cstdio>

#include "decode/json_text.h"
#include "decode/texts.h"
#include "items/percent_decode.h"
#include "items/sentence.h"
#include "items/texts.h"

namespace ds {
namespace {

using nlohmann::json;

constexpr size_t kShownValueBytes = 300;
constexpr size_t kShownTextBytes = 2000;
constexpr int kExcerptChars = 12;

bool IsJwtTime(std::string_view key, const json& value) {
  return (key == "exp" || key == "iat" || key == "nbf") && value.is_number();
}

// A JWT time may carry fractions of a second; the date shows whole seconds.
Text TimeOf(std::string_view key, const json& value, bool jwt) {
  if (!jwt || !IsJwtTime(key, value)) return {};
  if (value.is_number_unsigned() && value.get<unsigned long long>() > 253402300799ULL) return {};
  if (value.is_number_float()) {
    double seconds = value.get<double>();
    return seconds >= 0 && seconds < 253402300800.0 ? UnixTimeText(static_cast<long long>(seconds)) : Text();
  }
  return UnixTimeText(value.get<long long>());
}

// Walks two documents side by side. The path is kept as a stack of pieces
// and written out only for a difference, and objects (sorted by key) are
// merged in one pass, so a large document costs one walk. The containers
// being walked sit on a stack of their own: however deep a document the
// parser lets through, the walk does not recurse.
class FieldWalker {
 public:
  FieldWalker(DecodedComparison& out, bool jwt) : out_(out), jwt_(jwt) {}

  void Walk(const json& a, const json& b) {
    Visit(a, b);
    while (!open_.empty()) {
      Open& o = open_.back();
      if (o.a->is_object()) {
        if (o.i == o.a->end() && o.j == o.b->end()) {
          Leave();
          continue;
        }
        int order = o.i == o.a->end() ? 1 : o.j == o.b->end() ? -1 : o.i.key().compare(o.j.key());
        if (order < 0) {
          Add(FieldDifference::Kind::kOnlyIn1, o.i.key(), &*o.i, nullptr);
          ++o.i;
        } else if (order > 0) {
          Add(FieldDifference::Kind::kOnlyIn2, o.j.key(), nullptr, &*o.j);
          ++o.j;
        } else {
          const json &x = *o.i, &y = *o.j;
          path_.push_back({o.i.key(), 0});
          ++o.i, ++o.j;
          Visit(x, y);
        }
      } else {
        const json &a1 = *o.a, &b1 = *o.b;
        size_t k = o.k++;
        if (k >= a1.size() && k >= b1.size()) {
          Leave();
          continue;
        }
        path_.push_back({{}, k + 1});
        if (k < a1.size() && k < b1.size()) {
          Visit(a1[k], b1[k]);
        } else {
          Add(k < a1.size() ? FieldDifference::Kind::kOnlyIn1 : FieldDifference::Kind::kOnlyIn2, {},
              k < a1.size() ? &a1[k] : nullptr, k < b1.size() ? &b1[k] : nullptr);
          path_.pop_back();
        }
      }
    }
  }

 private:
  struct Piece {
    std::string_view key;
    size_t index;  // 1 + the array index; 0 for a key
  };
  // Two objects or two arrays being walked: where each side has got to.
  struct Open {
    const json *a, *b;
    json::const_iterator i, j;  // objects
    size_t k = 0;               // arrays
  };

  // Two containers of one kind are opened for the walk; anything else is
  // compared at once. Every value but the whole document has its piece on
  // the path, taken off once it is done with.
  void Visit(const json& a, const json& b) {
    if ((a.is_object() && b.is_object()) || (a.is_array() && b.is_array())) {
      open_.push_back({&a, &b, a.cbegin(), b.cbegin(), 0});
      return;
    }
    if (a != b) Add(FieldDifference::Kind::kDifferent, {}, &a, &b);
    if (!open_.empty()) path_.pop_back();
  }
  void Leave() {
    open_.pop_back();
    if (!open_.empty()) path_.pop_back();
  }


  // `key` is one more piece after the path, when not empty.
  void Add(FieldDifference::Kind kind, std::string_view key, const json* a, const json* b) {
    if (out_.fields.size() >= kMaxFieldDifferences) {
      ++out_.fieldsLeftOut;
      return;
    }
    std::string path;
    for (const Piece& p : path_) {
      if (p.index > 0)
        path += "[" + std::to_string(p.index - 1) + "]";
      else
        path += (path.empty() ? "" : ".") + std::string(p.key);
    }
    if (!key.empty()) path += (path.empty() ? "" : ".") + std::string(key);
    // The name of the value itself, for the JWT times.
    std::string_view last = !key.empty() ? key : (!path_.empty() && path_.back().index == 0 ? path_.back().key : "");
    FieldDifference f;
    f.kind = kind;
    f.path = Utf8ToGbk(path);
    if (a) f.value1 = ShortJsonToGbk(*a, kShownValueBytes), f.date1 = TimeOf(last, *a, jwt_);
    if (b) f.value2 = ShortJsonToGbk(*b, kShownValueBytes), f.date2 = TimeOf(last, *b, jwt_);
    out_.fields.push_back(std::move(f));
  }

  DecodedComparison& out_;
  bool jwt_;
  std::vector<Piece> path_;
  std::vector<Open> open_;
};

// Line breaks and other control bytes would break the report's lines.
Text Spelled(std::string_view gbk) {
  Text out;
  out.reserve(gbk.size());
  auto control = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
  for (size_t i = 0; i < gbk.size();) {
    size_t n = CharLength(gbk, i);
    unsigned char c = static_cast<unsigned char>(gbk[i]);
    // A lead byte before a line break, or at the end, is no character: it is
    // spelled out, or the break would end the line and the next text would
    // pair with it.
    if (n == 2 && control(static_cast<unsigned char>(gbk[i + 1]))) n = 1;
    if (n == 1 && (control(c) || IsLeadByte(c))) {
      if (c == '\r') out += "\\r";
      else if (c == '\n') out += "\\n";
      else if (c == '\t') out += "\\t";
      else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
      }
    } else {
      out.append(gbk.substr(i, n));
    }
    i += n;
  }
  return out;
}

// Up to `chars` characters of t from byte `at` (a character start).
std::string_view CharsFrom(std::string_view t, size_t at, int chars) {
  size_t end = at;
  for (int k = 0; k < chars && end < t.size(); ++k) end += CharLength(t, end);
  return t.substr(at, end - at);
}

Text Excerpt(std::string_view t, size_t from, size_t at) {
  Text out = from > 0 ? decode_texts::kEllipsis : "";
  out += Spelled(t.substr(from, at - from));
  out += decode_texts::kMarkOpen;
  if (at >= t.size()) {
    out += decode_texts::kEndOfText;
    out += decode_texts::kMarkClose;
    return out;
  }
  size_t n = CharLength(t, at);
  out += Spelled(t.substr(at, n));
  out += decode_texts::kMarkClose;
  std::string_view after = CharsFrom(t, at + n, kExcerptChars);
  out += Spelled(after);
  if (at + n + after.size() < t.size()) out += decode_texts::kEllipsis;
  return out;
}

size_t FirstDifferingByte(std::string_view t1, std::string_view t2) {
  size_t i = 0, limit = std::min(t1.size(), t2.size());
  while (i < limit && t1[i] == t2[i]) ++i;
  return i;
}

// The difference at byte i of the texts, or the character holding it.
FirstDifference FirstDifferenceAt(std::string_view t1, std::string_view t2, size_t i) {
  // Step characters from the start up to the one holding byte i, keeping the
  // last few starts: GBK cannot be stepped backwards.
  size_t starts[kExcerptChars] = {};
  size_t count = 0, at = 0;
  std::string_view t = t1.size() > i ? t1 : t2;
  while (at < i) {
    size_t n = CharLength(t, at);
    if (at + n > i) break;
    starts[count++ % kExcerptChars] = at;
    at += n;
  }
  size_t from = count == 0 ? at : (count < kExcerptChars ? starts[0] : starts[count % kExcerptChars]);
  return {at, Excerpt(t1, from, at), Excerpt(t2, from, at)};
}

Text ExactUtf8(const DecodedValue& v) { return v.lostUtf8.empty() ? GbkToUtf8(v.text) : v.lostUtf8; }

bool HasJwt(const DecodedValue& v) {
  for (Layer l : v.layers)
    if (l == Layer::kJwt) return true;
  return false;
}

}  // namespace

Text UnixTimeText(long long seconds) {
  if (seconds < 0 || seconds > 253402300799LL) return {};
  long long days = seconds / 86400, rest = seconds % 86400;
  // Days to civil date (proleptic Gregorian), after Howard Hinnant.
  long long z = days + 719468, era = z / 146097, doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
  long long day = doy - (153 * mp + 2) / 5 + 1, month = mp < 10 ? mp + 3 : mp - 9;
  long long year = yoe + era * 400 + (month <= 2);
  char text[40];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld UTC", year, month, day, rest / 3600,
                rest / 60 % 60, rest % 60);
  return text;
}

Text LayerName(Layer layer) {
  switch (layer) {
    case Layer::kPercentUtf8: return decode_texts::kLayerPercentUtf8;
    case Layer::kPercentGbk: return decode_texts::kLayerPercentGbk;
    case Layer::kBase64: return decode_texts::kLayerBase64;
    case Layer::kBase64Url: return decode_texts::kLayerBase64Url;
    case Layer::kJwt: return decode_texts::kLayerJwt;
    case Layer::kJson: return decode_texts::kLayerJson;
  }
  return {};
}

const char* LayerKey(Layer layer) {
  switch (layer) {
    case Layer::kPercentUtf8: return "percent-utf8";
    case Layer::kPercentGbk: return "percent-gbk";
    case Layer::kBase64: return "base64";
    case Layer::kBase64Url: return "base64url";
    case Layer::kJwt: return "jwt";
    case Layer::kJson: return "json";
  }
  return "";
}

DecodedComparison CompareDecoded(std::string_view value1, std::string_view value2) {
  DecodedComparison out;
  out.sameRaw = value1 == value2;
  out.side1 = DecodeLayers(value1);
  out.side2 = out.sameRaw ? out.side1 : DecodeLayers(value2);
  if (out.sameRaw) {
    out.sameDecoded = true;
    out.side1.document.reset();
    out.side2.document.reset();
    return out;
  }
  if (out.side1.document && out.side2.document) {
    const json &a = out.side1.document->value, &b = out.side2.document->value;
    out.structured = true;
    FieldWalker(out, HasJwt(out.side1) && HasJwt(out.side2)).Walk(a, b);
    out.sameDecoded = out.fields.empty();
    // The differences are taken; a report kept for every row need not hold
    // two parsed documents.
    out.side1.document.reset();
    out.side2.document.reset();
    return out;
  }
  if (out.side1.lostUtf8.empty() && out.side2.lostUtf8.empty()) {
    out.sameDecoded = out.side1.text == out.side2.text;
    if (!out.sameDecoded)
      out.first = FirstDifferenceAt(out.side1.text, out.side2.text, FirstDifferingByte(out.side1.text, out.side2.text));
    return out;
  }
  // Characters GBK cannot hold all read "?": the UTF-8 texts tell them apart,
  // and the GBK form of their common part places the difference.
  Text exact1 = ExactUtf8(out.side1), exact2 = ExactUtf8(out.side2);
  out.sameDecoded = exact1 == exact2;
  if (!out.sameDecoded) {
    size_t i = FirstDifferingByte(exact1, exact2);
    while (i > 0 && (static_cast<unsigned char>(exact1[i]) & 0xC0) == 0x80) --i;
    size_t at = std::min({Utf8ToGbk(std::string_view(exact1).substr(0, i)).size(), out.side1.text.size(),
                          out.side2.text.size()});
    out.first = FirstDifferenceAt(out.side1.text, out.side2.text, at);
  }
  return out;
}

std::vector<Text> DecodedComparisonLines(const DecodedComparison& c) {
  std::vector<Text> lines{decode_texts::kHeading};
  const DecodedValue* sides[2] = {&c.side1, &c.side2};
  const char* slots[2] = {ds::texts::kSlot1Label, ds::texts::kSlot2Label};
  for (int s = 0; s < 2; ++s) {
    Text layers;
    for (Layer l : sides[s]->layers) layers += (layers.empty() ? "" : decode_texts::kLayerArrow) + LayerName(l);
    lines.push_back(FillIn(decode_texts::kLayersLine, {{"slot", slots[s]}, {"layers", layers.empty() ? decode_texts::kNoLayers : layers}}));
  }
  for (int s = 0; s < 2; ++s) {
    if (!sides[s]->layers.empty())
      lines.push_back(
          FillIn(decode_texts::kDecodedLine, {{"slot", slots[s]}, {"text", Spelled(ShortenGbk(sides[s]->text, kShownTextBytes))}}));
    for (const Text& note : sides[s]->notes) lines.push_back(FillIn(decode_texts::kNoteLine, {{"slot", slots[s]}, {"note", note}}));
  }
  if (c.sameRaw) {
    lines.push_back(decode_texts::kSameRaw);
    return lines;
  }
  if (c.sameDecoded) lines.push_back(decode_texts::kSameDecoded);
  if (c.structured && !c.sameDecoded) {
    lines.push_back(FillIn(decode_texts::kFieldCount, {{"count", ToText(static_cast<long long>(c.fields.size() + c.fieldsLeftOut))}}));
    auto dated = [](const Text& value, const Text& date) {
      return date.empty() ? value : FillIn(decode_texts::kDated, {{"value", value}, {"date", date}});
    };
    for (const FieldDifference& f : c.fields) {
      Text path = f.path.empty() ? Text(decode_texts::kRootPath) : Spelled(f.path);
      switch (f.kind) {
        case FieldDifference::Kind::kOnlyIn1:
          lines.push_back(FillIn(decode_texts::kOnlyInLine, {{"slot", slots[0]}, {"path", path}, {"value", dated(f.value1, f.date1)}}));
          break;
        case FieldDifference::Kind::kOnlyIn2:
          lines.push_back(FillIn(decode_texts::kOnlyInLine, {{"slot", slots[1]}, {"path", path}, {"value", dated(f.value2, f.date2)}}));
          break;
        case FieldDifference::Kind::kDifferent:
          lines.push_back(FillIn(decode_texts::kDifferentLine, {{"path", path},
                                                          {"value1", dated(f.value1, f.date1)},
                                                          {"value2", dated(f.value2, f.date2)}}));
          break;
      }
    }
    if (c.fieldsLeftOut > 0)
      lines.push_back(FillIn(decode_texts::kFieldsLeftOut, {{"count", ToText(static_cast<long long>(c.fieldsLeftOut))}}));
  }
  if (c.first) {
    Text offset = ToText(static_cast<long long>(c.first->offset));
    lines.push_back(FillIn(decode_texts::kFirstDifference, {{"offset", offset}}));
    lines.push_back(FillIn(decode_texts::kExcerptLine, {{"slot", slots[0]}, {"excerpt", c.first->excerpt1}}));
    lines.push_back(FillIn(decode_texts::kExcerptLine, {{"slot", slots[1]}, {"excerpt", c.first->excerpt2}}));
  }
  return lines;
}

}  // namespace ds
