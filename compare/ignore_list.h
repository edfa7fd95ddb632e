// Names the user no longer wants to see in the missing and difference lists:
// patterns with "*" (any run of characters) and "?" (one character).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <string_view>
#include <vector>

#include "compare/analysis.h"
#include "items/text.h"

namespace ds {

// Patterns compiled once; names match under the case rule of the run
// (ASCII letters folded, double-byte characters as they are). A "\" makes
// the next character literal, so a name holding "*" can be ignored alone.
class IgnoreMatcher {
 public:
  IgnoreMatcher(const std::vector<Text>& patterns, bool caseSensitive);
  bool Matches(std::string_view name) const;
  bool empty() const { return patterns_.empty(); }

 private:
  // One character of a pattern: "?" or a literal, by its code (one byte
  // folded under the case rule, or both bytes of a double-byte character).
  struct Token {
    bool any;
    uint16_t code;
  };
  // Tokens between two stars, and what finding them in a name takes: the
  // "?" before and after the first and last literal, and for the literals
  // between, bit masks for matching all their places at once.
  struct Segment {
    std::vector<Token> tokens;
    size_t before = 0, after = 0, length = 0, words = 0;
    std::vector<uint64_t> masks;         // `words` each: "?" alone, then one per literal code
    std::array<uint32_t, 256> oneByte{};  // mask per one-byte code (0: "?" alone)
    std::unordered_map<uint16_t, uint32_t> twoBytes;
  };
  // Segments split at the stars: the first matches at the start, the last
  // at the end, and each one between where it first occurs.
  using Pattern = std::vector<Segment>;

  uint16_t CodeAt(std::string_view name, size_t at, size_t length) const;
  bool MatchesHere(const std::vector<Token>& tokens, std::string_view name, size_t& at) const;
  bool FindSegment(const Segment& segment, std::string_view name, size_t& at) const;
  bool MatchesOne(const Pattern& pattern, std::string_view name) const;

  std::vector<Pattern> patterns_;
  bool caseSensitive_;
};

// The pattern that matches exactly this name.
Text LiteralPattern(std::string_view name);

// "analytics" and "volatile"; none for any other name.
std::optional<std::vector<Text>> IgnorePreset(std::string_view name);

// Takes the rows whose name matches out of the three lists and numbers the
// rest again; returns the names taken out, each once, in list order.
std::vector<Text> LeaveOutIgnored(ComparisonLists& lists, const IgnoreMatcher& matcher);
// The same for the lists as places in the two item lists.
std::vector<Text> LeaveOutIgnored(ComparisonPairs& pairs, const RowTable& slot1, const RowTable& slot2,
                                  const IgnoreMatcher& matcher);

// The summary with the count of names left out, shown while patterns exist.
Text IgnoredSummary(std::string_view summary, size_t ignoredNames);

// One more pattern applied to lists already shown (the menu's "ignore this
// item"): its rows leave the lists, `ignored` gains the names it did not hold,
// and the result is the summary for the lists as they are now.
Text IgnoreInShownLists(ComparisonLists& lists, std::vector<Text>& ignored, const Text& pattern, bool caseSensitive,
                        std::string_view modeWord);

// One settings value for the whole list: patterns joined by tabs, with "%",
// tab, CR and LF escaped (none of them is ever a GBK trail byte).
Text StoredIgnoreList(const std::vector<Text>& patterns);
std::vector<Text> IgnoreListFromStored(std::string_view stored);

}  // namespace ds
