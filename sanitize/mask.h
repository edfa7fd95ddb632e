// The masking rule: a secret value becomes a stand-in derived from a keyed
// hash, so the same value under the same key always reads the same and two
// different values (almost surely) do not — a comparison of masked captures
// still shows which values differ, and none of them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ds {

// Code page 936 lacks ⟪ and ⟫: text that passes through GBK (the item
// lists, the companion's reports) carries 《 and 》 instead, and UTF-8
// output turns them back (StandInsForUtf8).
enum class StandInBrackets { kUtf8, kGbkSafe };

// "⟪masked:3f9a1c0e:32⟫": the first 8 hex digits of HMAC-SHA-256(key,
// value) and the value's length in bytes (UTF-8). Always UTF-8 text.
std::string MaskValue(std::string_view value, std::string_view key,
                      StandInBrackets brackets = StandInBrackets::kUtf8);

// The whole text is a stand-in of either form: masking it again would only
// hide which value it stood for.
bool IsStandIn(std::string_view text);

// UTF-8 text with its GBK-safe stand-ins written with ⟪ and ⟫.
std::string StandInsForUtf8(std::string text);

// A key of 32 bytes from the system's random source, for a run given none;
// nullopt when the system gave none.
std::optional<std::string> RandomMaskKey();

}  // namespace ds
