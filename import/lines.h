// Lines as captures break them: CR LF, LF, or a lone CR (old Mac editors,
// some clipboards).
#pragma once

#include <string_view>
#include <vector>

namespace ds {

// The length of the line break at i, or 0.
inline size_t LineBreakAt(std::string_view t, size_t i) {
  if (i >= t.size()) return 0;
  if (t[i] == '\n') return 1;
  if (t[i] == '\r') return i + 1 < t.size() && t[i + 1] == '\n' ? 2 : 1;
  return 0;
}

inline std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size();) {
    size_t n = LineBreakAt(text, i);
    if (n == 0) {
      ++i;
      continue;
    }
    lines.push_back(text.substr(start, i - start));
    i += n;
    start = i;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace ds
