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
  for (const Text& original : patterns) {
    if (original.empty()) continue;
    Text p = caseSensitive ? original : ToLowerAscii(original);
    Pattern segments(1);
    for (size_t i = 0; i < p.size();) {
      size_t n = CharLength(p, i);
      if (n == 1 && p[i] == '*') {
        segments.emplace_back();
      } else if (n == 1 && p[i] == '?') {
        segments.back().tokens.push_back({true, 0});
      } else {
        if (n == 1 && p[i] == '\\' && i + 1 < p.size()) n = CharLength(p, ++i);
        segments.back().tokens.push_back({false, CodeAt(p, i, n)});
      }
      i += n;
    }
    // Masks for the segments between stars: bit k of a character's mask is
    // set where token k takes it.
    for (size_t s = 1; s + 1 < segments.size(); ++s) {
      Segment& g = segments[s];
      const std::vector<Token>& t = g.tokens;
      while (g.before < t.size() && t[g.before].any) ++g.before;
      while (g.after < t.size() - g.before && t[t.size() - 1 - g.after].any) ++g.after;
      g.length = t.size() - g.before - g.after;
      g.words = (g.length + 63) / 64;
      g.masks.assign(g.words, 0);
      for (size_t k = 0; k < g.length; ++k)
        if (t[g.before + k].any) g.masks[k / 64] |= uint64_t{1} << (k % 64);
      for (size_t k = 0; k < g.length; ++k) {
        const Token& token = t[g.before + k];
        if (token.any) continue;
        uint32_t& slot = token.code < 256 ? g.oneByte[token.code] : g.twoBytes[token.code];
        if (slot == 0) {
          slot = static_cast<uint32_t>(g.masks.size() / g.words);
          std::vector<uint64_t> anyOnly(g.masks.begin(), g.masks.begin() + static_cast<std::ptrdiff_t>(g.words));
          g.masks.insert(g.masks.end(), anyOnly.begin(), anyOnly.end());
        }
        g.masks[slot * g.words + k / 64] |= uint64_t{1} << (k % 64);
      }
    }
    patterns_.push_back(std::move(segments));
  }
}

uint16_t IgnoreMatcher::CodeAt(std::string_view name, size_t at, size_t length) const {
  if (length == 2) return static_cast<uint16_t>(static_cast<unsigned char>(name[at]) << 8 | static_cast<unsigned char>(name[at + 1]));
  return static_cast<unsigned char>(caseSensitive_ ? name[at] : FoldAscii(name[at]));
}

// The tokens one after another from `at`, which moves past them.
bool IgnoreMatcher::MatchesHere(const std::vector<Token>& tokens, std::string_view name, size_t& at) const {
  for (const Token& token : tokens) {
    if (at >= name.size()) return false;
    size_t n = CharLength(name, at);
    if (!token.any && token.code != CodeAt(name, at, n)) return false;
    at += n;
  }
  return true;
}

// The first place at or after `at` where the segment occurs; `at` moves past
// it. Its literals are matched at all their places at once, a few words of
// bits per character, so a long segment costs no search back.
bool IgnoreMatcher::FindSegment(const Segment& g, std::string_view name, size_t& at) const {
  for (size_t k = 0; k < g.before; ++k) {
    if (at >= name.size()) return false;
    at += CharLength(name, at);
  }
  if (g.length > 0) {
    std::vector<uint64_t> state(g.words, 0);
    const size_t lastWord = (g.length - 1) / 64;
    const uint64_t lastBit = uint64_t{1} << ((g.length - 1) % 64);
    for (;;) {
      if (at >= name.size()) return false;
      size_t n = CharLength(name, at);
      uint16_t code = CodeAt(name, at, n);
      uint32_t slot = 0;
      if (code < 256) {
        slot = g.oneByte[code];
      } else if (auto found = g.twoBytes.find(code); found != g.twoBytes.end()) {
        slot = found->second;
      }
      const uint64_t* mask = &g.masks[slot * g.words];
      uint64_t carry = 1;
      for (size_t w = 0; w < g.words; ++w) {
        uint64_t next = state[w] >> 63;
        state[w] = ((state[w] << 1) | carry) & mask[w];
        carry = next;
      }
      at += n;
      if (state[lastWord] & lastBit) break;
    }
  }
  for (size_t k = 0; k < g.after; ++k) {
    if (at >= name.size()) return false;
    at += CharLength(name, at);
  }
  return true;
}

