// Names the user no longer wants to see in the missing and difference lists:
// patterns with "*" (any run of characters) and "?" (one character).
#pragma once

#include <optional>
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
  struct Token {
    enum Kind { kLiteral, kOne, kAny } kind;
    std::string_view text;  // one character of the folded pattern (kLiteral)
  };
  bool MatchesOne(const std::vector<Token>& tokens, std::string_view name) const;

  std::vector<Text> folded_;
  std::vector<std::vector<Token>> patterns_;
  bool caseSensitive_;
};

// The pattern that matches exactly this name.
Text LiteralPattern(std::string_view name);

// "analytics" and "volatile"; none for any other name.
std::optional<std::vector<Text>> IgnorePreset(std::string_view name);

// Takes the rows whose name matches out of the three lists and numbers the
// rest again; returns the names taken out, each once, in list order.
std::vector<Text> LeaveOutIgnored(ComparisonLists& lists, const IgnoreMatcher& matcher);

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
