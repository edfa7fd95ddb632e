// The masking rule: a secret value becomes a stand-in derived from a keyed
// hash, so the same value under the same key always reads the same and two
// different values (almost surely) do not — a comparison of masked captures
// still shows which values differ, and none of them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ds {

// "《masked:3f9a1c0e:32》": the first 8 hex digits of HMAC-SHA-256(key,
// value) and the value's length in bytes (UTF-8), as UTF-8 text. The
// brackets are ones code page 936 holds (⟪ and ⟫ it does not), so a
// sanitised HAR still imports into the item lists and compares.
std::string MaskValue(std::string_view value, std::string_view key);

// The whole text is a stand-in: masking it again would only hide which
// value it stood for.
bool IsStandIn(std::string_view text);

// A key of 32 bytes from the system's random source, for a run given none;
// nullopt when the system gave none.
std::optional<std::string> RandomMaskKey();

}  // namespace ds
