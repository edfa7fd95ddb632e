// The item list sort: an insertion order with fixed tie rules, so names that
// compare equal keep a well-defined order.
#pragma once

#include "items/rows.h"

namespace ds {

struct SortResult {
  bool selectionRestored = false;  // the caller scrolls `selected` into view
};

SortResult SortItemRows(RowTable& table, int column, bool ascending, bool caseSensitive);

}  // namespace ds
