#include "items/item_sort.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace ds {
namespace {

// Where the insertion procedure puts a key among the keys already placed,
// told by counts alone: `less` placed keys compare below it, `equal` compare
// equal, `placed` in all. The answer is the offset inside the run of equal
// keys (0 = before all of them, `equal` = after all of them), following the
// procedure's tie rules: equal to the last goes after it, equal to the first
// (and less than the last) goes before it, equal to a probed middle key goes
// right after that key.
size_t OffsetAmongEqual(size_t less, size_t equal, size_t placed) {
  if (placed == 0) return 0;
  size_t a = less + 1, b = less + equal;  // 1-based run of equal keys
  auto compareAt = [&](size_t position) { return position < a ? 1 : position > b ? -1 : 0; };
  if (compareAt(placed) >= 0) return placed + 1 - a;
  if (compareAt(1) <= 0) return 0;
  // Both bounds lie outside the run, which holds a key at least, so a probe
  // lands in it before they meet. The bounds move without branches: which
  // way a probe sends them cannot be guessed.
  size_t lo = 1, hi = placed;
  for (;;) {
    size_t mid = (lo + hi) / 2;
    if (mid - a <= b - a) return mid + 1 - a;  // a <= mid <= b
    bool above = mid > b;
    hi = above ? mid : hi;
    lo = above ? lo : mid;
  }
}

// Counts of placed keys by rank, with prefix sums in O(log n).
class RankCounts {
 public:
  explicit RankCounts(size_t ranks) : tree_(ranks + 1, 0) {}
  void Add(size_t rank) {
    for (size_t i = rank + 1; i < tree_.size(); i += i & (~i + 1)) ++tree_[i];
  }
  size_t Below(size_t rank) const {  // placed keys of lower rank
    uint32_t sum = 0;
    for (size_t i = rank; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }

 private:
  std::vector<uint32_t> tree_;  // row counts fit; half the cache of size_t
};

// Keys compare by sixteen-byte chunks (two numbers, most significant byte
// first), padded with zeros: most names fit one, so the sort seldom goes back
// to the keys. `tail` tells a key that ends inside the chunk (its byte count
// there) from one that goes on (17), so a prefix sorts first and equal chunks
// with equal tails below 17 mean equal keys.
constexpr size_t kChunk = 16;

struct ChunkRef {
  uint64_t high, low;
  uint32_t tail;
  int row;
};

// Eight key bytes as a number, most significant first.
uint64_t BigEndian(const unsigned char* bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  word = __builtin_bswap64(word);
#endif
  return word;
}

// A..Z in eight ASCII bytes at once: a byte gets 0x20 where it lies in 0x41..0x5A.
uint64_t LoweredAscii(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
  uint64_t low7 = word & ~kHigh;
  uint64_t atLeastA = low7 + (0x80 - 'A') * kOnes;
  uint64_t pastZ = low7 + (0x80 - 'Z' - 1) * kOnes;
  return word | ((atLeastA & ~pastZ & ~word & kHigh) >> 2);
}

// The chunk of the `left` key bytes from `at` (lowered, for the ASCII keys
// that are their names lowered).
ChunkRef MakeChunk(const char* at, size_t left, bool lower, int row) {
  unsigned char bytes[kChunk] = {};
  if (left > 0) std::memcpy(bytes, at, std::min(left, kChunk));
  uint64_t high = BigEndian(bytes), low = BigEndian(bytes + 8);
  if (lower) {
    high = LoweredAscii(high);
    low = LoweredAscii(low);
  }
  return {high, low, static_cast<uint32_t>(std::min(left, kChunk + 1)), row};
}

// The sort's keys, made from the names as they are asked for: the trimmed
// name itself, or its name-order key when case does not matter. The first
// chunk of an ASCII name's key is the name lowered, read in place; whole keys
// are made only for names whose first chunks tie.
class SortKeys {
 public:
  SortKeys(size_t count, const std::function<std::string_view(size_t)>& name, bool caseSensitive)
      : count_(count), name_(name), caseSensitive_(caseSensitive) {}
  size_t size() const { return count_; }

