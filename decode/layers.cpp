#include "decode/layers.h"

#include "compare/base64_shape.h"
#include "decode/json_text.h"
#include "decode/texts.h"
#include "import/text_decode.h"
#include "items/percent_decode.h"
#include "items/sentence.h"
#include "platform/codepage.h"

namespace ds {
namespace {

using nlohmann::json;

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsUrlAlphabet(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}
// Control characters other than tab and line breaks mark binary data.
bool IsTextControl(unsigned char c) { return c < 0x20 && c != '\t' && c != '\r' && c != '\n'; }

// Well-formed UTF-8 without control characters: what a decoded layer must be
// to count as text.
bool IsUtf8Text(std::string_view s) {
  for (char c : s)
    if (IsTextControl(static_cast<unsigned char>(c))) return false;
  return !s.empty() && IsUtf8(s);
}

bool IsGbkText(std::string_view s) {
  if (s.empty()) return false;
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      if (IsTextControl(c)) return false;
    } else if (IsLeadByte(c)) {
      if (i + 1 >= s.size()) return false;
      unsigned char t = static_cast<unsigned char>(s[++i]);
      if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
    } else if (c != 0x80) {  // the euro sign stands alone
      return false;
    }
  }
  return true;
}

// Only a value whose every "%" starts an escape counts: "100%" is text.
bool HasOnlyWholeEscapes(std::string_view s) {
  bool any = false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') continue;
    if (i + 2 >= s.size() || !IsHexDigit(s[i + 1]) || !IsHexDigit(s[i + 2])) return false;
    any = true;
    i += 2;
  }
  return any;
}

int Base64Digit(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+' || c == '-') return 62;
  if (c == '/' || c == '_') return 63;
  return -1;
}

// Both alphabets at once; padding optional. Callers check the shape first.
Text DecodeBase64(std::string_view s) {
  while (!s.empty() && s.back() == '=') s.remove_suffix(1);
  Text out;
  out.reserve(s.size() * 3 / 4);
  unsigned bits = 0;
  int count = 0;
  for (char c : s) {
    int d = Base64Digit(c);
    if (d < 0) return {};
    bits = (bits << 6) | static_cast<unsigned>(d);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(static_cast<char>((bits >> count) & 0xFF));
    }
  }
  return out;
}

bool IsStandardAlphabet(char c) { return c == '+' || c == '/' || (IsUrlAlphabet(c) && c != '-' && c != '_'); }

// Padding optional: base64url mostly goes without, and some servers drop it
// from standard Base64 too.
bool LooksLikeBase64Without(std::string_view s, bool (*inAlphabet)(char)) {
  size_t end = s.size();
  while (end > 0 && s[end - 1] == '=' && s.size() - end < 2) --end;
  if (end < 4 || end % 4 == 1) return false;
  for (size_t i = 0; i < end; ++i)
    if (!inAlphabet(s[i])) return false;
  return true;
}

struct CharacterKinds {
  bool sign = false;  // padding or the alphabets' own signs
  bool digit = false, upper = false, lower = false;
};

CharacterKinds KindsOf(std::string_view s) {
  CharacterKinds k;
  for (char c : s) {
    k.sign |= c == '=' || c == '+' || c == '/' || c == '-' || c == '_';
    k.digit |= c >= '0' && c <= '9';
    k.upper |= c >= 'A' && c <= 'Z';
    k.lower |= c >= 'a' && c <= 'z';
  }
  return k;
}

// Words, hex strings and numbers fit the Base64 alphabet too, and now and
// then decode to a few odd characters. Base64 of text mixes both cases of
// letters or shows a sign; calling a value binary Base64 takes digits too,
// or it would only be noise.
bool WorthDecoding(const CharacterKinds& k) { return k.sign || (k.upper && k.lower); }
bool WorthABinaryNote(std::string_view s, const CharacterKinds& k) {
  return s.size() >= 16 && (k.sign || (k.digit && k.upper && k.lower));
}

// The text of a layer that decoded to UTF-8.
void SetUtf8Text(DecodedValue& v, Text utf8, std::string_view layerName) {
  v.lostUtf8.clear();
  if (IsAscii(utf8)) {
    v.text = std::move(utf8);
    return;
  }
  bool lossy = false;
  v.text = platform::FromUtf16(platform::ToUtf16(utf8, platform::kCodePageUtf8), platform::kCodePageGbk, &lossy);
  if (lossy) {
    v.notes.push_back(FillIn(decode_texts::kNoteLossy, {{"layer", layerName}}));
    v.lostUtf8 = std::move(utf8);
  }
}

