#include <iconv.h>

#include <array>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/codepage.h"

namespace ds::platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Code page 936 in both directions, read once from iconv; code 0 means no
// mapping (NUL maps to itself and is handled by the callers).
struct GbkTables {
  std::array<char16_t, 65536> decode{};  // single byte b at b, double byte at lead*256+trail
  std::array<uint16_t, 65536> encode{};  // GBK code, single bytes below 0x100
};

char16_t DecodeWithIconv(iconv_t cd, const char* bytes, size_t length) {
  char in[2] = {bytes[0], length > 1 ? bytes[1] : '\0'};
  char out[8];
  char* inPtr = in;
  char* outPtr = out;
  size_t inLeft = length, outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return 0;
  if (sizeof out - outLeft != 2) return 0;  // outside the BMP: not a code page 936 character
  return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
}

const GbkTables& Tables() {
  static std::unique_ptr<GbkTables> tables;
  static std::once_flag once;
  std::call_once(once, [] {
    tables = std::make_unique<GbkTables>();
    iconv_t cd = iconv_open("UTF-16LE", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    for (unsigned b = 1; b < 0x81; ++b) {
      char byte = static_cast<char>(b);
      char16_t u = DecodeWithIconv(cd, &byte, 1);
      tables->decode[b] = u;
      if (u && !tables->encode[u]) tables->encode[u] = static_cast<uint16_t>(b);
    }
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) continue;
        char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        unsigned code = lead * 256 + trail;
        char16_t u = DecodeWithIconv(cd, pair, 2);
        tables->decode[code] = u;
        if (u && !tables->encode[u]) tables->encode[u] = static_cast<uint16_t>(code);
      }
    }
    iconv_close(cd);
  });
  return *tables;
}

void AppendCodePoint(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// UTF-8 with each maximal ill-formed subpart replaced by one U+FFFD.
std::u16string DecodeUtf8(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  while (i < s.size()) {
    unsigned char b = at(i);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int need;
    unsigned char lo = 0x80, hi = 0xBF;
    char32_t cp;
    if (b >= 0xC2 && b <= 0xDF) { need = 1; cp = b & 0x1F; }
    else if (b == 0xE0) { need = 2; cp = b & 0x0F; lo = 0xA0; }
    else if (b == 0xED) { need = 2; cp = b & 0x0F; hi = 0x9F; }
    else if (b >= 0xE1 && b <= 0xEF) { need = 2; cp = b & 0x0F; }
    else if (b == 0xF0) { need = 3; cp = b & 0x07; lo = 0x90; }
    else if (b == 0xF4) { need = 3; cp = b & 0x07; hi = 0x8F; }
    else if (b >= 0xF1 && b <= 0xF3) { need = 3; cp = b & 0x07; }
    else {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < need; ++k, ++j) {
      if (j >= s.size() || at(j) < lo || at(j) > hi) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (at(j) & 0x3F);
      lo = 0x80;
      hi = 0xBF;
    }
    if (ok)
      AppendCodePoint(out, cp);
    else
      out.push_back(kReplacement);
    i = j;
  }
  return out;
}

std::string EncodeUtf8(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t cp = units[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string DecodeGbk(std::string_view s) {
  const GbkTables& t = Tables();
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    unsigned b = static_cast<unsigned char>(s[i]);
    if (b >= 0x81 && b <= 0xFE && i + 1 < s.size()) {
      char16_t u = t.decode[b * 256 + static_cast<unsigned char>(s[i + 1])];
      out.push_back(u ? u : kReplacement);
      i += 2;
    } else {
      char16_t u = b == 0 ? u'\0' : t.decode[b];
      out.push_back(u || b == 0 ? u : kReplacement);
      ++i;
    }
  }
  return out;
}

std::string EncodeGbk(std::u16string_view units, bool* usedDefault) {
  const GbkTables& t = Tables();
  std::string out;
  out.reserve(units.size() * 2);
  for (char16_t u : units) {
    uint16_t code = u == 0 ? 0 : t.encode[u];
    if (u != 0 && code == 0) {
      out.push_back('?');
      if (usedDefault) *usedDefault = true;
    } else if (code < 0x100) {
      out.push_back(static_cast<char>(code));
    } else {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    }
  }
  return out;
}

}  // namespace

std::u16string ToUtf16(std::string_view bytes, unsigned codePage) {
  return codePage == kCodePageUtf8 ? DecodeUtf8(bytes) : DecodeGbk(bytes);
}

std::string FromUtf16(std::u16string_view units, unsigned codePage, bool* usedDefault) {
  if (usedDefault) *usedDefault = false;
  return codePage == kCodePageUtf8 ? EncodeUtf8(units) : EncodeGbk(units, usedDefault);
}

}  // namespace ds::platform
