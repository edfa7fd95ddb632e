// The percent decoder and the UTF-8 step on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "items/percent_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ds::Text raw = ds::PercentDecode(text, false);
  if (raw.size() > text.size()) __builtin_trap();
  ds::Text converted = ds::PercentDecode(text, true);
  // Every UTF-8 byte turns into at most two GBK bytes.
  if (converted.size() > 2 * raw.size()) __builtin_trap();
  ds::IsPercentEncoded(text);
  return 0;
}
