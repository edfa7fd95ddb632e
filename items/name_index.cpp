#include "items/name_index.h"

#include <algorithm>
#include <functional>

namespace ds {
namespace {

uint64_t HashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }
uint32_t TagOf(uint64_t hash) { return static_cast<uint32_t>(hash >> 32 ^ hash); }

bool InByteOrder(const std::vector<std::string_view>& names) {
  for (size_t i = 1; i < names.size(); ++i)
    if (names[i] < names[i - 1]) return false;
  return true;
}

}  // namespace

NameIndex::NameIndex(const std::vector<std::string_view>& names) : names_(names), sorted_(InByteOrder(names)) {
  if (!sorted_) BuildTable();
}

NameIndex::NameIndex(const std::vector<std::string_view>& names, Hashed) : names_(names) { BuildTable(); }

void NameIndex::BuildTable() {
  const std::vector<std::string_view>& names = names_;
  size_t capacity = 16;
  while (capacity < names.size() * 2) capacity *= 2;
  slots_.assign(capacity, Slot{});
  mask_ = capacity - 1;
  uint64_t hashes[kBatch];
  for (size_t from = 0; from < names.size(); from += kBatch) {
    size_t n = HashBatch(names, from, hashes);
    for (size_t k = 0; k < n; ++k) {
      size_t i = from + k;
      size_t at = Probe(names[i], hashes[k]);
      // A later row of the same name is not its first.
      if (slots_[at].rowPlus1 == 0)
        slots_[at] = {TagOf(hashes[k]), static_cast<int>(i) + 1};
    }
  }
}

// Hashes the next names and asks for their first slots, so that the reads of
// a batch overlap; returns how many.
size_t NameIndex::HashBatch(const std::vector<std::string_view>& names, size_t from, uint64_t* hashes) const {
  size_t n = std::min(kBatch, names.size() - from);
  for (size_t k = 0; k < n; ++k) {
    hashes[k] = HashOf(names[from + k]);
    __builtin_prefetch(&slots_[static_cast<size_t>(hashes[k]) & mask_]);
  }
  return n;
}

// The slot that holds `name`, or the empty slot where it would go.
size_t NameIndex::Probe(std::string_view name, uint64_t hash) const {
  uint32_t tag = TagOf(hash);
  size_t at = static_cast<size_t>(hash) & mask_;
  for (; slots_[at].rowPlus1 != 0; at = (at + 1) & mask_) {
    const Slot& slot = slots_[at];
    if (slot.hash == tag && names_[static_cast<size_t>(slot.rowPlus1 - 1)] == name) break;
  }
  return at;
}

int NameIndex::First(std::string_view name) const {
  if (!sorted_) return slots_[Probe(name, HashOf(name))].rowPlus1 - 1;
  auto at = std::lower_bound(names_.begin(), names_.end(), name);
  return at != names_.end() && *at == name ? static_cast<int>(at - names_.begin()) : -1;
}

std::vector<int> NameIndex::FirstOfEach(const std::vector<std::string_view>& sought) const {
  if (sorted_) {
    // Sought in any other order, a table pays off over halving every time.
    if (!InByteOrder(sought)) return NameIndex(names_, Hashed{}).FirstOfEach(sought);
    std::vector<int> rows(sought.size(), -1);
    size_t at = 0;
    for (size_t i = 0; i < sought.size(); ++i) {
      while (at < names_.size() && names_[at] < sought[i]) ++at;
      if (at < names_.size() && names_[at] == sought[i]) rows[i] = static_cast<int>(at);
    }
    return rows;
  }
  std::vector<int> rows(sought.size());
  uint64_t hashes[kBatch];
  for (size_t from = 0; from < sought.size(); from += kBatch) {
    size_t n = HashBatch(sought, from, hashes);
    for (size_t k = 0; k < n; ++k)
      if (int row = slots_[static_cast<size_t>(hashes[k]) & mask_].rowPlus1) __builtin_prefetch(&names_[static_cast<size_t>(row - 1)]);
    for (size_t k = 0; k < n; ++k)
      if (int row = slots_[static_cast<size_t>(hashes[k]) & mask_].rowPlus1)
        __builtin_prefetch(names_[static_cast<size_t>(row - 1)].data());
    for (size_t k = 0; k < n; ++k) rows[from + k] = slots_[Probe(sought[from + k], hashes[k])].rowPlus1 - 1;
  }
  return rows;
}

bool FirstOfEachBothWays(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                         std::vector<int>& inB, std::vector<int>& inA) {
  if (!InByteOrder(a) || !InByteOrder(b)) return false;
  inB.assign(a.size(), -1);
  inA.assign(b.size(), -1);
  for (size_t i = 0, j = 0; i < a.size() && j < b.size();) {
    int order = a[i].compare(b[j]);
    if (order < 0) {
      ++i;
    } else if (order > 0) {
      ++j;
    } else {  // a run of one name on each side: each row gets the other run's first
      const std::string_view name = a[i];
      const int firstA = static_cast<int>(i), firstB = static_cast<int>(j);
      for (; i < a.size() && a[i] == name; ++i) inB[i] = firstB;
      for (; j < b.size() && b[j] == name; ++j) inA[j] = firstA;
    }
  }
  return true;
}

}  // namespace ds
