// The decoded comparison on two arbitrary values (split at the first zero
// byte, else in halves), and the ignore patterns on the same bytes. The
// report's lines must stay single lines, and the first difference must lie
// inside both texts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "compare/ignore_list.h"
#include "decode/decoded_comparison.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  size_t cut = all.find('\0');
  std::string_view one = cut == std::string_view::npos ? all.substr(0, size / 2) : all.substr(0, cut);
  std::string_view two = cut == std::string_view::npos ? all.substr(size / 2) : all.substr(cut + 1);

  ds::DecodedComparison c = ds::CompareDecoded(one, two);
  for (const ds::Text& line : ds::DecodedComparisonLines(c))
    if (line.find_first_of("\r\n") != ds::Text::npos) __builtin_trap();
  if (c.first && c.first->offset > std::min(c.side1.text.size(), c.side2.text.size())) __builtin_trap();
  if (c.sameRaw != (one == two)) __builtin_trap();

  for (bool caseSensitive : {true, false}) {
    ds::IgnoreMatcher matcher({ds::Text(one)}, caseSensitive);
    matcher.Matches(two);
    // An empty pattern is dropped; every other name matches its own pattern.
    if (!two.empty() && !ds::IgnoreMatcher({ds::LiteralPattern(two)}, caseSensitive).Matches(two)) __builtin_trap();
  }
  return 0;
}
