#include "import/text_decode.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <simdjson.h>

#include "items/text.h"
#include "platform/codepage.h"

namespace ds {
namespace {

using platform::kCodePageGbk;
using platform::kCodePageUtf8;

constexpr char16_t kReplacement = 0xFFFD;

// Converts a UTF-8 piece; false when it is not valid UTF-8 or holds a
// character code page 936 does not have.
bool Utf8ToGbk(std::string_view utf8, std::string* out) {
  std::u16string wide = platform::ToUtf16(utf8, kCodePageUtf8);
  if (wide.find(kReplacement) != std::u16string::npos) return false;
  bool defaulted = false;
  *out = platform::FromUtf16(wide, kCodePageGbk, &defaulted);
  return !defaulted;
}

// The converter maps the bytes and maps them back unchanged.
bool HoldsAsGbk(std::string_view gbk) {
  bool defaulted = false;
  return platform::FromUtf16(platform::ToUtf16(gbk, kCodePageGbk), kCodePageGbk, &defaulted) == gbk && !defaulted;
}

std::optional<size_t> FirstNonGbk(std::string_view bytes) {
  size_t end = 0;  // the well-formed start
  while (end < bytes.size()) {
    size_t n = GbkCharLength(bytes, end);
    if (n == 0) break;
    end += n;
  }
  // One conversion of the whole text; character by character only to find
  // the offset.
  if (HoldsAsGbk(bytes.substr(0, end))) return end < bytes.size() ? std::optional<size_t>(end) : std::nullopt;
  for (size_t i = 0; i < end; i += GbkCharLength(bytes, i))
    if (!HoldsAsGbk(bytes.substr(i, GbkCharLength(bytes, i)))) return i;
  return end;
}

size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

DecodedText FromGbk(std::string_view bytes) {
  DecodedText out;
  if (!IsAscii(bytes)) out.badOffset = FirstNonGbk(bytes);
  if (!out.badOffset) out.gbk.assign(bytes);
  return out;
}

// `skipped` bytes of a byte order mark came before: offsets count from the
// start of the file.
DecodedText FromUtf8(std::string_view bytes, size_t skipped) {
  DecodedText out;
  if (IsAscii(bytes)) {
    out.gbk.assign(bytes);
    return out;
  }
  // A piece at a time, cut before a character's first byte: a large file is
  // never held as UTF-16 whole.
  constexpr size_t kPiece = 1 << 16;
  out.gbk.reserve(bytes.size());
  std::string piece;
  for (size_t start = 0; start < bytes.size();) {
    size_t end = std::min(start + kPiece, bytes.size());
    for (int back = 0; back < 3 && end < bytes.size() && end > start + 1 &&
                       (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80;
         ++back)
      --end;
    if (Utf8ToGbk(bytes.substr(start, end - start), &piece)) {
      out.gbk += piece;
      start = end;
      continue;
    }
    out.gbk.clear();
    // Find the first character that failed, for the error message.
    for (size_t i = start; i < end;) {
      size_t n = std::min(Utf8SequenceLength(static_cast<unsigned char>(bytes[i])), bytes.size() - i);
      if (!Utf8ToGbk(bytes.substr(i, n), &piece)) {
        out.badOffset = skipped + i;
        return out;
      }
      i += n;
    }
    out.badOffset = skipped + start;
    return out;
  }
  return out;
}

// Whole units in the byte order given; an odd last byte is left out.
std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
    auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
    units[i] = static_cast<char16_t>(hi << 8 | lo);
  }
  return units;
}

// After a 2-byte mark; a unit code page 936 cannot hold (a lone surrogate
// included) is refused at its offset.
DecodedText FromUtf16(std::string_view bytes, bool bigEndian) {
  DecodedText out;
  std::u16string units = Utf16Units(bytes, bigEndian);
  bool defaulted = false;
  out.gbk = platform::FromUtf16(units, kCodePageGbk, &defaulted);
  if (defaulted) {
    out.gbk.clear();
    for (size_t i = 0; i < units.size(); ++i) {
      size_t n = units[i] >= 0xD800 && units[i] < 0xDC00 && i + 1 < units.size() ? 2 : 1;
      platform::FromUtf16(std::u16string_view(units).substr(i, n), kCodePageGbk, &defaulted);
      if (defaulted) {
        out.badOffset = 2 + 2 * i;
        return out;
      }
      i += n - 1;
    }
  }
  if (bytes.size() % 2 != 0) {
    out.gbk.clear();
    out.badOffset = 2 + bytes.size() - 1;
  }
  return out;
}

// The length of the well-formed UTF-8 character at i (no overlong forms, no
// surrogates, nothing past U+10FFFF), or 0.
size_t Utf8SequenceAt(std::string_view bytes, size_t i) {
  auto b = static_cast<unsigned char>(bytes[i]);
  size_t n = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > bytes.size()) return 0;
  auto second = static_cast<unsigned char>(n > 1 ? bytes[i + 1] : 0x80);
  unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
  unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
  if (n > 1 && (second < low || second > high)) return 0;
  for (size_t k = 2; k < n; ++k)
    if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return 0;
  return n;
}

