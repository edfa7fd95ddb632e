#include "items/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace ds {
namespace {

constexpr char kIdeographicSpace[] = "\xA1\xA1";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// i is a character boundary of text. Only a letter that starts a character
// folds: the trail byte of 狝 (AA 41) is no 'A', so it must not find 猘 (AA 61).
// Lead bytes compare exactly, so both texts step through the same characters.
bool MatchesAt(std::string_view text, size_t i, std::string_view sought, bool ignoreCase) {
  if (text.size() - i < sought.size()) return false;
  if (!ignoreCase) return std::memcmp(text.data() + i, sought.data(), sought.size()) == 0;
  for (size_t k = 0; k < sought.size();) {
    size_t n = CharLength(sought, k);
    if (n == 2) {
      if (text[i + k] != sought[k] || text[i + k + 1] != sought[k + 1]) return false;
    } else if (LowerAscii(text[i + k]) != LowerAscii(sought[k])) {
      return false;
    }
    k += n;
  }
  return true;
}

// 0-based index of the first match at or after `from`, stepping by character.
size_t FindFrom(std::string_view text, std::string_view sought, size_t from, bool ignoreCase) {
  for (size_t i = from; i < text.size(); i += CharLength(text, i))
    if (MatchesAt(text, i, sought, ignoreCase)) return i;
  return std::string_view::npos;
}

bool IsSpaceAt(std::string_view t, size_t i) {
  return t[i] == ' ' || (t[i] == kIdeographicSpace[0] && i + 1 < t.size() && t[i + 1] == kIdeographicSpace[1]);
}

// Upper-case mapping of the double-byte letters code page 936 has in both
// cases: full-width Latin, Greek and Cyrillic.
unsigned UpperDoubleByte(unsigned code) {
  if (code >= 0xA3E1 && code <= 0xA3FA) return code - 0x20;
  if (code >= 0xA6C1 && code <= 0xA6D8) return code - 0x20;
  if (code >= 0xA7D1 && code <= 0xA7F1) return code - 0x30;
  return code;
}

}  // namespace

int Find(std::string_view text, std::string_view sought, int start, bool ignoreCase) {
  size_t from = start < 1 ? 0 : static_cast<size_t>(start - 1);
  if (from >= text.size()) return -1;
  if (sought.empty()) return 1;
  size_t at = FindFrom(text, sought, from, ignoreCase);
  return at == std::string_view::npos ? -1 : static_cast<int>(at + 1);
}

size_t LikelyTotal(size_t found, size_t seen, size_t total, size_t most) {
  if (seen == 0 || total <= seen) return std::min(found, most);
  uint64_t likely = found + static_cast<uint64_t>(found) * (total - seen) / seen * 9 / 8;
  return static_cast<size_t>(std::min<uint64_t>(likely, most));
}

void SplitViews(std::string_view text, std::string_view separator, int maxCount,
                std::vector<std::string_view>& pieces) {
  pieces.clear();
  ForEachPiece(text, separator, maxCount, [&](std::string_view piece) {
    if (pieces.size() == 1024) {
      size_t seen = static_cast<size_t>(piece.data() + piece.size() - text.data());
      pieces.reserve(LikelyTotal(pieces.size(), seen, text.size(), text.size() / 8));
    }
    pieces.push_back(piece);
  });
}

std::vector<Text> Split(std::string_view text, std::string_view separator, int maxCount) {
  std::vector<std::string_view> views;
  SplitViews(text, separator, maxCount, views);
  return std::vector<Text>(views.begin(), views.end());
}

Text Replace(std::string_view text, std::string_view sought, std::string_view replacement, int start,
             int count, bool caseSensitive) {
  size_t from = start < 1 ? 0 : static_cast<size_t>(start - 1);
  if (text.empty() || sought.empty() || from >= text.size() || count == 0) return Text(text);
  Text out(text.substr(0, from));
  out.reserve(text.size());
  size_t done = 0;
  size_t i = from;
  while (i < text.size()) {
    if ((count < 0 || done < static_cast<size_t>(count)) && MatchesAt(text, i, sought, !caseSensitive)) {
      out.append(replacement);
      i += sought.size();
      ++done;
    } else {
      size_t n = CharLength(text, i);
      out.append(text.substr(i, n));
      i += n;
    }
  }
  return out;
}

Text RemoveSpaces(std::string_view text) {
  Text out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLength(text, i);
    if (!IsSpaceAt(text, i)) out.append(text.substr(i, n));
    i += n;
  }
  return out;
}

