// Escapes that the languages of copied captures share: hex digits and
// \u escapes naming UTF-16 units. Everything here writes UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace ds {

int HexDigit(char c);

// Up to `most` hex digits from `at`: how many there are, and their value.
size_t HexRun(std::string_view t, size_t at, size_t most, char32_t* value);

// A code point, or a UTF-16 unit from an escape: a high surrogate waits for
// its low one; a lone surrogate, no character, becomes U+FFFD.
class Utf16Joiner {
 public:
  explicit Utf16Joiner(std::string* out) : out_(out) {}
  ~Utf16Joiner() { Flush(); }
  void Unit(char32_t unit);
  void Flush();  // before anything that is not a unit

 private:
  std::string* out_;
  char32_t high_ = 0;
};

}  // namespace ds
