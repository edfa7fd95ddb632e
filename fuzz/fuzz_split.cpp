// The splitter and its neighbours on arbitrary bytes: the first byte picks a
// separator length, the rest is split at that separator.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "items/text.h"
#include "tests/items/plain_split.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  size_t sepLength = data[0] % 4;
  if (size < 1 + sepLength) return 0;
  std::string_view sep(reinterpret_cast<const char*>(data + 1), sepLength);
  std::string_view text(reinterpret_cast<const char*>(data + 1 + sepLength), size - 1 - sepLength);
  // The splitter jumps between candidate bytes; it must cut exactly where a
  // walk by characters does, lead bytes before a candidate included.
  std::vector<std::string_view> pieces;
  for (int maxCount : {-1, 3}) {
    ds::SplitViews(text, sep, maxCount, pieces);
    if (pieces != ds::test::PlainSplit(text, sep, maxCount)) __builtin_trap();
  }
  ds::Text trimmed = ds::Trim(text);
  if (trimmed.size() > text.size()) __builtin_trap();
  if (ds::RemoveSpaces(trimmed).size() > trimmed.size()) __builtin_trap();
  int at = ds::Find(text, sep);
  if (at > static_cast<int>(text.size())) __builtin_trap();
  ds::Replace(text, sep, "xy", 1, -1, false);
  ds::CompareNames(text, sep);
  return 0;
}