std::string_view TrimmedView(std::string_view text) {
  // Walk forward by characters so that a trailing A1 A1 is never the second
  // half of another double-byte character.
  size_t begin = 0;
  while (begin < text.size() && IsSpaceAt(text, begin)) begin += CharLength(text, begin);
  // A last byte that ends no space: nothing to trim at the end, no walk.
  if (begin < text.size() && text.back() != ' ' && text.back() != kIdeographicSpace[1]) return text.substr(begin);
  // ASCII spaces come off the end without a walk: such a byte is a character
  // of its own unless a lead byte stands right before it. That case, and an
  // A1 left at the end, take the walk.
  size_t end = text.size();
  while (end > begin && text[end - 1] == ' ') --end;
  if (end > begin && !IsLeadByte(static_cast<unsigned char>(text[end - 1]))) return text.substr(begin, end - begin);
  end = begin;
  for (size_t i = begin; i < text.size();) {
    size_t n = CharLength(text, i);
    if (!IsSpaceAt(text, i)) end = i + n;
    i += n;
  }
  return text.substr(begin, end - begin);
}

Text Trim(std::string_view text) { return Text(TrimmedView(text)); }

Text Left(std::string_view text, int n) {
  if (n <= 0) return {};
  return Text(text.substr(0, static_cast<size_t>(n)));
}

Text Right(std::string_view text, int n) {
  if (n <= 0) return {};
  size_t k = std::min(text.size(), static_cast<size_t>(n));
  return Text(text.substr(text.size() - k));
}

Text Mid(std::string_view text, int start, int n) {
  if (n <= 0 || start < 1 || static_cast<size_t>(start) > text.size()) return {};
  return Text(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(n)));
}

Text ToUpperAscii(std::string_view text) {
  Text out(text);
  for (size_t i = 0; i < out.size(); i += CharLength(out, i)) out[i] = UpperAscii(out[i]);
  return out;
}

void ToLowerAsciiInPlace(char* text, size_t size) {
  std::string_view view(text, size);
  for (size_t i = 0; i < size; i += CharLength(view, i)) text[i] = LowerAscii(text[i]);
}

Text ToLowerAscii(std::string_view text) {
  Text out(text);
  ToLowerAsciiInPlace(out.data(), out.size());
  return out;
}

Text Character(int byteValue) {
  if (byteValue <= 0 || byteValue > 255) return {};
  return Text(1, static_cast<char>(byteValue));
}

Text ToText(long long value) { return Text(Digits(value)); }

Text EscapeForMessage(std::string_view text, bool gbk) {
  Text out;
  out.reserve(text.size());
  auto escaped = [&out](unsigned char b) {
    constexpr char kHex[] = "0123456789ABCDEF";
    if (b == '\r') out += "\\r";
    else if (b == '\n') out += "\\n";
    else if (b == '\t') out += "\\t";
    else out += {'\\', 'x', kHex[b >> 4], kHex[b & 15]};
  };
  for (size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x20 || b == 0x7F) {
      escaped(b);
    } else if (gbk && IsLeadByte(b)) {
      auto trail = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
      if (trail >= 0x40 && trail != 0x7F && trail != 0xFF) {
        out.append(text.substr(i, 2));
        ++i;
      } else {
        escaped(b);
      }
    } else {
      out.push_back(static_cast<char>(b));
    }
  }
  return out;
}

namespace {

// The 16-bit value a character compares by in the name order.
unsigned NameOrderCode(std::string_view t, size_t at, size_t length) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(t[k]); };
  if (length == 2) return UpperDoubleByte(byte(at) * 256u + byte(at + 1));
  return static_cast<unsigned char>(LowerAscii(static_cast<char>(byte(at))));
}

}  // namespace

int CompareNames(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    size_t na = CharLength(a, i), nb = CharLength(b, j);
    unsigned ca = NameOrderCode(a, i, na), cb = NameOrderCode(b, j, nb);
    if (ca != cb) return ca < cb ? -1 : 1;
    i += na;
    j += nb;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

// Order-preserving and prefix-free: codes up to 0x80 as one byte; other
// single-byte codes (0x81..0xFF, a lone lead byte or 0xFF) as 0x81 and the
// code; a double-byte code, whose high byte is 0x81..0xFE, as that byte + 1
// and its low byte.
void AppendNameOrderKey(std::string_view name, Text& key) {
  for (size_t i = 0; i < name.size();) {
    size_t n = CharLength(name, i);
    unsigned code = NameOrderCode(name, i, n);
    if (n == 2) {
      key.push_back(static_cast<char>((code >> 8) + 1));
      key.push_back(static_cast<char>(code & 0xFF));
    } else {
      if (code > 0x80) key.push_back(static_cast<char>(0x81));
      key.push_back(static_cast<char>(code));
    }
    i += n;
  }
}

Text NameOrderKey(std::string_view name) {
  Text key;
  key.reserve(name.size() * 2);
  AppendNameOrderKey(name, key);
  return key;
}

int CompareBytes(std::string_view a, std::string_view b) {
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace ds