// Units as UTF-8; a lone surrogate, which is no character, becomes U+FFFD
// and is refused if it ever reaches a slot.
std::string Utf16AsUtf8(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      c = 0xFFFD;
    AppendUtf8(c, &out);
  }
  return out;
}

std::optional<size_t> FirstNonUtf8(std::string_view bytes) {
  // Most texts are whole: simdjson says so at memory speed, and only a text
  // with a fault is walked to find where.
  if (simdjson::validate_utf8(bytes.data(), bytes.size())) return std::nullopt;
  for (size_t i = 0; i < bytes.size();) {
    // ASCII runs are most of any capture: eight bytes at a time.
    for (uint64_t block; i + 8 <= bytes.size(); i += 8) {
      std::memcpy(&block, bytes.data() + i, 8);
      if (block & 0x8080808080808080ull) break;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
    if (i == bytes.size()) break;
    size_t n = Utf8SequenceAt(bytes, i);
    if (n == 0) return i;
    i += n;
  }
  return std::nullopt;
}

}  // namespace

DecodedText DecodeText(std::string_view bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::kGbk) return FromGbk(bytes);
  if (encoding == TextEncoding::kUtf8) {
    // A byte order mark is an editor's signature, not data.
    size_t skipped = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    return FromUtf8(bytes.substr(skipped), skipped);
  }
  if (bytes.substr(0, 2) == "\xFF\xFE") return FromUtf16(bytes.substr(2), false);
  if (bytes.substr(0, 2) == "\xFE\xFF") return FromUtf16(bytes.substr(2), true);
  size_t skipped = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  // Text never holds NUL; UTF-16 without a mark is full of them.
  if (size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
    DecodedText out;
    out.badOffset = nul;
    out.nul = true;
    return out;
  }
  // Valid UTF-8 is taken for UTF-8, so a character GBK lacks is refused
  // rather than read as two GBK characters.
  if (skipped || IsUtf8(bytes)) return FromUtf8(bytes.substr(skipped), skipped);
  return FromGbk(bytes);
}

bool IsUtf8(std::string_view bytes) { return !FirstNonUtf8(bytes); }

