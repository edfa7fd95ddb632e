// The first row of each name, found by the name's exact bytes.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace ds {

// Names already in byte order (a list as its parse sorted it) need no table:
// the first of a name is where it first stands, found by halving, and a
// sorted run of sought names by one walk beside them.
// Otherwise open addressing over the rows: each slot holds a row + 1 (0:
// empty), only the first row of each name, with 32 bits of the name's hash,
// so a probe reads a name only when the hash agrees; eight bytes a slot keep
// the table small enough to stay in cache. The names must outlive the index.
class NameIndex {
 public:
  explicit NameIndex(const std::vector<std::string_view>& names);
  int First(std::string_view name) const;  // row index or -1
  // First for each name, in order; lookups run a few dozen at a time so
  // their memory reads overlap.
  std::vector<int> FirstOfEach(const std::vector<std::string_view>& sought) const;

 private:
  struct Slot {
    uint32_t hash = 0;
    int rowPlus1 = 0;
  };
  struct Hashed {};
  NameIndex(const std::vector<std::string_view>& names, Hashed);
  void BuildTable();
  const std::vector<std::string_view>& names_;
  bool sorted_ = false;
  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t Probe(std::string_view name, uint64_t hash) const;
  static constexpr size_t kBatch = 32;
  size_t HashBatch(const std::vector<std::string_view>& names, size_t from, uint64_t* hashes) const;
};

// Two lists both in byte order (each slot as its parse sorted it): the first
// row of each name of one list in the other, both ways in one walk beside
// both. False, with nothing found, when either list is in another order.
bool FirstOfEachBothWays(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                         std::vector<int>& inB, std::vector<int>& inA);

}  // namespace ds
