// The comparison pass that fills the three result lists, and the summary line.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "compare/name_rule.h"
#include "items/rows.h"

namespace ds {

struct ComparisonLists {
  std::vector<Row> missingInSlot1;  // Slot 2 items Slot 1 lacks: number, name, value
  std::vector<Row> missingInSlot2;  // Slot 1 items Slot 2 lacks
  std::vector<Row> different;       // number, Slot 1 name, Slot 1 value, Slot 2 value
};

// The same three lists as places in the two item lists: what the pass finds,
// before any row is copied. A list's row number is its place plus one.
struct ComparisonPairs {
  std::vector<int> missingInSlot1;             // Slot 2 rows that Slot 1 lacks
  std::vector<int> missingInSlot2;             // Slot 1 rows that Slot 2 lacks
  std::vector<std::pair<int, int>> different;  // a Slot 1 row and its counterpart in Slot 2

  bool empty() const { return missingInSlot1.empty() && missingInSlot2.empty() && different.empty(); }
};

// Values compare byte for byte; the rule decides only which names match.
ComparisonPairs PairItemTables(const RowTable& slot1, const RowTable& slot2, const NameRule& rule);
// The rows the lists show for these pairs, numbered from 1.
ComparisonLists ListsOfPairs(const ComparisonPairs& pairs, const RowTable& slot1, const RowTable& slot2);
ComparisonLists CompareItemTables(const RowTable& slot1, const RowTable& slot2, const NameRule& rule);

Text SummaryText(size_t missingInSlot1, size_t missingInSlot2, size_t different, std::string_view modeWord);
Text SummaryText(const ComparisonLists& lists, std::string_view modeWord);

}  // namespace ds
