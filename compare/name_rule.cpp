#include "compare/name_rule.h"

#include "compare/substring_index.h"

#include <functional>
#include <utility>

namespace ds {
namespace {

// Any byte of A to Z, trail bytes of double-byte characters included: those
// names are lowered into a copy, which leaves such trail bytes as they are.
bool MayChangeWhenLowered(std::string_view name) {
  for (char c : name)
    if (c >= 'A' && c <= 'Z') return true;
  return false;
}

}  // namespace

FuzzyMatch AnalysisFuzzyMatch(const NameRule& rule) {
  return rule.caseSensitive ? FuzzyMatch::kPrefix : FuzzyMatch::kAnywhere;
}

Text PrepareName(std::string_view name, const NameRule& rule) {
  return rule.caseSensitive ? Text(name) : ToLowerAscii(name);
}

PreparedNames PrepareNames(const RowTable& table, const NameRule& rule) {
  PreparedNames out;
  const std::vector<Row>& rows = table.rows;
  // A name the rule leaves as it is stays a view into its row; only names
  // that lower-casing changes are copied, side by side. Their views follow
  // once the buffer no longer moves.
  std::vector<std::pair<size_t, size_t>> copied;  // row, offset in bytes
  out.names.reserve(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (i + 4 < rows.size()) rows[i + 4].Prefetch();
    std::string_view name = rows[i].Cell(1);
    out.names.push_back(name);
    if (rule.caseSensitive || !MayChangeWhenLowered(name)) continue;
    copied.emplace_back(i, out.bytes.size());
    out.bytes += name;
    // Folded name by name: a lone lead byte ending one name must not pair
    // with the next name's first.
    ToLowerAsciiInPlace(out.bytes.data() + copied.back().second, name.size());
  }
  for (auto [row, at] : copied) out.names[row] = std::string_view(out.bytes).substr(at, out.names[row].size());
  return out;
}

PreparedNames& PreparedNames::operator=(PreparedNames&& other) noexcept {
  const char* oldBase = other.bytes.data();
  const char* oldEnd = oldBase + other.bytes.size();
  bytes = std::move(other.bytes);
  names = std::move(other.names);
  // Pointers into different strings are ordered only by std::less and kin.
  for (std::string_view& name : names)
    if (std::greater_equal<const char*>()(name.data(), oldBase) && std::less<const char*>()(name.data(), oldEnd))
      name = std::string_view(bytes.data() + (name.data() - oldBase), name.size());
  return *this;
}

bool PreparedNamesMatch(std::string_view sought, std::string_view other, bool exact, FuzzyMatch fuzzy) {
  if (exact) return sought == other;
  if (fuzzy == FuzzyMatch::kPrefix) return other.substr(0, sought.size()) == sought;
  return Find(other, sought) != -1;
}

CounterpartFinder::CounterpartFinder(const std::vector<std::string_view>& preparedNames, bool exact, FuzzyMatch fuzzy)
    : names_(preparedNames), fuzzy_(fuzzy) {
  if (exact) index_.emplace(names_);
}

int CounterpartFinder::Find(std::string_view sought) const {
  if (index_) return index_->First(sought);
  for (size_t i = 0; i < names_.size(); ++i)
    if (PreparedNamesMatch(sought, names_[i], false, fuzzy_)) return static_cast<int>(i);
  return -1;
}

std::vector<int> CounterpartFinder::FindEach(const std::vector<std::string_view>& sought) const {
  if (index_) return index_->FirstOfEach(sought);
  std::vector<int> rows(sought.size());
  bool prefixes = fuzzy_ == FuzzyMatch::kPrefix;
  // Scanning costs names x sought; an index, about its suffixes x log.
  size_t suffixes = SubstringIndex::SuffixCount(names_, prefixes);
  if (sought.size() * names_.size() > 64 * 1024 && suffixes < (1u << 24) &&
      suffixes < sought.size() * names_.size() / 64) {
    SubstringIndex index(names_, prefixes);
    for (size_t i = 0; i < sought.size(); ++i) rows[i] = index.FirstRowWith(sought[i]);
  } else {
    for (size_t i = 0; i < sought.size(); ++i) rows[i] = Find(sought[i]);
  }
  return rows;
}

}  // namespace ds
