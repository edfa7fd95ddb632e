// The item sort against its plain definition on arbitrary names full of
// ties: every byte string is cut into names at the byte 0x3B (";").
#include <cstddef>
#include <cstdint>
#include <string>

#include "items/item_sort.h"
#include "tests/items/plain_insertion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  bool caseSensitive = data[0] & 1;
  ds::RowTable table;
  std::vector<ds::Text> keys;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  for (const ds::Text& name : ds::Split(rest, ";")) {
    ds::Text trimmed = ds::Trim(name);
    keys.push_back(caseSensitive ? trimmed : ds::NameOrderKey(trimmed));
    table.rows.push_back(ds::Row{{"", name, std::to_string(table.rows.size())}});
  }
  // The keys must order as the names do, or the sort's reference would share its mistake.
  for (size_t i = 1; i < table.rows.size(); ++i) {
    std::string_view a = table.rows[i - 1].Cell(1), b = table.rows[i].Cell(1);
    int byName = ds::CompareNames(a, b), byKey = ds::CompareBytes(ds::NameOrderKey(a), ds::NameOrderKey(b));
    if ((byName > 0) - (byName < 0) != byKey) __builtin_trap();
  }
  std::vector<int> expected = ds::test::PlainInsertionOrder(keys);
  ds::SortItemRows(table, 1, true, caseSensitive);
  for (size_t i = 0; i < expected.size(); ++i)
    if (table.rows[i].Cell(2) != std::to_string(expected[i])) __builtin_trap();
  return 0;
}
