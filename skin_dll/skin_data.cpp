#include "skin_dll/skin_data.h"

namespace skin_data {
namespace {

const char kTag[] = "DSSKIN 1";

struct Key {
  const char* name;
  int colour;  // an index into colours, or one of the two below
};
constexpr int kFontKey = -1;
constexpr int kFontHeightKey = -2;
const Key kKeys[] = {
    {"font", kFontKey},
    {"font-height", kFontHeightKey},
    {"text", kText},
    {"disabled-text", kDisabledText},
    {"edit-back", kEditBack},
    {"list-back", kListBack},
    {"selection-back", kSelectionBack},
    {"selection-text", kSelectionText},
    {"button-face", kButtonFace},
    {"button-pressed", kButtonPressed},
    {"button-border", kButtonBorder},
    {"focus-border", kFocusBorder},
};
constexpr int kKeyCount = sizeof kKeys / sizeof kKeys[0];

struct Span {
  const uint8_t* begin;
  const uint8_t* end;
  size_t size() const { return static_cast<size_t>(end - begin); }
};

bool IsSpace(uint8_t c) { return c == ' ' || c == '\t'; }

Span Trim(Span s) {
  while (s.begin < s.end && IsSpace(*s.begin)) ++s.begin;
  while (s.end > s.begin && IsSpace(s.end[-1])) --s.end;
  return s;
}

bool Equals(Span s, const char* text) {
  const uint8_t* p = s.begin;
  for (; *text; ++text, ++p)
    if (p == s.end || *p != static_cast<uint8_t>(*text)) return false;
  return p == s.end;
}

int HexDigit(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "#RRGGBB" → 0x00BBGGRR.
bool ParseColour(Span s, uint32_t* out) {
  if (s.size() != 7 || s.begin[0] != '#') return false;
  uint32_t rgb = 0;
  for (int i = 1; i < 7; ++i) {
    int d = HexDigit(s.begin[i]);
    if (d < 0) return false;
    rgb = rgb << 4 | static_cast<uint32_t>(d);
  }
  *out = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
  return true;
}

bool ParseHeight(Span s, int* out) {
  if (s.size() == 0 || s.size() > 2) return false;
  int value = 0;
  for (const uint8_t* p = s.begin; p < s.end; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + (*p - '0');
  }
  if (value < kMinFontHeight || value > kMaxFontHeight) return false;
  *out = value;
  return true;
}

// Faces separated by commas; each is printable and fits a LOGFONT.
bool ParseFaces(Span s, Skin* out) {
  out->faceCount = 0;
  const uint8_t* start = s.begin;
  for (const uint8_t* p = s.begin;; ++p) {
    if (p != s.end && *p != ',') continue;
    Span face = Trim(Span{start, p});
    if (face.size() == 0 || face.size() > kMaxFaceLength || out->faceCount == kMaxFaces) return false;
    char* name = out->faces[out->faceCount++];
    for (size_t i = 0; i < face.size(); ++i) {
      if (face.begin[i] < 0x20 || face.begin[i] == 0x7F) return false;
      name[i] = static_cast<char>(face.begin[i]);
    }
    name[face.size()] = 0;
    if (p == s.end) return true;
    start = p + 1;
  }
}

bool ParseLine(Span line, Skin* out, bool* seen) {
  line = Trim(line);
  if (line.size() == 0 || *line.begin == ';') return true;
  const uint8_t* eq = line.begin;
  while (eq < line.end && *eq != '=') ++eq;
  if (eq == line.end) return false;
  Span key = Trim(Span{line.begin, eq});
  Span value = Trim(Span{eq + 1, line.end});
  for (int k = 0; k < kKeyCount; ++k) {
    if (!Equals(key, kKeys[k].name)) continue;
    if (seen[k]) return false;
    seen[k] = true;
    if (kKeys[k].colour == kFontKey) return ParseFaces(value, out);
    if (kKeys[k].colour == kFontHeightKey) return ParseHeight(value, &out->fontHeight);
    return ParseColour(value, &out->colours[kKeys[k].colour]);
  }
  return false;
}

}  // namespace

bool Parse(const uint8_t* data, size_t length, Skin* out) {
  if (!data || !out || length > kMaxBlockLength) return false;
  Skin skin{};
  bool seen[kKeyCount] = {};
  const uint8_t* end = data + length;
  const uint8_t* line = data;
  bool first = true;
  while (line < end) {
    const uint8_t* stop = line;
    while (stop < end && *stop != '\n') {
      if (*stop == 0) return false;
      ++stop;
    }
    Span text{line, stop};
    if (text.end > text.begin && text.end[-1] == '\r') --text.end;
    if (first) {
      if (!Equals(text, kTag)) return false;
      first = false;
    } else if (!ParseLine(text, &skin, seen)) {
      return false;
    }
    line = stop < end ? stop + 1 : end;
  }
  if (first) return false;
  for (bool s : seen)
    if (!s) return false;
  *out = skin;
  return true;
}

}  // namespace skin_data