std::string_view TrimAsciiSpace(std::string_view s) {
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

enum class Step { kPeeled, kFinal, kNone };

Step PeelJwt(DecodedValue& v) {
  std::string_view s = v.text;
  // An Authorization header holds the scheme before the token; it is kept,
  // so that a value without it still differs.
  std::string scheme;
  if (s.size() > 7 && ToLowerAscii(s.substr(0, 7)) == "bearer ") {
    scheme = s.substr(0, 6);
    s.remove_prefix(7);
  }
  size_t dot1 = s.find('.');
  size_t dot2 = dot1 == std::string_view::npos ? dot1 : s.find('.', dot1 + 1);
  if (dot2 == std::string_view::npos || s.find('.', dot2 + 1) != std::string_view::npos) return Step::kNone;
  std::string_view parts[3] = {s.substr(0, dot1), s.substr(dot1 + 1, dot2 - dot1 - 1), s.substr(dot2 + 1)};
  // A header always opens with '{"' ("eyJ" in base64url); without it only
  // three long parts look like a token, not a host name like "static.example.org".
  bool header = parts[0].substr(0, 3) == "eyJ" && !parts[1].empty();
  bool longParts = parts[0].size() >= 10 && parts[1].size() >= 10 && parts[2].size() >= 10;
  if (!header && !longParts) return Step::kNone;
  const char* words[2] = {decode_texts::kJwtHeader, decode_texts::kJwtPayload};
  for (int i = 0; i < 3; ++i)
    for (char c : parts[i])
      if (!IsUrlAlphabet(c) && c != '=') {
        // After "eyJ" a header or payload out of the alphabet is a broken
        // token, unless a percent layer comes off first.
        if (!header || i == 2 || HasOnlyWholeEscapes(s)) return Step::kNone;
        v.notes.push_back(FillIn(decode_texts::kNoteJwtPart, {{"part", words[i]}}));
        return Step::kFinal;
      }

  json object = json::object();
  const char* names[2] = {"header", "payload"};
  for (int i = 0; i < 2; ++i) {
    Text utf8 = DecodeBase64(parts[i]);
    JsonParse parsed = IsUtf8Text(utf8) ? ParseJsonText(utf8) : JsonParse{};
    if (!parsed.document || !parsed.document->is_object()) {
      v.notes.push_back(FillIn(decode_texts::kNoteJwtPart, {{"part", words[i]}}));
      return Step::kFinal;
    }
    object[names[i]] = std::move(*parsed.document);
  }
  object["signature"] = std::string(parts[2]);
  if (!scheme.empty()) object["scheme"] = std::move(scheme);
  v.text = JsonToGbk(object);
  v.lostUtf8.clear();  // the document holds every character
  v.document = std::make_shared<const JsonDocument>(JsonDocument{std::move(object)});
  v.layers.push_back(Layer::kJwt);
  return Step::kFinal;
}

Step PeelJson(DecodedValue& v) {
  std::string_view trimmed = TrimAsciiSpace(v.text);
  if (trimmed.empty() || (trimmed.front() != '{' && trimmed.front() != '[')) return Step::kNone;
  JsonParse parsed = ParseJsonText(v.lostUtf8.empty() ? GbkToUtf8(v.text) : v.lostUtf8);
  if (!parsed.document) {
    v.notes.push_back(std::move(parsed.note));
    return Step::kFinal;
  }
  v.document = std::make_shared<const JsonDocument>(JsonDocument{std::move(*parsed.document)});
  v.layers.push_back(Layer::kJson);
  return Step::kFinal;
}

Step PeelPercent(DecodedValue& v) {
  if (!HasOnlyWholeEscapes(v.text)) return Step::kNone;
  // The decoder drops "%00"; a NUL makes the bytes binary anyway.
  bool nul = v.text.find("%00") != Text::npos;
  Text raw = PercentDecode(v.text, false);
  if (!nul && IsUtf8Text(raw)) {
    SetUtf8Text(v, std::move(raw), decode_texts::kLayerPercentUtf8);
    v.layers.push_back(Layer::kPercentUtf8);
  } else if (!nul && IsGbkText(raw)) {
    v.text = std::move(raw);
    v.lostUtf8.clear();
    v.layers.push_back(Layer::kPercentGbk);
  } else {
    v.notes.push_back(decode_texts::kNotePercentBytes);
    return Step::kFinal;
  }
  return Step::kPeeled;
}

Step PeelBase64(DecodedValue& v) {
  Layer layer;
  bool unpadded = false;
  if (LooksLikeBase64(v.text))
    layer = Layer::kBase64;
  else if (LooksLikeBase64Without(v.text, IsUrlAlphabet))
    layer = Layer::kBase64Url;
  else if ((unpadded = LooksLikeBase64Without(v.text, IsStandardAlphabet)))
    layer = Layer::kBase64;
  else
    return Step::kNone;
  CharacterKinds kinds = KindsOf(v.text);
  if (!WorthDecoding(kinds)) return Step::kNone;
  Text bytes = DecodeBase64(v.text);
  if (!IsUtf8Text(bytes)) {
    // Paths like "/static/js/vendors" fit the unpadded shape: no note for them.
    if (!unpadded && WorthABinaryNote(v.text, kinds))
      v.notes.push_back(FillIn(decode_texts::kNoteBase64Binary, {{"count", ToText(static_cast<long long>(bytes.size()))}}));
    return Step::kFinal;
  }
  SetUtf8Text(v, std::move(bytes), layer == Layer::kBase64 ? decode_texts::kLayerBase64 : decode_texts::kLayerBase64Url);
  v.layers.push_back(layer);
  return Step::kPeeled;
}

}  // namespace

DecodedValue DecodeLayers(std::string_view value) {
  DecodedValue v;
  v.text = Text(value);
  for (int round = 0;; ++round) {
    if (round == kMaxLayers) {
      v.notes.push_back(FillIn(decode_texts::kNoteTooManyLayers, {{"limit", ToText(kMaxLayers)}}));
      break;
    }
    Step step = Step::kNone;
    for (Step (*peel)(DecodedValue&) : {PeelJwt, PeelJson, PeelPercent, PeelBase64}) {
      step = peel(v);
      if (step != Step::kNone) break;
    }
    if (step != Step::kPeeled) break;
  }
  return v;
}

Text GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return Text(gbk);
  return platform::FromUtf16(platform::ToUtf16(gbk, platform::kCodePageGbk), platform::kCodePageUtf8);
}

Text ShortenGbk(std::string_view gbk, size_t maxBytes) {
  if (gbk.size() <= maxBytes) return Text(gbk);
  size_t end = 0;
  while (end < gbk.size()) {
    size_t n = CharLength(gbk, end);
    if (end + n > maxBytes) break;
    end += n;
  }
  return Text(gbk.substr(0, end)) + decode_texts::kEllipsis;
}

}  // namespace ds
