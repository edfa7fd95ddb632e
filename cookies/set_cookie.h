// One Set-Cookie line read as a browser reads it: the name and value before
// the first ";", then attributes whose names match without letter case; an
// attribute a browser ignores (a bad date, an overlong value) is left out,
// and the last of each kind wins.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ds {

enum class SameSite { kUnset, kNone, kLax, kStrict };

inline constexpr size_t kMaxNameValueBytes = 4096;
inline constexpr size_t kMaxAttributeValueBytes = 1024;

struct SetCookie {
  enum class Fault { kNone, kInvalid, kTooLarge };
  Fault fault = Fault::kNone;  // the line sets nothing
  std::string name, value;     // as the line holds them (UTF-8 or any bytes)
  std::optional<int64_t> expires;  // Expires, seconds since 1970
  std::optional<int64_t> maxAge;   // Max-Age in seconds; zero or less deletes
  std::optional<std::string> domain;  // lower case, leading dot dropped; may be empty ("Domain=.")
  std::optional<std::string> path;    // only one that begins with "/"
  bool secure = false;
  bool httpOnly = false;
  SameSite sameSite = SameSite::kUnset;  // an unknown value counts as unset
};

SetCookie ParseSetCookie(std::string_view line);

// Spaces and tabs off both ends, as cookie lines are trimmed.
std::string_view TrimWsp(std::string_view s);

}  // namespace ds
