#include "compare/ignore_list.h"

#include <iterator>
#include <unordered_set>
#include <utility>

#include "compare/texts.h"
#include "items/sentence.h"

namespace ds {
namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

IgnoreMatcher::IgnoreMatcher(const std::vector<Text>& patterns, bool caseSensitive) : caseSensitive_(caseSensitive) {
  folded_.reserve(patterns.size());
  for (const Text& p : patterns)
    if (!p.empty()) folded_.push_back(caseSensitive ? p : ToLowerAscii(p));
  // The tokens view into folded_, which no longer grows.
  for (const Text& p : folded_) {
    std::vector<Token> tokens;
    for (size_t i = 0; i < p.size();) {
      size_t n = CharLength(p, i);
      if (n == 1 && p[i] == '*') {
        if (tokens.empty() || tokens.back().kind != Token::kAny) tokens.push_back({Token::kAny, {}});
      } else if (n == 1 && p[i] == '?') {
        tokens.push_back({Token::kOne, {}});
      } else if (n == 1 && p[i] == '\\' && i + 1 < p.size()) {
        i += 1;
        n = CharLength(p, i);
        tokens.push_back({Token::kLiteral, std::string_view(p).substr(i, n)});
      } else {
        tokens.push_back({Token::kLiteral, std::string_view(p).substr(i, n)});
      }
      i += n;
    }
    patterns_.push_back(std::move(tokens));
  }
}

// Greedy with one remembered "*": linear in practice, never worse than
// pattern length times name length. Steps by character, so a "?" or a "*"
// never ends inside a double-byte character.
bool IgnoreMatcher::MatchesOne(const std::vector<Token>& tokens, std::string_view name) const {
  size_t t = 0, n = 0, starToken = SIZE_MAX, starName = 0;
  while (n < name.size()) {
    size_t len = CharLength(name, n);
    if (t < tokens.size()) {
      const Token& token = tokens[t];
      if (token.kind == Token::kAny) {
        starToken = t++;
        starName = n;
        continue;
      }
      bool same = token.kind == Token::kOne;
      if (token.kind == Token::kLiteral && token.text.size() == len) {
        same = len == 2 ? token.text == name.substr(n, 2)
                        : token.text[0] == (caseSensitive_ ? name[n] : FoldAscii(name[n]));
      }
      if (same) {
        ++t;
        n += len;
        continue;
      }
    }
    if (starToken == SIZE_MAX) return false;
    t = starToken + 1;
    starName += CharLength(name, starName);
    n = starName;
  }
  while (t < tokens.size() && tokens[t].kind == Token::kAny) ++t;
  return t == tokens.size();
}

bool IgnoreMatcher::Matches(std::string_view name) const {
  for (const std::vector<Token>& tokens : patterns_)
    if (MatchesOne(tokens, name)) return true;
  return false;
}

Text LiteralPattern(std::string_view name) {
  Text out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size();) {
    size_t n = CharLength(name, i);
    if (n == 1 && (name[i] == '*' || name[i] == '?' || name[i] == '\\')) out.push_back('\\');
    out.append(name.substr(i, n));
    i += n;
  }
  return out;
}

std::optional<std::vector<Text>> IgnorePreset(std::string_view name) {
  if (name == "analytics")
    return std::vector<Text>{"_ga", "_ga_*", "_gid", "_gat*", "_fbp", "_fbc", "Hm_lvt_*", "Hm_lpvt_*",
                             "_clck", "_clsk", "__utm*", "_hj*"};
  if (name == "volatile") {
    std::vector<Text> names{"Date",       "Age",        "Expires", "Last-Modified", "ETag",
                            "X-Request-Id", "X-Trace-Id", "CF-RAY",  "Server-Timing", "Traceparent"};
    // HTTP/2 writes header names in lower case; the switch for letter case
    // is about the user's names, not about which protocol version sent these.
    for (size_t i = 0, n = names.size(); i < n; ++i) names.push_back(ToLowerAscii(names[i]));
    return names;
  }
  return std::nullopt;
}

std::vector<Text> LeaveOutIgnored(ComparisonLists& lists, const IgnoreMatcher& matcher) {
  std::vector<Text> names;
  if (matcher.empty()) return names;
  std::unordered_set<Text> seen;
  for (std::vector<Row>* rows : {&lists.missingInSlot1, &lists.missingInSlot2, &lists.different}) {
    std::vector<Row> kept;
    kept.reserve(rows->size());
    for (Row& row : *rows) {
      if (!matcher.Matches(row.Cell(1))) {
        // Numbers stay as the pass wrote them until a row before is left out.
        if (kept.size() != static_cast<size_t>(&row - rows->data()))
          row.SetCell(0, ToText(static_cast<long long>(kept.size() + 1)));
        kept.push_back(std::move(row));
      } else if (seen.insert(Text(row.Cell(1))).second) {
        names.emplace_back(row.Cell(1));
      }
    }
    *rows = std::move(kept);
  }
  return names;
}

Text IgnoredSummary(std::string_view summary, size_t ignoredNames) {
  Text count = ToText(static_cast<long long>(ignoredNames));
  return Text(summary) + FillIn(texts::kIgnoredSuffix, {{"count", count}});
}

Text IgnoreInShownLists(ComparisonLists& lists, std::vector<Text>& ignored, const Text& pattern, bool caseSensitive,
                        std::string_view modeWord) {
  std::unordered_set<std::string_view> known(ignored.begin(), ignored.end());
  std::vector<Text> added;
  for (Text& name : LeaveOutIgnored(lists, IgnoreMatcher({pattern}, caseSensitive)))
    if (!known.count(name)) added.push_back(std::move(name));
  ignored.insert(ignored.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
  return IgnoredSummary(SummaryText(lists, modeWord), ignored.size());
}

Text StoredIgnoreList(const std::vector<Text>& patterns) {
  Text out;
  for (const Text& p : patterns) {
    if (p.empty()) continue;
    if (!out.empty()) out.push_back('\t');
    for (char c : p) {
      switch (c) {
        case '%': out += "%25"; break;
        case '\t': out += "%09"; break;
        case '\r': out += "%0D"; break;
        case '\n': out += "%0A"; break;
        default: out.push_back(c);
      }
    }
  }
  return out;
}

std::vector<Text> IgnoreListFromStored(std::string_view stored) {
  static constexpr std::pair<std::string_view, char> kEscapes[] = {{"%25", '%'}, {"%09", '\t'}, {"%0D", '\r'}, {"%0A", '\n'}};
  std::vector<Text> patterns;
  Text current;
  for (size_t i = 0; i <= stored.size(); ++i) {
    if (i == stored.size() || stored[i] == '\t') {
      if (!current.empty()) patterns.push_back(std::move(current));
      current.clear();
      continue;
    }
    char c = stored[i];
    for (const auto& [escape, byte] : kEscapes) {
      if (stored.substr(i, 3) == escape) {
        c = byte;
        i += 2;
        break;
      }
    }
    current.push_back(c);
  }
  return patterns;
}

}  // namespace ds
