#include "compare/base64_shape.h"

namespace ds {
namespace {

bool IsBase64Character(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

}  // namespace

// A scan rather than the pattern: the matcher keeps backtracking state for
// every group and throws on values from under 200 KB (the limit differs by
// build), while the answer must not depend on the length.
bool LooksLikeBase64(std::string_view value) {
  if (value.empty() || value.size() % 4 != 0) return false;
  size_t padding = 0;
  if (value.back() == '=') padding = value[value.size() - 2] == '=' ? 2 : 1;
  for (size_t i = 0; i < value.size() - padding; ++i)
    if (!IsBase64Character(value[i])) return false;
  return true;
}

}  // namespace ds
