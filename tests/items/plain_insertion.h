// The item sort's insertion procedure written plainly, one insert into one
// flat array per row: the definition the fast sort is checked against.
#pragma once

#include <vector>

#include "items/text.h"

namespace ds::test {

// Row indices in the order the procedure leaves them, for byte-ordered keys.
inline std::vector<int> PlainInsertionOrder(const std::vector<Text>& keys) {
  std::vector<int> flat;
  auto key = [&](size_t position) -> const Text& { return keys[static_cast<size_t>(flat[position - 1])]; };
  for (size_t r = 0; r < keys.size(); ++r) {
    size_t m = flat.size(), p;
    if (m == 0 || CompareBytes(keys[r], key(m)) >= 0) {
      p = m + 1;
    } else if (CompareBytes(keys[r], key(1)) <= 0) {
      p = 1;
    } else {
      size_t lo = 1, hi = m;
      while (lo + 1 < hi) {
        size_t mid = (lo + hi) / 2;
        int c = CompareBytes(keys[r], key(mid));
        if (c == 0) {
          lo = mid;
          break;
        }
        (c < 0 ? hi : lo) = mid;
      }
      p = lo + 1;
    }
    flat.insert(flat.begin() + static_cast<long>(p - 1), static_cast<int>(r));
  }
  return flat;
}

}  // namespace ds::test
