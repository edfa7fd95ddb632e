// The item comparison report: an item of one slot, its counterpart in the
// other, and what the report box and the content box show for them.
#pragma once

#include <string_view>

#include "compare/name_rule.h"
#include "items/rows.h"
#include "items/slot_parser.h"

namespace ds {

struct ItemReport {
  bool shown = false;    // false: the other list is empty and nothing changes
  int counterpart = -1;  // row of the other list to select, -1 for none
  Text report;           // report box
  Text content;          // content box
};

// Reports against one other list; its names are prepared and, for exact
// rules, indexed once, so many reports cost one scan of that list.
class ItemReporter {
 public:
  ItemReporter(const RowTable& other, const NameRule& rule);
  ItemReporter(const ItemReporter&) = delete;
  ItemReporter& operator=(const ItemReporter&) = delete;

  // Report on an item of the source list (nullptr: no selected row, empty
  // name and value); side is the slot of the source list.
  ItemReport Report(const Row* item, Slot side, const Separators& separators, std::string_view modeWord) const;

 private:
  const RowTable& other_;
  NameRule rule_;
  PreparedNames names_;
  CounterpartFinder finder_;
};

// Name, value separator, value, line separator: the slot text format.
Text SlotTextItem(std::string_view name, std::string_view value, const Separators& separators);
void AppendSlotTextItem(Text& out, std::string_view name, std::string_view value, const Separators& separators);

// The content box for a difference row: both items, each ended by CR LF, with
// an empty line between them.
Text DifferenceContent(const Row* slot1Row, const Row* slot2Row, std::string_view valueSeparator);

// The content box for a difference row's own cells after a value was taken
// across: the Slot 1 form, an empty line, the Slot 2 form (no line break
// after it).
Text DifferenceRowContent(const Row& row, const Separators& separators);

}  // namespace ds