  ChunkRef FirstChunk(size_t r) const {
    std::string_view name = name_(r);
    int row = static_cast<int>(r);
    if (caseSensitive_) return MakeChunk(name.data(), name.size(), false, row);
    // Up to the chunk's end and one byte past it, an ASCII name and its key
    // agree byte for byte, and a longer name has a longer key.
    size_t seen = std::min(name.size(), kChunk + 1);
    if (std::all_of(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(seen),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
      return MakeChunk(name.data(), name.size(), true, row);
    Text key = Key(r);
    return MakeChunk(key.data(), key.size(), false, row);
  }
  Text Key(size_t r) const {
    std::string_view name = name_(r);
    if (caseSensitive_) return Text(name);
    Text key;
    AppendNameOrderKey(name, key);
    return key;
  }

 private:
  size_t count_;
  const std::function<std::string_view(size_t)>& name_;
  bool caseSensitive_;
};

bool SameChunk(const ChunkRef& x, const ChunkRef& y) {
  return x.high == y.high && x.low == y.low && x.tail == y.tail;
}

bool ChunkLess(const ChunkRef& x, const ChunkRef& y) {
  if (x.high != y.high) return x.high < y.high;
  return x.low != y.low ? x.low < y.low : x.tail < y.tail;
}

// Digit d of a chunk, most significant first: the sixteen bytes, then the tail.
constexpr int kDigits = 17;
unsigned DigitOf(const ChunkRef& c, int d) {
  if (d < 8) return static_cast<unsigned>(c.high >> (56 - 8 * d)) & 0xFF;
  if (d < 16) return static_cast<unsigned>(c.low >> (56 - 8 * (d - 8))) & 0xFF;
  return c.tail;
}

// The first digit from `from` on where some chunk differs from the one the
// differences were taken against (kDigits: none does).
int FirstDifferingDigit(uint64_t high, uint64_t low, uint32_t tail, int from) {
  if (from < 8) {
    uint64_t rest = high & (~0ull >> (8 * from));
    if (rest) return __builtin_clzll(rest) / 8;
    from = 8;
  }
  if (from < 16) {
    uint64_t rest = low & (~0ull >> (8 * (from - 8)));
    if (rest) return 8 + __builtin_clzll(rest) / 8;
  }
  return tail != 0 && from <= 16 ? 16 : kDigits;
}

// Sorts in place by digits, most significant first (each pass moves every
// chunk straight into its bucket), going straight past digits all chunks
// share; short stretches are left to comparison. Names mostly differ within
// their first bytes, so a few passes sort them. The order among equal chunks
// is left as it comes: they are told apart later if at all.
void SortChunks(ChunkRef* first, ChunkRef* last, int digit) {
  for (;;) {
    size_t n = static_cast<size_t>(last - first);
    if (n < 128 || digit >= kDigits) {
      std::sort(first, last, ChunkLess);
      return;
    }
    size_t count[256] = {};
    uint64_t high = 0, low = 0;
    uint32_t tail = 0;
    for (ChunkRef* c = first; c != last; ++c) {
      ++count[DigitOf(*c, digit)];
      high |= c->high ^ first->high;
      low |= c->low ^ first->low;
      tail |= c->tail ^ first->tail;
    }
    if (count[DigitOf(*first, digit)] == n) {  // one bucket: on to the first digit that tells them apart
      digit = FirstDifferingDigit(high, low, tail, digit + 1);
      if (digit >= kDigits) return;
      continue;
    }
    size_t next[256], end[256];
    for (size_t b = 0, at = 0; b < 256; ++b) {
      next[b] = at;
      at += count[b];
      end[b] = at;
    }
    // A pass over each bucket's unsorted part sends every chunk there to the
    // next free place of its bucket and leaves what comes back for the next
    // pass: chunks along a pass do not wait on each other, as each swap of a
    // chain waits on the one before.
    unsigned pending[256];
    size_t pendingCount = 0;
    for (unsigned b = 0; b < 256; ++b)
      if (next[b] < end[b]) pending[pendingCount++] = b;
    while (pendingCount > 0) {
      size_t kept = 0;
      for (size_t k = 0; k < pendingCount; ++k) {
        unsigned b = pending[k];
        for (size_t at = next[b], stop = end[b]; at < stop; ++at) {
          unsigned d = DigitOf(first[at], digit);
          std::swap(first[at], first[next[d]++]);
        }
        if (next[b] < end[b]) pending[kept++] = b;
      }
      pendingCount = kept;
    }
    for (size_t b = 0, at = 0; b < 256; at += count[b++])
      if (count[b] > 1) SortChunks(first + at, first + at + count[b], digit + 1);
    return;
  }
}

// Row indices sorted by key, and for each place whether its key differs from
// the one before. Groups that agree on a chunk are sorted again on the next
// chunk; a work list instead of recursion bears keys of any length.
void SortByKey(const SortKeys& keys, std::vector<int>& sortedRows, std::vector<bool>& newKeyAt) {
  size_t n = keys.size();
  std::vector<ChunkRef> refs;
  refs.reserve(n);
  for (size_t r = 0; r < n; ++r) refs.push_back(keys.FirstChunk(r));
  SortChunks(refs.data(), refs.data() + n, 0);
  newKeyAt.assign(n, false);
  sortedRows.resize(n);
  for (size_t i = 0; i < n;) {
    size_t j = i + 1;
    while (j < n && SameChunk(refs[i], refs[j])) ++j;
    newKeyAt[i] = true;
    for (size_t k = i; k < j; ++k) sortedRows[k] = refs[k].row;
    // Keys that go on past a tying first chunk are made whole, once each, and
    // compared as they are: names sharing a long start cost no more than
    // their length.
    if (j - i > 1 && refs[i].tail == kChunk + 1) {
      std::vector<std::pair<Text, int>> tied;
      tied.reserve(j - i);
      for (size_t k = i; k < j; ++k) tied.emplace_back(keys.Key(static_cast<size_t>(refs[k].row)), refs[k].row);
      std::sort(tied.begin(), tied.end());
      for (size_t k = i; k < j; ++k) {
        sortedRows[k] = tied[k - i].second;
        newKeyAt[k] = k == i || tied[k - i].first != tied[k - i - 1].first;
      }
    }
    i = j;
  }
}

// The order the insertion procedure gives, without inserting: keys of
// different value end up sorted whatever the procedure, so only the order
// inside each run of equal keys needs the procedure, and that follows from
// how many keys lie below, how many equal, and how many in all at each step.
std::vector<int> InsertionOrder(const SortKeys& keys) {
  size_t n = keys.size();
  std::vector<int> byKey;
  std::vector<bool> newKeyAt;
  SortByKey(keys, byKey, newKeyAt);
  std::vector<uint32_t> rank(n);  // row counts fit 32 bits: half the cache of size_t
  uint32_t ranks = 0;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && newKeyAt[i]) ++ranks;
    rank[static_cast<size_t>(byKey[i])] = ranks;
  }
  if (n > 0) ++ranks;
  // No two keys alike, as in most captures: nothing is left to place.
  if (ranks == n) return byKey;

