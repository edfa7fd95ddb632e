// Text operations on GBK byte strings: positions are 1-based byte positions,
// and every scan steps over a double-byte character as one unit.
#pragma once

#include <charconv>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace ds {

using Text = std::string;

// Code page 936 leads a double-byte character only with 0x81..0xFE; 0x80 (the
// euro sign) and 0xFF stand alone.
constexpr bool IsLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Byte length of the character that starts at index i (0-based): 2 for a lead
// byte followed by another byte, else 1.
inline size_t CharLength(std::string_view t, size_t i) {
  return (IsLeadByte(static_cast<unsigned char>(t[i])) && i + 1 < t.size()) ? 2 : 1;
}

// 1-based position of the first match at or after `start`, or -1.
int Find(std::string_view text, std::string_view sought, int start = 1, bool ignoreCase = false);

// An empty piece before a separator is kept; the rest after the last one only
// when it is not empty. maxCount < 0 means no limit.
std::vector<Text> Split(std::string_view text, std::string_view separator, int maxCount = -1);
// Split's pieces as views into `text`, into `pieces` (cleared first), so a
// caller cutting many lines reuses one vector.
void SplitViews(std::string_view text, std::string_view separator, int maxCount,
                std::vector<std::string_view>& pieces);
// The same pieces handed to `take` one by one, held nowhere.
template <typename Take>
void ForEachPiece(std::string_view text, std::string_view separator, int maxCount, Take&& take) {
  if (text.empty() || maxCount == 0) return;
  if (separator.empty()) {
    take(text);
    return;
  }
  // The scan jumps from one byte like the separator's first to the next. A
  // byte is where a character starts unless the byte before it is a lead byte;
  // only then is the walk by characters needed, from the last known start.
  int taken = 0;
  size_t pieceStart = 0, known = 0;  // `known`: a character starts there
  for (size_t i = 0; i < text.size();) {
    const void* hit = std::memchr(text.data() + i, separator[0], text.size() - i);
    if (!hit) break;
    size_t p = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
    size_t next = p;  // the start at or after p
    if (p > known && IsLeadByte(static_cast<unsigned char>(text[p - 1])))
      for (next = known; next < p;) next += CharLength(text, next);
    if (next != p) {  // the second byte of a character
      known = i = next;
      continue;
    }
    // The byte found is the whole of a one-byte separator.
    if (text.size() - p >= separator.size() &&
        (separator.size() == 1 || std::memcmp(text.data() + p, separator.data(), separator.size()) == 0)) {
      take(text.substr(pieceStart, p - pieceStart));
      if (maxCount > 0 && ++taken >= maxCount) return;
      known = i = pieceStart = p + separator.size();
    } else {
      known = i = p + CharLength(text, p);
    }
  }
  if (pieceStart < text.size()) take(text.substr(pieceStart));
}
// How many of something a long text likely holds in all, from how many its
// first `seen` bytes held: room for them is made at once instead of by
// doubling (which keeps both copies for a while). At most `most`, which
// callers keep to a few bytes of text each, so that a text whose start
// misleads cannot ask for more than the text's own size or so.
size_t LikelyTotal(size_t found, size_t seen, size_t total, size_t most);

// Non-overlapping, left to right from `start`, at most `count` replacements
// (count < 0: all).
Text Replace(std::string_view text, std::string_view sought, std::string_view replacement = {},
             int start = 1, int count = -1, bool caseSensitive = true);

Text RemoveSpaces(std::string_view text);  // ASCII and ideographic spaces everywhere
Text Trim(std::string_view text);          // the same, at both ends only
std::string_view TrimmedView(std::string_view text);  // Trim without the copy
Text Left(std::string_view text, int n);
Text Right(std::string_view text, int n);
Text Mid(std::string_view text, int start, int n);
Text ToUpperAscii(std::string_view text);
Text ToLowerAscii(std::string_view text);
void ToLowerAsciiInPlace(char* text, size_t size);  // the same, on bytes in place
Text Character(int byteValue);
Text ToText(long long value);

// A name or value from a capture as a one-line message shows it: control
// bytes (below 0x20, and 0x7F) as \xNN, CR, LF and tab as \r, \n, \t, so a
// file's escape sequences never reach a terminal and a message stays on one
// line. In GBK (`gbk`) a double-byte character stays whole, and a lead byte
// with no trail byte after it is written as \xNN too, or it would take the
// message's next character as its own; UTF-8 text (`gbk` false) only has
// its control bytes escaped, which never occur inside its characters.
Text EscapeForMessage(std::string_view text, bool gbk = true);

// A number's decimal digits without a string of their own, for the row
// numbers of long lists.
class Digits {
 public:
  explicit Digits(long long value) : size_(static_cast<size_t>(std::to_chars(bytes_, bytes_ + sizeof bytes_, value).ptr - bytes_)) {}
  operator std::string_view() const { return {bytes_, size_}; }

 private:
  char bytes_[24];
  size_t size_;
};

// The name order: case-folded character by character, double-byte
// characters as 16-bit values after upper-case mapping; a prefix sorts first.
int CompareNames(std::string_view a, std::string_view b);

// A byte string whose plain byte order is the name order of the names, so a
// sort can fold each name once instead of at every comparison. A single-byte
// character takes one byte, so ASCII names keep their length.
Text NameOrderKey(std::string_view name);
void AppendNameOrderKey(std::string_view name, Text& key);

// Plain byte order (memcmp, then length).
int CompareBytes(std::string_view a, std::string_view b);

}  // namespace ds
