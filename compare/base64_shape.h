// The Base64 test of the item report: the shape only, nothing is decoded.
#pragma once

#include <string_view>

namespace ds {

// The whole value in groups of four of A-Z a-z 0-9 + /, the last group
// possibly padded with one or two "=".
bool LooksLikeBase64(std::string_view value);

// The regular expression (Perl syntax, whole value) that defines the test;
// the scan is checked against it.
inline constexpr char kBase64Pattern[] =
    "^([A-Za-z0-9+/]{4})*([A-Za-z0-9+/]{4}|[A-Za-z0-9+/]{3}=|[A-Za-z0-9+/]{2}==)$";

}  // namespace ds
