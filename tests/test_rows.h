// Builds item rows for tests: number, name, value.
#pragma once

#include <initializer_list>
#include <utility>

#include "items/rows.h"

namespace ds::test {

inline RowTable RowsOf(std::initializer_list<std::pair<const char*, const char*>> items) {
  RowTable table;
  long long n = 0;
  for (auto [name, value] : items) table.rows.push_back(Row{{ToText(++n), name, value}});
  return table;
}

}  // namespace ds::test