// The first segment from the start, each one between stars where it first
// occurs (the earliest leaves the most room for the rest), and the last on
// the name's last characters: steps forward by character only, so a "?" or a
// "*" never ends inside a double-byte character, and the cost stays near the
// name's length whatever the pattern.
bool IgnoreMatcher::MatchesOne(const Pattern& pattern, std::string_view name) const {
  size_t at = 0;
  if (!MatchesHere(pattern.front().tokens, name, at)) return false;
  if (pattern.size() == 1) return at == name.size();
  for (size_t s = 1; s + 1 < pattern.size(); ++s)
    if (!FindSegment(pattern[s], name, at)) return false;
  const std::vector<Token>& last = pattern.back().tokens;
  if (last.empty()) return true;
  size_t left = 0;
  for (size_t i = at; i < name.size(); i += CharLength(name, i)) ++left;
  if (left < last.size()) return false;
  for (size_t skip = left - last.size(); skip > 0; --skip) at += CharLength(name, at);
  return MatchesHere(last, name, at);
}

bool IgnoreMatcher::Matches(std::string_view name) const {
  for (const Pattern& pattern : patterns_)
    if (MatchesOne(pattern, name)) return true;
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

namespace {

// Takes the entries whose name matches out of one list, keeping the order of
// the rest; `moved` tells an entry kept that its place changed from `from`.
template <typename Entry, typename NameOf, typename Moved>
void LeaveOutOf(std::vector<Entry>& entries, NameOf nameOf, Moved moved, const IgnoreMatcher& matcher,
                std::unordered_set<Text>& seen, std::vector<Text>& names) {
  size_t kept = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    std::string_view name = nameOf(entries[i]);
    if (!matcher.Matches(name)) {
      if (kept != i) {
        moved(entries[i], kept);
        entries[kept] = std::move(entries[i]);
      }
      ++kept;
    } else if (seen.insert(Text(name)).second) {
      names.emplace_back(name);
    }
  }
  entries.resize(kept);
}

}  // namespace

std::vector<Text> LeaveOutIgnored(ComparisonLists& lists, const IgnoreMatcher& matcher) {
  std::vector<Text> names;
  if (matcher.empty()) return names;
  std::unordered_set<Text> seen;
  // Numbers stay as the pass wrote them until a row before is left out.
  auto renumber = [](Row& row, size_t place) { row.SetCell(0, ToText(static_cast<long long>(place + 1))); };
  for (std::vector<Row>* rows : {&lists.missingInSlot1, &lists.missingInSlot2, &lists.different})
    LeaveOutOf(*rows, [](const Row& row) { return row.Cell(1); }, renumber, matcher, seen, names);
  return names;
}

std::vector<Text> LeaveOutIgnored(ComparisonPairs& pairs, const RowTable& slot1, const RowTable& slot2,
                                  const IgnoreMatcher& matcher) {
  std::vector<Text> names;
  if (matcher.empty()) return names;
  std::unordered_set<Text> seen;
  auto stays = [](auto&, size_t) {};  // a place's number is where it stands
  auto nameIn = [](const RowTable& slot) { return [&slot](int row) { return slot.rows[static_cast<size_t>(row)].Cell(1); }; };
  LeaveOutOf(pairs.missingInSlot1, nameIn(slot2), stays, matcher, seen, names);
  LeaveOutOf(pairs.missingInSlot2, nameIn(slot1), stays, matcher, seen, names);
  LeaveOutOf(
      pairs.different, [&slot1](const std::pair<int, int>& p) { return slot1.rows[static_cast<size_t>(p.first)].Cell(1); },
      stays, matcher, seen, names);
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
