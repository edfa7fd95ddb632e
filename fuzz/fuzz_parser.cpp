// The slot parser on arbitrary bytes under both modes' separators and a
// double-byte one; every item it returns must have a non-empty name.
#include <cstddef>
#include <cstdint>
#include <string>

#include "items/slot_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const ds::Separators modes[] = {{";", "="}, {"\r\n", ":"}, {"\xD6\xD0", "=>"}};
  ds::SlotContext slot{};
  for (const ds::Separators& separators : modes) {
    ds::ParseOutcome out = ds::ParseSlotText(text, separators, slot);
    for (const ds::Row& row : out.rows)
      if (row.Cell(1).empty()) __builtin_trap();
  }
  return 0;
}
