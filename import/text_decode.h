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
