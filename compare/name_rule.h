// Matching names between the two slots under the case-sensitive and
// exact-match switches.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "items/name_index.h"
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
// The item report, and so the pairing of the two item lists' selections,
// takes a name found anywhere.
constexpr FuzzyMatch kReportFuzzyMatch = FuzzyMatch::kAnywhere;

// Names as the rule compares them: lower-cased (ASCII only) when case does
// not matter, as they are otherwise.
Text PrepareName(std::string_view name, const NameRule& rule);

// Column 1 of every row as the rule compares it (lower-cased when case does
// not matter): a view into the row, or into `bytes` for a name that lowering
// may change. Valid while the rows stay where they are.
// Not copyable: views point into `bytes`; a move points them at the new
// buffer (a short one lives inside the string and moves with it).
struct PreparedNames {
  PreparedNames() = default;
  PreparedNames(PreparedNames&& other) noexcept { *this = std::move(other); }
  PreparedNames& operator=(PreparedNames&& other) noexcept;
  PreparedNames(const PreparedNames&) = delete;
  PreparedNames& operator=(const PreparedNames&) = delete;
  Text bytes;
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
  // Find for each name, in order; exact lookups run a few dozen at a time so
  // their memory reads overlap.
  std::vector<int> FindEach(const std::vector<std::string_view>& preparedSought) const;

 private:
  const std::vector<std::string_view>& names_;
  FuzzyMatch fuzzy_;
  std::optional<NameIndex> index_;  // exact rules only
};

}  // namespace ds