  // Each run's place in the result is known from the sort: the runs are
  // filled in place, one row at a time, in row order.
  // Where each run starts in the result and how much of it is filled, side
  // by side: the loop below reads both for a rank it cannot predict.
  struct Run {
    uint32_t start = 0, size = 0;
  };
  std::vector<Run> runs(ranks + 1);
  for (size_t r = 0; r < n; ++r) ++runs[rank[r] + 1].start;
  for (size_t k = 0; k < ranks; ++k) runs[k + 1].start += runs[k].start;
  std::vector<int> order(n);
  RankCounts counts(ranks);
  for (size_t r = 0; r < n; ++r) {
    // The ranks come in row order, so the runs they land in are known ahead.
    if (r + 16 < n) __builtin_prefetch(&runs[rank[r + 16]]);
    if (r + 8 < n) __builtin_prefetch(&order[runs[rank[r + 8]].start]);
    size_t k = rank[r];
    Run& run = runs[k];
    // The first key of its run has only one place to go.
    size_t offset = run.size == 0 ? 0 : OffsetAmongEqual(counts.Below(k), run.size, r);
    auto first = order.begin() + static_cast<std::ptrdiff_t>(run.start);
    std::copy_backward(first + static_cast<std::ptrdiff_t>(offset), first + static_cast<std::ptrdiff_t>(run.size),
                       first + static_cast<std::ptrdiff_t>(run.size + 1));
    first[static_cast<std::ptrdiff_t>(offset)] = static_cast<int>(r);
    ++run.size;
    counts.Add(k);
  }
  return order;
}

}  // namespace

std::vector<int> ItemOrder(size_t count, const std::function<std::string_view(size_t)>& trimmedName,
                           bool caseSensitive) {
  return InsertionOrder(SortKeys(count, trimmedName, caseSensitive));
}

std::vector<int> ItemOrder(const std::vector<std::string_view>& names, bool caseSensitive) {
  return ItemOrder(names.size(), [&names](size_t i) { return TrimmedView(names[i]); }, caseSensitive);
}

SortResult SortItemRows(RowTable& table, int column, bool ascending, bool caseSensitive) {
  std::vector<Row>& rows = table.rows;
  const Row* selected = table.SelectedRow();
  bool remembered = selected != nullptr;
  int32_t rememberedTag = 0;
  if (remembered) {
    Row& row = rows[static_cast<size_t>(table.selected)];
    if (row.tag == 0) row.tag = 1;
    rememberedTag = row.tag;
  }

  std::vector<std::string_view> names;
  names.reserve(rows.size());
  for (const Row& row : rows) names.push_back(row.Cell(static_cast<size_t>(column)));
  std::vector<int> permutation = ItemOrder(names, caseSensitive);
  if (!ascending) std::reverse(permutation.begin(), permutation.end());
  std::vector<Row> sorted;
  sorted.reserve(rows.size());
  for (int index : permutation) sorted.push_back(std::move(rows[static_cast<size_t>(index)]));
  rows = std::move(sorted);

  SortResult result;
  table.selected = -1;
  if (remembered) {
    for (size_t r = 0; r < rows.size(); ++r) {
      if (rows[r].tag == rememberedTag) {
        table.selected = static_cast<int>(r);
        result.selectionRestored = true;
        break;
      }
    }
  }
  return result;
}

}  // namespace ds
