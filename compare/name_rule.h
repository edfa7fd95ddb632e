// Matching names between the two slots under the case-sensitive and
// exact-match switches.
#pragma once

#include <string_view>
#include <vector>

#include "items/rows.h"

namespace ds {

struct NameRule {
  bool caseSensitive = true;
  bool exact = true;
};

// Where a fuzzy match may stand: the analysis run with case-sensitive names
// needs the other name to begin with the sought one; everywhere else the
// sought name may stand anywhere (stepping by character).
enum class FuzzyMatch { kPrefix, kAnywhere };

FuzzyMatch AnalysisFuzzyMatch(const NameRule& rule);

// Names as the rule compares them: lower-cased (ASCII only) when case does
// not matter, as they are otherwise.
Text PrepareName(std::string_view name, const NameRule& rule);

// Column 1 of every row as the rule compares it: views of the rows' own
// names when case matters (no copies), else of lower-cased copies kept here.
// Not copyable: the views may point into it.
struct PreparedNames {
  PreparedNames() = default;
  PreparedNames(PreparedNames&&) = default;
  PreparedNames(const PreparedNames&) = delete;
  PreparedNames& operator=(const PreparedNames&) = delete;
  std::vector<Text> lowered;
  std::vector<std::string_view> names;
};
PreparedNames PrepareNames(const RowTable& table, const NameRule& rule);

bool PreparedNamesMatch(std::string_view sought, std::string_view other, bool exact, FuzzyMatch fuzzy);

// The first row of a list whose prepared name matches; exact rules look the
// name up in an index of the first row of each name instead of scanning.
class CounterpartFinder {
 public:
  CounterpartFinder(const std::vector<std::string_view>& preparedNames, bool exact, FuzzyMatch fuzzy);
  int Find(std::string_view preparedSought) const;  // row index or -1

 private:
  const std::vector<std::string_view>& names_;
  bool exact_;
  FuzzyMatch fuzzy_;
  // Open addressing over the rows: each slot holds a row + 1 (0: empty), only
  // the first row of each name; a flat table keeps lookups in cache.
  std::vector<int> slots_;
  size_t mask_ = 0;
};

}  // namespace ds
