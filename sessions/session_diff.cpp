#include "sessions/session_diff.h"

#include <map>

#include "compare/ignore_list.h"
#include "import/text_decode.h"
#include "items/sentence.h"
#include "sessions/texts.h"

namespace ds {
namespace {

// UTF-8 as GBK for display and comparison; a character GBK lacks is written
// percent-encoded, so that nothing turns into "?" and equal texts stay equal.
Text Shown(std::string_view utf8) {
  GbkConversion whole = Utf8AsGbk(utf8);
  if (!whole.badOffset) return whole.gbk;
  Text out;
  for (size_t i = 0, n = 0; i < utf8.size(); i += n) {
    Utf8CodePointAt(utf8, i, &n);
    GbkConversion one = Utf8AsGbk(utf8.substr(i, n));
    if (!one.badOffset) {
      out += one.gbk;
      continue;
    }
    for (size_t k = 0; k < n; ++k) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      auto b = static_cast<unsigned char>(utf8[i + k]);
      out += {'%', kHex[b >> 4], kHex[b & 0xF]};
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  char lower = static_cast<char>(c | 0x20);
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// As a server reads a query: %XX a byte, "+" a space.
std::string PercentDecoded(std::string_view s) {
  std::string out;
  auto hex = HexValue;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2])));
      i += 2;
    } else {
      out.push_back(s[i] == '+' ? ' ' : s[i]);
    }
  }
  return out;
}

RowTable TableOf(const std::vector<std::pair<Text, Text>>& items) {
  RowTable table;
  for (size_t i = 0; i < items.size(); ++i)
    table.rows.push_back(Row{std::to_string(i + 1), items[i].first, items[i].second});
  return table;
}

PartDiff Compared(const RowTable& a, const RowTable& b, const SessionsInput& in) {
  PartDiff part;
  part.lists = CompareItemTables(a, b, in.rule);
  part.ignored = LeaveOutIgnored(part.lists, IgnoreMatcher(in.ignorePatterns, in.rule.caseSensitive));
  return part;
}

// The query's pairs, decoded for comparison; `shown` maps each decoded pair
// back to the pair as sent.
RowTable QueryTable(const HttpMessage& request, std::map<std::pair<Text, Text>, std::pair<Text, Text>>* shown) {
  std::vector<std::pair<Text, Text>> items;
  std::string all = SplitUrl(request.url).query;
  std::string_view rest = all;
  while (!rest.empty()) {
    size_t end = std::min(rest.find('&'), rest.size());
    std::string_view piece = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (piece.empty()) continue;
    size_t eq = piece.find('=');
    std::string_view name = piece.substr(0, eq), value = eq == std::string_view::npos ? "" : piece.substr(eq + 1);
    std::pair<Text, Text> decoded{PercentDecoded(name), PercentDecoded(value)};
    shown->emplace(decoded, std::pair<Text, Text>{Shown(name), Shown(value)});
    items.push_back(std::move(decoded));
  }
  return TableOf(items);
}

// Result rows back as the values were sent.
void ShowAsSent(ComparisonLists& lists, const std::map<std::pair<Text, Text>, std::pair<Text, Text>>& sentA,
                const std::map<std::pair<Text, Text>, std::pair<Text, Text>>& sentB) {
  auto sent = [](const auto& map, std::string_view name, std::string_view value) {
    auto found = map.find({Text(name), Text(value)});
    return found == map.end() ? std::pair<Text, Text>{Text(name), Text(value)} : found->second;
  };
  for (Row& row : lists.missingInSlot1) {
    auto [name, value] = sent(sentB, row.Cell(1), row.Cell(2));
    row = Row{row.Cell(0), name, value};
  }
  for (Row& row : lists.missingInSlot2) {
    auto [name, value] = sent(sentA, row.Cell(1), row.Cell(2));
    row = Row{row.Cell(0), name, value};
  }
  for (Row& row : lists.different) {
    auto [name, valueA] = sent(sentA, row.Cell(1), row.Cell(2));
    Row shownRow{row.Cell(0), name, valueA, row.Cell(3)};
    // B's counterpart may be named otherwise under the rule: its value finds it.
    for (const auto& [decoded, asSent] : sentB)
      if (decoded.second == row.Cell(3)) shownRow = Row{row.Cell(0), name, valueA, asSent.second};
    row = std::move(shownRow);
  }
}

RowTable SetCookieTable(const HttpMessage& response) {
  std::vector<std::pair<Text, Text>> items;
  for (const Field& f : CookiesOf(response)) items.emplace_back(Shown(f.name), Shown(f.value));
  return TableOf(items);
}

}  // namespace

