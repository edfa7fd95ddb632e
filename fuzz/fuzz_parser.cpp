// The slot parser on arbitrary bytes under both modes' separators and a
// double-byte one, against the parse put together from its public steps:
// the lines as a list, the last dropped when it holds no value separator,
// each cut alone, then sorted.
#include <cstddef>
#include <cstdint>
#include <string>

#include "items/item_sort.h"
#include "items/slot_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const ds::Separators modes[] = {{";", "="}, {"\r\n", ":"}, {"\xD6\xD0", "=>"}};
  ds::SlotContext slot{};
  for (const ds::Separators& separators : modes) {
    ds::ParseOutcome out = ds::ParseSlotText(text, separators, slot);
    for (const ds::Row& row : out.rows)
      if (row.Cell(1).empty()) __builtin_trap();
    if (out.stop != ds::ParseOutcome::Stop::kParsed && out.stop != ds::ParseOutcome::Stop::kErrorRowsCleared) continue;

    std::vector<ds::Text> lines = ds::SplitSlotLines(text, separators);
    int incompleteTail = 0, emptyNames = 0, noSeparator = 0;
    if (!lines.empty() && ds::Find(lines.back(), separators.value) == -1) {
      incompleteTail = 1;
      lines.pop_back();
    }
    if ((out.stop == ds::ParseOutcome::Stop::kErrorRowsCleared) != lines.empty()) __builtin_trap();
    if (lines.empty()) continue;
    std::vector<ds::CutLine> items;
    for (const ds::Text& line : lines) {
      ds::CutLine cut = ds::CutItemLine(line, separators.value);
      if (cut.kind == ds::CutLine::Kind::kEmptyName)
        ++emptyNames;
      else if (cut.kind == ds::CutLine::Kind::kNoSeparator)
        ++noSeparator;
      else
        items.push_back(std::move(cut));
    }
    std::vector<std::string_view> names;
    for (const ds::CutLine& item : items) names.push_back(item.name);
    std::vector<int> order = ds::ItemOrder(names, false);
    if (out.incompleteTail != incompleteTail || out.emptyNames != emptyNames || out.noSeparator != noSeparator ||
        out.rows.size() != order.size())
      __builtin_trap();
    for (size_t r = 0; r < order.size(); ++r) {
      const ds::CutLine& item = items[static_cast<size_t>(order[r])];
      if (out.rows[r].Cell(0) != std::to_string(r + 1) || out.rows[r].Cell(1) != item.name ||
          out.rows[r].Cell(2) != item.value)
        __builtin_trap();
    }
  }
  return 0;
}
