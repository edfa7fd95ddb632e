// The comparison pass that fills the three result lists, and the summary line.
#pragma once

#include <string_view>
#include <vector>

#include "compare/name_rule.h"
#include "items/rows.h"

namespace ds {

struct ComparisonLists {
  std::vector<Row> missingInSlot1;  // Slot 2 items Slot 1 lacks: number, name, value
  std::vector<Row> missingInSlot2;  // Slot 1 items Slot 2 lacks
  std::vector<Row> different;       // number, Slot 1 name, Slot 1 value, Slot 2 value
};

// Values compare byte for byte; the rule decides only which names match.
ComparisonLists CompareItemTables(const RowTable& slot1, const RowTable& slot2, const NameRule& rule);

Text SummaryText(const ComparisonLists& lists, std::string_view modeWord);

}  // namespace ds
