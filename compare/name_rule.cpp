#include "compare/name_rule.h"

#include <functional>

namespace ds {

FuzzyMatch AnalysisFuzzyMatch(const NameRule& rule) {
  return rule.caseSensitive ? FuzzyMatch::kPrefix : FuzzyMatch::kAnywhere;
}

Text PrepareName(std::string_view name, const NameRule& rule) {
  return rule.caseSensitive ? Text(name) : ToLowerAscii(name);
}

PreparedNames PrepareNames(const RowTable& table, const NameRule& rule) {
  PreparedNames out;
  out.names.reserve(table.rows.size());
  if (rule.caseSensitive) {
    for (const Row& row : table.rows) out.names.push_back(row.Cell(1));
    return out;
  }
  out.lowered.reserve(table.rows.size());
  for (const Row& row : table.rows) out.lowered.push_back(ToLowerAscii(row.Cell(1)));
  for (const Text& name : out.lowered) out.names.push_back(name);
  return out;
}

bool PreparedNamesMatch(std::string_view sought, std::string_view other, bool exact, FuzzyMatch fuzzy) {
  if (exact) return sought == other;
  if (fuzzy == FuzzyMatch::kPrefix) return other.substr(0, sought.size()) == sought;
  return Find(other, sought) != -1;
}

CounterpartFinder::CounterpartFinder(const std::vector<std::string_view>& preparedNames, bool exact, FuzzyMatch fuzzy)
    : names_(preparedNames), exact_(exact), fuzzy_(fuzzy) {
  if (!exact_) return;
  size_t capacity = 16;
  while (capacity < names_.size() * 2) capacity *= 2;
  slots_.assign(capacity, 0);
  mask_ = capacity - 1;
  for (size_t i = 0; i < names_.size(); ++i) {
    size_t at = std::hash<std::string_view>{}(names_[i]) & mask_;
    while (slots_[at] != 0 && names_[static_cast<size_t>(slots_[at] - 1)] != names_[i]) at = (at + 1) & mask_;
    if (slots_[at] == 0) slots_[at] = static_cast<int>(i) + 1;  // a later row of the same name is no counterpart
  }
}

int CounterpartFinder::Find(std::string_view sought) const {
  if (exact_) {
    for (size_t at = std::hash<std::string_view>{}(sought) & mask_; slots_[at] != 0; at = (at + 1) & mask_)
      if (names_[static_cast<size_t>(slots_[at] - 1)] == sought) return slots_[at] - 1;
    return -1;
  }
  for (size_t i = 0; i < names_.size(); ++i)
    if (PreparedNamesMatch(sought, names_[i], false, fuzzy_)) return static_cast<int>(i);
  return -1;
}

}  // namespace ds
