// The splitter written plainly, character by character: the definition the
// fast one is checked against.
#pragma once

#include <string_view>
#include <vector>

#include "items/text.h"

namespace ds::test {

inline std::vector<std::string_view> PlainSplit(std::string_view text, std::string_view separator, int maxCount) {
  std::vector<std::string_view> pieces;
  if (text.empty() || maxCount == 0) return pieces;
  if (separator.empty()) return {text};
  size_t pieceStart = 0;
  for (size_t i = 0; i < text.size();) {
    if (text.substr(i, separator.size()) == separator) {
      pieces.push_back(text.substr(pieceStart, i - pieceStart));
      if (maxCount > 0 && static_cast<int>(pieces.size()) >= maxCount) return pieces;
      i += separator.size();
      pieceStart = i;
    } else {
      i += CharLength(text, i);
    }
  }
  if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
  return pieces;
}

}  // namespace ds::test
