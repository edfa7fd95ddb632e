#include "items/item_sort.h"

#include <algorithm>
#include <cmath>

namespace ds {
namespace {

// A sequence with cheap insertion at any position and index access in
// O(log blocks); inserts cost O(sqrt n), so n inserts stay near n*sqrt(n).
class BlockedSequence {
 public:
  explicit BlockedSequence(size_t expected)
      : blockLimit_(std::max<size_t>(64, static_cast<size_t>(std::sqrt(static_cast<double>(expected))))) {}

  size_t size() const { return size_; }

  int At(size_t index) const {
    size_t b = BlockOf(index);
    return blocks_[b][index - starts_[b]];
  }

  void Insert(size_t index, int value) {
    if (blocks_.empty()) {
      blocks_.emplace_back();
      starts_.push_back(0);
    }
    size_t b = index >= size_ ? blocks_.size() - 1 : BlockOf(index);
    std::vector<int>& block = blocks_[b];
    block.insert(block.begin() + static_cast<std::ptrdiff_t>(index - starts_[b]), value);
    ++size_;
    if (block.size() > 2 * blockLimit_) {
      std::vector<int> tail(block.begin() + static_cast<std::ptrdiff_t>(blockLimit_), block.end());
      block.resize(blockLimit_);
      blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(tail));
      starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(b) + 1, 0);
    }
    for (size_t k = b + 1; k < blocks_.size(); ++k) starts_[k] = starts_[k - 1] + blocks_[k - 1].size();
  }

  std::vector<int> Flatten() const {
    std::vector<int> out;
    out.reserve(size_);
    for (const auto& block : blocks_) out.insert(out.end(), block.begin(), block.end());
    return out;
  }

 private:
  size_t BlockOf(size_t index) const {
    return static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), index) - starts_.begin()) - 1;
  }

  size_t blockLimit_;
  size_t size_ = 0;
  std::vector<std::vector<int>> blocks_;
  std::vector<size_t> starts_;
};

// 1-based insert position of `key` in the sorted keys K[1..m], by the tie
// rules: equal to the last goes after it, equal to the first (and less than
// the last) goes before it, equal to a probed middle key goes right after it.
template <typename KeyAt, typename Compare>
size_t InsertPosition(const Text& key, size_t m, KeyAt keyAt, Compare compare) {
  if (m == 0) return 1;
  if (compare(key, keyAt(m)) >= 0) return m + 1;
  if (compare(key, keyAt(1)) <= 0) return 1;
  size_t lo = 1, hi = m;
  while (lo + 1 < hi) {
    size_t mid = (lo + hi) / 2;
    int c = compare(key, keyAt(mid));
    if (c == 0) {
      lo = mid;
      break;
    }
    if (c < 0)
      hi = mid;
    else
      lo = mid;
  }
  return lo + 1;
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

  auto compare = CompareBytes;
  BlockedSequence order(rows.size());
  for (size_t r = 0; r < rows.size(); ++r) {
    auto keyAt = [&](size_t position) -> const Text& { return keys[static_cast<size_t>(order.At(position - 1))]; };
    size_t p = InsertPosition(keys[r], order.size(), keyAt, compare);
    order.Insert(p - 1, static_cast<int>(r));
  }

  std::vector<int> permutation = order.Flatten();
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