std::vector<PairDiff> CompareSessions(const std::vector<HarEntry>& a, const std::vector<HarEntry>& b,
                                      const SessionsInput& in) {
  static const HarEntry kNone;
  std::vector<PairDiff> out;
  for (const RequestPair& pair : PairRequests(a, b)) {
    PairDiff d;
    d.pair = pair;
    const HarEntry& ea = pair.a ? a[*pair.a] : kNone;
    const HarEntry& eb = pair.b ? b[*pair.b] : kNone;
    const HttpMessage& any = pair.a ? ea.request : eb.request;
    d.method = Shown(any.method);
    auto pathOf = [](const HttpMessage& m) {
      UrlParts url = SplitUrl(m.url);
      return Shown(url.query.empty() ? url.path : url.path + "?" + url.query);
    };
    if (pair.a) d.hostA = Shown(SplitUrl(ea.request.url).host), d.pathA = pathOf(ea.request), d.statusA = ea.response.status;
    if (pair.b) d.hostB = Shown(SplitUrl(eb.request.url).host), d.pathB = pathOf(eb.request), d.statusB = eb.response.status;
    if (!d.Paired()) {
      out.push_back(std::move(d));
      continue;
    }
    SlotText textA = ItemsTextOf(ea.request, in.mode, in.separators);
    SlotText textB = ItemsTextOf(eb.request, in.mode, in.separators);
    if (textA.error || textB.error) {
      d.error = textA.error ? textA.error : textB.error;
    } else {
      RowTable rowsA{ParseSlotText(textA.text, in.separators, {in.mode, Slot::k1}).rows};
      RowTable rowsB{ParseSlotText(textB.text, in.separators, {in.mode, Slot::k2}).rows};
      d.request = Compared(rowsA, rowsB, in);
    }
    std::map<std::pair<Text, Text>, std::pair<Text, Text>> sentA, sentB;
    RowTable queryA = QueryTable(ea.request, &sentA), queryB = QueryTable(eb.request, &sentB);
    d.query = Compared(queryA, queryB, in);
    ShowAsSent(d.query.lists, sentA, sentB);
    d.setCookies = Compared(SetCookieTable(ea.response), SetCookieTable(eb.response), in);
    out.push_back(std::move(d));
  }
  return out;
}

Text PairVerdict(const PairDiff& d) {
  if (!d.pair.b) return sessions_texts::kPairOnlyA;
  if (!d.pair.a) return sessions_texts::kPairOnlyB;
  return d.Same() ? sessions_texts::kPairSame : sessions_texts::kPairDifferent;
}

std::vector<PairPart> PartsOf(const PairDiff& d, AnalysisMode mode) {
  return {{ModeWord(mode), &d.request},
          {sessions_texts::kPartQuery, &d.query},
          {sessions_texts::kPartSetCookie, &d.setCookies}};
}

Text PairDifferences(const PairDiff& d, AnalysisMode mode) {
  if (!d.Paired() || d.Same()) return {};
  Text out = d.error.value_or("");
  auto count = [](const std::vector<Row>& rows) { return std::to_string(rows.size()); };
  for (const PairPart& p : PartsOf(d, mode)) {
    const ComparisonLists& l = p.diff->lists;
    if (p.diff->Same()) continue;
    out += (out.empty() ? "" : "  ") +
           FillIn(sessions_texts::kPartCounts, {{"part", p.name}, {"missing1", count(l.missingInSlot1)},
                                                {"missing2", count(l.missingInSlot2)}, {"different", count(l.different)}});
  }
  if (d.statusA != d.statusB) out += (out.empty() ? "" : "  ") + Text(sessions_texts::kPartStatus);
  return out;
}

Text SessionsSummary(const std::vector<PairDiff>& pairs) {
  size_t same = 0, different = 0, onlyA = 0, onlyB = 0;
  for (const PairDiff& d : pairs) {
    if (!d.pair.b) ++onlyA;
    else if (!d.pair.a) ++onlyB;
    else if (d.Same()) ++same;
    else ++different;
  }
  auto n = [](size_t v) { return std::to_string(v); };
  return FillIn(sessions_texts::kSessionsSummary, {{"pairs", n(pairs.size())}, {"same", n(same)}, {"different", n(different)},
                                                  {"onlyA", n(onlyA)}, {"onlyB", n(onlyB)}});
}

}  // namespace ds
