#include "compare/name_rule.h"

namespace ds {

FuzzyMatch AnalysisFuzzyMatch(const NameRule& rule) {
  return rule.caseSensitive ? FuzzyMatch::kPrefix : FuzzyMatch::kAnywhere;
}

Text PrepareName(std::string_view name, const NameRule& rule) {
  return rule.caseSensitive ? Text(name) : ToLowerAscii(name);
}

std::vector<Text> PrepareNames(const RowTable& table, const NameRule& rule) {
  std::vector<Text> names;
  names.reserve(table.rows.size());
  for (const Row& row : table.rows) names.push_back(PrepareName(row.Cell(1), rule));
  return names;
}

bool PreparedNamesMatch(std::string_view sought, std::string_view other, bool exact, FuzzyMatch fuzzy) {
  if (exact) return sought == other;
  if (fuzzy == FuzzyMatch::kPrefix) return other.substr(0, sought.size()) == sought;
  return Find(other, sought) != -1;
}

CounterpartFinder::CounterpartFinder(const std::vector<Text>& preparedNames, bool exact, FuzzyMatch fuzzy)
    : names_(preparedNames), exact_(exact), fuzzy_(fuzzy) {
  if (!exact_) return;
  firstRow_.reserve(names_.size());
  for (size_t i = 0; i < names_.size(); ++i) firstRow_.emplace(names_[i], static_cast<int>(i));
}

int CounterpartFinder::Find(std::string_view sought) const {
  if (exact_) {
    auto it = firstRow_.find(sought);
    return it == firstRow_.end() ? -1 : it->second;
  }
  for (size_t i = 0; i < names_.size(); ++i)
    if (PreparedNamesMatch(sought, names_[i], false, fuzzy_)) return static_cast<int>(i);
  return -1;
}

}  // namespace ds
