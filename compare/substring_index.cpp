#include "compare/substring_index.h"

#include <algorithm>

#include "items/text.h"

namespace ds {

namespace {

// Calls f(offset) for every place a suffix of `name` starts.
template <class F>
void ForEachStart(std::string_view name, bool prefixesOnly, F&& f) {
  if (prefixesOnly) {
    f(0);  // an empty name too: an empty text begins every name
    return;
  }
  for (size_t i = 0; i < name.size(); i += CharLength(name, i)) f(i);
}

}  // namespace

size_t SubstringIndex::SuffixCount(const std::vector<std::string_view>& names, bool prefixesOnly) {
  size_t count = 0;
  for (std::string_view name : names) ForEachStart(name, prefixesOnly, [&](size_t) { ++count; });
  return count;
}

SubstringIndex::SubstringIndex(const std::vector<std::string_view>& names, bool prefixesOnly) : names_(names) {
  suffixes_.reserve(SuffixCount(names, prefixesOnly));
  for (size_t row = 0; row < names.size(); ++row)
    ForEachStart(names[row], prefixesOnly, [&](size_t offset) {
      suffixes_.push_back({static_cast<uint32_t>(row), static_cast<uint32_t>(offset)});
    });
  std::sort(suffixes_.begin(), suffixes_.end(), [this](const Suffix& a, const Suffix& b) {
    int c = Of(a).compare(Of(b));
    return c != 0 ? c < 0 : a.row < b.row;
  });
  // Leaves at n..2n-1, each inner node the smaller of its two children.
  size_t n = suffixes_.size();
  minRow_.assign(2 * n, 0);
  for (size_t i = 0; i < n; ++i) minRow_[n + i] = suffixes_[i].row;
  for (size_t i = n; i-- > 1;) minRow_[i] = std::min(minRow_[2 * i], minRow_[2 * i + 1]);
}

int SubstringIndex::FirstRowWith(std::string_view sought) const {
  // The suffixes that begin with `sought` lie side by side.
  auto head = [this, m = sought.size()](const Suffix& s) { return Of(s).substr(0, m); };
  auto first = std::lower_bound(suffixes_.begin(), suffixes_.end(), sought,
                                [&](const Suffix& s, std::string_view t) { return head(s) < t; });
  auto last = std::upper_bound(first, suffixes_.end(), sought,
                               [&](std::string_view t, const Suffix& s) { return t < head(s); });
  if (first == last) return -1;
  size_t n = suffixes_.size();
  uint32_t best = UINT32_MAX;
  for (size_t lo = static_cast<size_t>(first - suffixes_.begin()) + n,
              hi = static_cast<size_t>(last - suffixes_.begin()) + n;
       lo < hi; lo /= 2, hi /= 2) {
    if (lo & 1) best = std::min(best, minRow_[lo++]);
    if (hi & 1) best = std::min(best, minRow_[--hi]);
  }
  return static_cast<int>(best);
}

}  // namespace ds
