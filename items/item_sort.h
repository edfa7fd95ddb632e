// The item list sort: an insertion order with fixed tie rules, so names that
// compare equal keep a well-defined order.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "items/rows.h"

namespace ds {

struct SortResult {
  bool selectionRestored = false;  // the caller scrolls `selected` into view
};

// Indices of `names` in the ascending order the sort gives them.
std::vector<int> ItemOrder(const std::vector<std::string_view>& names, bool caseSensitive);
// The same for `count` names kept elsewhere, read through `trimmedName`
// already trimmed (as the parser cuts them); the one above trims them itself.
std::vector<int> ItemOrder(size_t count, const std::function<std::string_view(size_t)>& trimmedName,
                           bool caseSensitive);

SortResult SortItemRows(RowTable& table, int column, bool ascending, bool caseSensitive);

}  // namespace ds
