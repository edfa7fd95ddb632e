// A file's bytes as GBK text, for both front ends. Nothing is replaced
// silently: a character code page 936 cannot hold is refused with its offset.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ds {

enum class TextEncoding {
  kUtf8,    // a UTF-8 byte order mark is skipped
  kGbk,
  kDetect,  // byte order marks (UTF-8, UTF-16 LE/BE), else UTF-8 when it is valid, else GBK
};

struct DecodedText {
  std::string gbk;
  std::optional<size_t> badOffset;  // byte offset of the first character that cannot be held
  bool nul = false;                 // kDetect only: the refusal is a NUL byte (UTF-16 without a mark?)
};

DecodedText DecodeText(std::string_view bytes, TextEncoding encoding);

// A capture's text as its readers take it: UTF-8, whatever the source held,
// so that a character GBK lacks stops only a text that goes into a slot.
// Where it came from lets a message count the source's own bytes.
struct CaptureText {
  enum class Origin { kUtf8, kUtf16Le, kUtf16Be, kGbk, kClipboard };
  std::string utf8;
  Origin origin = Origin::kUtf8;
  size_t markBytes = 0;  // a byte order mark skipped

  // The offset in the source of the character that starts at `utf8Offset`.
  size_t SourceOffset(size_t utf8Offset) const;
};

struct DecodedCapture {
  CaptureText text;
  std::optional<size_t> badOffset;  // the source cannot be read as text from here
  bool nul = false;                 // the refusal is a NUL byte (UTF-16 without a mark?)
};

// Byte order marks always decide; without one, `gbk` reads GBK, else valid
// UTF-8 is UTF-8 and anything else GBK.
DecodedCapture DecodeCapture(std::string bytes, bool gbk);

// UTF-8 as GBK; the offset of the first character GBK cannot hold, when one
// cannot be held (or the text is no UTF-8 there).
struct GbkConversion {
  std::string gbk;
  std::optional<size_t> badOffset;
};
GbkConversion Utf8AsGbk(std::string_view utf8);

// The code point that starts at `at` (U+FFFD where none does) and its length.
char32_t Utf8CodePointAt(std::string_view utf8, size_t at, size_t* length);
void AppendUtf8(char32_t code, std::string* out);

// A lone LF becomes CR LF, as text pasted on Windows has it.
std::string WindowsLineBreaks(std::string text);

// ASCII reads the same in every encoding here: most of what passes through.
bool IsAscii(std::string_view text);

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view bytes);

// A code point as UTF-16: one unit, or a surrogate pair beyond U+FFFF.
void AppendUtf16(char32_t code, std::u16string* units);

// Byte length of the code page 936 character at index i: 1 or 2, or 0 when
// the byte there starts none (0xFF, a lead byte without a trail byte).
size_t GbkCharLength(std::string_view text, size_t i);

}  // namespace ds
