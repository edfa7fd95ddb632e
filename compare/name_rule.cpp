#include "compare/name_rule.h"

#include "compare/substring_index.h"

#include <algorithm>
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
  const std::vector<Row>& rows = table.rows;
  std::vector<size_t> ends;
  ends.reserve(rows.size());
  out.bytes.reserve(rows.size() * 16);
  // One pass over the rows, each row's cells asked for a little ahead; the
  // views follow once the buffer no longer moves. Folded name by name: a
  // lone lead byte ending one name must not pair with the next name's first.
  for (size_t i = 0; i < rows.size(); ++i) {
    if (i + 4 < rows.size()) rows[i + 4].Prefetch();
    size_t from = out.bytes.size();
    out.bytes += rows[i].Cell(1);
    if (!rule.caseSensitive) ToLowerAsciiInPlace(out.bytes.data() + from, out.bytes.size() - from);
    ends.push_back(out.bytes.size());
  }
  out.names.reserve(rows.size());
  for (size_t i = 0, at = 0; i < ends.size(); at = ends[i++])
    out.names.push_back(std::string_view(out.bytes).substr(at, ends[i] - at));
  return out;
}

bool PreparedNamesMatch(std::string_view sought, std::string_view other, bool exact, FuzzyMatch fuzzy) {
  if (exact) return sought == other;
  if (fuzzy == FuzzyMatch::kPrefix) return other.substr(0, sought.size()) == sought;
  return Find(other, sought) != -1;
}

namespace {

uint64_t HashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }
uint32_t TagOf(uint64_t hash) { return static_cast<uint32_t>(hash >> 32 ^ hash); }

}  // namespace

CounterpartFinder::CounterpartFinder(const std::vector<std::string_view>& preparedNames, bool exact, FuzzyMatch fuzzy)
    : names_(preparedNames), exact_(exact), fuzzy_(fuzzy) {
  if (!exact_) return;
  size_t capacity = 16;
  while (capacity < names_.size() * 2) capacity *= 2;
  slots_.assign(capacity, Slot{});
  mask_ = capacity - 1;
  uint64_t hashes[kBatch];
  for (size_t from = 0; from < names_.size(); from += kBatch) {
    size_t n = HashBatch(names_, from, hashes);
    for (size_t k = 0; k < n; ++k) {
      size_t i = from + k;
      size_t at = Probe(names_[i], hashes[k]);
      // A later row of the same name is no counterpart.
      if (slots_[at].rowPlus1 == 0)
        slots_[at] = {TagOf(hashes[k]), static_cast<int>(i) + 1, names_[i].data(), names_[i].size()};
    }
  }
}

// Hashes the next names and asks for their first slots, so that the reads of
// a batch overlap; returns how many.
size_t CounterpartFinder::HashBatch(const std::vector<std::string_view>& names, size_t from, uint64_t* hashes) const {
  size_t n = std::min(kBatch, names.size() - from);
  for (size_t k = 0; k < n; ++k) {
    hashes[k] = HashOf(names[from + k]);
    __builtin_prefetch(&slots_[static_cast<size_t>(hashes[k]) & mask_]);
  }
  return n;
}

// The slot that holds `name`, or the empty slot where it would go.
size_t CounterpartFinder::Probe(std::string_view name, uint64_t hash) const {
  uint32_t tag = TagOf(hash);
  size_t at = static_cast<size_t>(hash) & mask_;
  for (; slots_[at].rowPlus1 != 0; at = (at + 1) & mask_) {
    const Slot& slot = slots_[at];
    if (slot.hash == tag && std::string_view(slot.bytes, slot.size) == name) break;
  }
  return at;
}

int CounterpartFinder::Find(std::string_view sought) const {
  if (exact_) return slots_[Probe(sought, HashOf(sought))].rowPlus1 - 1;
  for (size_t i = 0; i < names_.size(); ++i)
    if (PreparedNamesMatch(sought, names_[i], false, fuzzy_)) return static_cast<int>(i);
  return -1;
}

std::vector<int> CounterpartFinder::FindEach(const std::vector<std::string_view>& sought) const {
  std::vector<int> rows(sought.size());
  if (!exact_) {
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
  uint64_t hashes[kBatch];
  for (size_t from = 0; from < sought.size(); from += kBatch) {
    size_t n = HashBatch(sought, from, hashes);
    for (size_t k = 0; k < n; ++k) __builtin_prefetch(slots_[static_cast<size_t>(hashes[k]) & mask_].bytes);
    for (size_t k = 0; k < n; ++k) rows[from + k] = slots_[Probe(sought[from + k], hashes[k])].rowPlus1 - 1;
  }
  return rows;
}

}  // namespace ds