bool IsAscii(std::string_view text) {
  // A capture is read whole first: 32 bytes a step, their high bits together.
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  size_t i = 0;
  for (; i + 32 <= text.size(); i += 32) {
    uint64_t words[4];
    std::memcpy(words, text.data() + i, sizeof words);
    if ((words[0] | words[1] | words[2] | words[3]) & kHigh) return false;
  }
  for (; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  return true;
}

size_t GbkCharLength(std::string_view text, size_t i) {
  unsigned char b = static_cast<unsigned char>(text[i]);
  if (b <= 0x80) return 1;  // ASCII, and 0x80 the euro sign
  if (!IsLeadByte(b) || i + 1 == text.size()) return 0;
  unsigned char trail = static_cast<unsigned char>(text[i + 1]);
  return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 0;
}

void AppendUtf16(char32_t code, std::u16string* units) {
  if (code < 0x10000) {
    units->push_back(static_cast<char16_t>(code));
    return;
  }
  units->push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
  units->push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
}

char32_t Utf8CodePointAt(std::string_view utf8, size_t at, size_t* length) {
  size_t n = Utf8SequenceAt(utf8, at);
  if (n == 0) {
    *length = 1;
    return 0xFFFD;
  }
  *length = n;
  auto b = static_cast<unsigned char>(utf8[at]);
  char32_t c = n == 1 ? b : b & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[at + k]) & 0x3F);
  return c;
}

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

GbkConversion Utf8AsGbk(std::string_view utf8) {
  DecodedText d = FromUtf8(utf8, 0);
  return {std::move(d.gbk), d.badOffset};
}

size_t CaptureText::SourceOffset(size_t utf8Offset) const {
  std::string_view before = std::string_view(utf8).substr(0, utf8Offset);
  switch (origin) {
    case Origin::kUtf8:
    case Origin::kClipboard:
      return markBytes + before.size();
    case Origin::kUtf16Le:
    case Origin::kUtf16Be:
      return markBytes + 2 * platform::ToUtf16(before, kCodePageUtf8).size();
    case Origin::kGbk:
      return platform::FromUtf16(platform::ToUtf16(before, kCodePageUtf8), kCodePageGbk).size();
  }
  return utf8Offset;
}

DecodedCapture DecodeCapture(std::string bytes, bool gbk) {
  DecodedCapture out;
  CaptureText& text = out.text;
  std::string_view all = bytes;
  if (all.substr(0, 2) == "\xFF\xFE" || all.substr(0, 2) == "\xFE\xFF") {
    bool bigEndian = all[0] == '\xFE';
    text.origin = bigEndian ? CaptureText::Origin::kUtf16Be : CaptureText::Origin::kUtf16Le;
    text.markBytes = 2;
    std::string_view body = all.substr(2);
    if (body.size() % 2 != 0) {
      out.badOffset = all.size() - 1;
      return out;
    }
    text.utf8 = Utf16AsUtf8(Utf16Units(body, bigEndian));
    return out;
  }
  if (all.substr(0, 3) == "\xEF\xBB\xBF") {
    text.markBytes = 3;
    all.remove_prefix(3);
  } else if (size_t nul = all.find('\0'); nul != std::string_view::npos) {
    // Text never holds NUL; UTF-16 without a mark is full of them.
    out.badOffset = nul;
    out.nul = true;
    return out;
  }
  std::optional<size_t> notUtf8 = FirstNonUtf8(all);
  if (text.markBytes || (!gbk && !notUtf8)) {
    if (notUtf8) {
      out.badOffset = text.markBytes + *notUtf8;
      return out;
    }
    bytes.erase(0, text.markBytes);
    text.utf8 = std::move(bytes);
    return out;
  }
  text.origin = CaptureText::Origin::kGbk;
  if (!IsAscii(all)) {
    if ((out.badOffset = FirstNonGbk(all))) return out;
    text.utf8 = platform::FromUtf16(platform::ToUtf16(all, kCodePageGbk), kCodePageUtf8);
  } else {
    text.utf8 = std::move(bytes);
  }
  return out;
}

std::string WindowsLineBreaks(std::string text) {
  // Most texts have none to change: those are handed back as they came.
  size_t first = 0;
  while ((first = text.find('\n', first)) != std::string::npos && first > 0 && text[first - 1] == '\r') ++first;
  if (first == std::string::npos) return text;
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  out.append(text, 0, first);
  for (size_t i = first; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace ds
