#include "items/item_sort.h"

#include <algorithm>
#include <cstdint>

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
  size_t lo = 1, hi = placed;
  while (lo + 1 < hi) {
    size_t mid = (lo + hi) / 2;
    int c = compareAt(mid);
    if (c == 0) return mid + 1 - a;
    if (c < 0)
      hi = mid;
    else
      lo = mid;
  }
  return lo + 1 - a;
}

// Counts of placed keys by rank, with prefix sums in O(log n).
class RankCounts {
 public:
  explicit RankCounts(size_t ranks) : tree_(ranks + 1, 0) {}
  void Add(size_t rank) {
    for (size_t i = rank + 1; i < tree_.size(); i += i & (~i + 1)) ++tree_[i];
  }
  size_t Below(size_t rank) const {  // placed keys of lower rank
    size_t sum = 0;
    for (size_t i = rank; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }

 private:
  std::vector<size_t> tree_;
};

// The order the insertion procedure gives, without inserting: keys of
// different value end up sorted whatever the procedure, so only the order
// inside each run of equal keys needs the procedure, and that follows from
// how many keys lie below, how many equal, and how many in all at each step.
std::vector<int> InsertionOrder(const std::vector<Text>& keys) {
  size_t n = keys.size();
  // Sorted by the key's first eight bytes as a number, the whole key only
  // when those agree: most comparisons never reach the bytes.
  struct KeyRef {
    uint64_t prefix;
    int row;
  };
  std::vector<KeyRef> byKey(n);
  for (size_t r = 0; r < n; ++r) {
    uint64_t prefix = 0;
    for (size_t i = 0; i < 8; ++i)
      prefix = prefix << 8 | (i < keys[r].size() ? static_cast<unsigned char>(keys[r][i]) : 0u);
    byKey[r] = {prefix, static_cast<int>(r)};
  }
  auto compare = [&](const KeyRef& x, const KeyRef& y) {
    if (x.prefix != y.prefix) return x.prefix < y.prefix ? -1 : 1;
    return CompareBytes(keys[static_cast<size_t>(x.row)], keys[static_cast<size_t>(y.row)]);
  };
  std::sort(byKey.begin(), byKey.end(), [&](const KeyRef& x, const KeyRef& y) { return compare(x, y) < 0; });
  std::vector<size_t> rank(n);
  size_t ranks = 0;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && compare(byKey[i - 1], byKey[i]) != 0) ++ranks;
    rank[static_cast<size_t>(byKey[i].row)] = ranks;
  }
  if (n > 0) ++ranks;

  // Each run's place in the result is known from the sort: the runs are
  // filled in place, one row at a time, in row order.
  std::vector<size_t> runStart(ranks + 1, 0), runSize(ranks, 0);
  for (size_t r = 0; r < n; ++r) ++runStart[rank[r] + 1];
  for (size_t k = 0; k < ranks; ++k) runStart[k + 1] += runStart[k];
  std::vector<int> order(n);
  RankCounts counts(ranks);
  for (size_t r = 0; r < n; ++r) {
    size_t k = rank[r];
    size_t offset = OffsetAmongEqual(counts.Below(k), runSize[k], r);
    auto first = order.begin() + static_cast<std::ptrdiff_t>(runStart[k]);
    std::copy_backward(first + static_cast<std::ptrdiff_t>(offset), first + static_cast<std::ptrdiff_t>(runSize[k]),
                       first + static_cast<std::ptrdiff_t>(runSize[k] + 1));
    first[static_cast<std::ptrdiff_t>(offset)] = static_cast<int>(r);
    ++runSize[k];
    counts.Add(k);
  }
  return order;
}

}  // namespace

SortResult SortItemRows(RowTable& table, int column, bool ascending, bool caseSensitive) {
  std::vector<Row>& rows = table.rows;
  const Row* selected = table.SelectedRow();
  bool remembered = selected != nullptr;
  intptr_t rememberedTag = 0;
  if (remembered) {
    Row& row = rows[static_cast<size_t>(table.selected)];
    if (row.tag == 0) row.tag = 1;
    rememberedTag = row.tag;
  }

  std::vector<Text> keys;
  keys.reserve(rows.size());
  for (const Row& row : rows) {
    Text trimmed = Trim(row.Cell(static_cast<size_t>(column)));
    keys.push_back(caseSensitive ? std::move(trimmed) : NameOrderKey(trimmed));
  }

  std::vector<int> permutation = InsertionOrder(keys);
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
