#include "sessions/session_diff.h"

#include <algorithm>
#include <cassert>
#include <unordered_map>

#include "compare/ignore_list.h"
#include "import/text_decode.h"
#include "items/duplicates.h"
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

using Items = std::vector<std::pair<Text, Text>>;

RowTable TableOf(const Items& items) {
  RowTable table;
  for (size_t i = 0; i < items.size(); ++i)
    table.rows.push_back(Row{std::to_string(i + 1), items[i].first, items[i].second});
  return table;
}

// Each side of a part as shown: the rows as sent (the query compares them
// decoded) and the names its duplicate notes give, row for row.
struct PartSides {
  Items sentA, sentB;
  RowTable namedA, namedB;
  // Names of items a side could not carry: the other side's item of that
  // name is no item this side lacks.
  std::vector<Text> refusedA, refusedB;
};

// Takes out of a missing list the rows named as a refused item, and numbers
// the rest again.
void LeaveOutRefused(std::vector<Row>& missing, const std::vector<Text>& refused, const NameRule& rule) {
  if (refused.empty()) return;
  std::vector<Text> names;
  for (const Text& name : refused) names.push_back(PrepareName(name, rule));
  std::erase_if(missing, [&](const Row& row) {
    return std::find(names.begin(), names.end(), PrepareName(row.Cell(1), rule)) != names.end();
  });
  for (size_t i = 0; i < missing.size(); ++i) missing[i].SetCell(0, std::to_string(i + 1));
}

// Which row of its table each result row came from, in `tag` (a difference
// row: Slot 1's), and for each Slot 1 row its counterpart: the pass fills its
// lists in row order, so walking the rows as it did finds them again.
std::vector<int> TagSources(ComparisonLists& lists, const RowTable& a, const RowTable& b, const NameRule& rule) {
  PreparedNames namesA = PrepareNames(a, rule), namesB = PrepareNames(b, rule);
  FuzzyMatch fuzzy = AnalysisFuzzyMatch(rule);
  std::vector<int> inB = CounterpartFinder(namesB.names, rule.exact, fuzzy).FindEach(namesA.names);
  std::vector<int> inA = CounterpartFinder(namesA.names, rule.exact, fuzzy).FindEach(namesB.names);
  size_t missing2 = 0, different = 0, missing1 = 0;
  for (size_t i = 0; i < a.rows.size(); ++i) {
    int k = inB[i];
    if (k < 0)
      lists.missingInSlot2.at(missing2++).tag = static_cast<int32_t>(i);
    else if (b.rows[static_cast<size_t>(k)].Cell(2) != a.rows[i].Cell(2))
      lists.different.at(different++).tag = static_cast<int32_t>(i);
  }
  for (size_t j = 0; j < b.rows.size(); ++j)
    if (inA[j] < 0) lists.missingInSlot1.at(missing1++).tag = static_cast<int32_t>(j);
  assert(missing2 == lists.missingInSlot2.size() && different == lists.different.size() &&
         missing1 == lists.missingInSlot1.size());
  return inB;
}

// Each side's items of a name that stands more than once on either side,
// where the two sides' differ: the pass compared only the first of them.
// Names both sides repeat with the same values in the same order go to
// `alike`.
std::vector<PartDiff::Repeat> RepeatsThatDiffer(const RowTable& a, const RowTable& b, const PartSides& sides,
                                                const IgnoreMatcher& ignore, std::vector<Text>* alike) {
  struct Seen {
    size_t first;  // the row where it first stands, on the side `inA` tells
    bool inA;
    std::vector<size_t> rowsA, rowsB;
  };
  std::vector<Seen> names;
  std::unordered_map<std::string_view, size_t> at;
  for (const RowTable* table : {&a, &b}) {
    bool inA = table == &a;
    for (size_t i = 0; i < table->rows.size(); ++i) {
      auto [it, added] = at.emplace(table->rows[i].Cell(1), names.size());
      if (added) names.push_back({i, inA, {}, {}});
      (inA ? names[it->second].rowsA : names[it->second].rowsB).push_back(i);
    }
  }
  std::vector<PartDiff::Repeat> repeats;
  for (const Seen& s : names) {
    if (s.rowsA.size() < 2 && s.rowsB.size() < 2) continue;
    auto value = [](const RowTable& t, size_t row) { return t.rows[row].Cell(2); };
    bool equal = s.rowsA.size() == s.rowsB.size() &&
                 std::equal(s.rowsA.begin(), s.rowsA.end(), s.rowsB.begin(),
                            [&](size_t i, size_t j) { return value(a, i) == value(b, j); });
    if (equal) alike->push_back(Text(a.rows[s.first].Cell(1)));
    if (equal || ignore.Matches((s.inA ? a : b).rows[s.first].Cell(1))) continue;
    PartDiff::Repeat r{Text((s.inA ? sides.namedA : sides.namedB).rows[s.first].Cell(1)), {}, {}};
    for (size_t i : s.rowsA) r.valuesA.push_back(sides.sentA[i].second);
    for (size_t j : s.rowsB) r.valuesB.push_back(sides.sentB[j].second);
    repeats.push_back(std::move(r));
  }
  return repeats;
}

Items ItemsOf(const RowTable& table) {
  Items items;
  for (const Row& row : table.rows) items.emplace_back(row.Cell(1), row.Cell(2));
  return items;
}

// A name both sides repeat alike is the same, though the pass, which meets
// each row with the first of its name, calls the later ones different.
void LeaveOutAlike(std::vector<Row>& different, const RowTable& a, const std::vector<Text>& alike) {
  if (alike.empty()) return;
  std::erase_if(different, [&](const Row& row) {
    return std::find(alike.begin(), alike.end(), a.rows[static_cast<size_t>(row.tag)].Cell(1)) != alike.end();
  });
  for (size_t i = 0; i < different.size(); ++i) different[i].SetCell(0, std::to_string(i + 1));
}

// One part compared as Analyse compares two slots whose duplicates are kept,
// the ignore list (and `extraIgnored`) applied afterwards; the lists show
// each row as its side sent it.
PartDiff Compared(const RowTable& a, const RowTable& b, std::string_view partName, const SessionsInput& in,
                  const PartSides& sides, const std::vector<Text>& extraIgnored = {}) {
  PartDiff part;
  part.lists = CompareItemTables(a, b, in.rule);
  std::vector<int> inB = TagSources(part.lists, a, b, in.rule);
  LeaveOutRefused(part.lists.missingInSlot1, sides.refusedA, in.rule);
  LeaveOutRefused(part.lists.missingInSlot2, sides.refusedB, in.rule);
  std::vector<Text> patterns = in.ignorePatterns;
  patterns.insert(patterns.end(), extraIgnored.begin(), extraIgnored.end());
  IgnoreMatcher ignore(patterns, in.rule.caseSensitive);
  part.ignored = LeaveOutIgnored(part.lists, ignore);
  std::vector<Text> alike;
  part.repeats = RepeatsThatDiffer(a, b, sides, ignore, &alike);
  LeaveOutAlike(part.lists.different, a, alike);
  auto source = [](const Row& row) { return static_cast<size_t>(row.tag); };
  const Items& sentA = sides.sentA;
  const Items& sentB = sides.sentB;
  for (Row& row : part.lists.missingInSlot1) row = Row{row.Cell(0), sentB[source(row)].first, sentB[source(row)].second};
  for (Row& row : part.lists.missingInSlot2) row = Row{row.Cell(0), sentA[source(row)].first, sentA[source(row)].second};
  for (Row& row : part.lists.different) {
    const auto& [name, valueA] = sentA[source(row)];
    row = Row{row.Cell(0), name, valueA, sentB[static_cast<size_t>(inB[source(row)])].second};
  }
  Text label = Text(partName) + " ";
  part.duplicates = DuplicateNotes(sides.namedA, label, "A") + DuplicateNotes(sides.namedB, label, "B");
  return part;
}

// A part whose items are compared as they are shown.
PartDiff Compared(const RowTable& a, const RowTable& b, std::string_view partName, const SessionsInput& in,
                  std::vector<Text> refusedA = {}, std::vector<Text> refusedB = {},
                  const std::vector<Text>& extraIgnored = {}) {
  return Compared(a, b, partName, in, {ItemsOf(a), ItemsOf(b), a, b, std::move(refusedA), std::move(refusedB)},
                  extraIgnored);
}

// The query's pairs decoded as a server reads them, compared byte for byte
// (a "%" that GBK-shown text holds could otherwise pass for an escaped
// character); `sides` gets them as the URL carries them and their decoded
// names as shown, row for row.
RowTable QueryTable(const HttpMessage& request, Items* sent, RowTable* named) {
  Items decoded;
  std::string query = SplitUrl(request.url).query;
  for (const QueryParam& p : QueryParams(query)) {
    decoded.emplace_back(p.name, p.value);
    sent->emplace_back(Shown(p.sentName), Shown(p.sentValue));
    named->rows.push_back(Row{{}, Shown(p.name)});
  }
  return TableOf(decoded);
}

RowTable SetCookieTable(const HttpMessage& response) {
  Items items;
  for (const Field& f : CookiesOf(response)) items.emplace_back(Shown(f.name), Shown(f.value));
  return TableOf(items);
}

// The request's cookies or headers as the slot text carries them into the
// boxes; an item it cannot carry is named in `refused` (and its name, where
// GBK holds it, in `names`) and the others are compared.
RowTable RequestTable(const HttpMessage& request, const SessionsInput& in, Slot slot, std::vector<Text>* refused,
                      std::vector<Text>* names) {
  SlotItems items = ItemsTextEach(request, in.mode, in.separators);
  for (const RefusedItem& r : items.refused) {
    refused->push_back(FillIn(sessions_texts::kItemRefused,
                              {{"side", slot == Slot::k1 ? "A" : "B"}, {"name", Shown(r.item.name)}}));
    if (GbkConversion name = Utf8AsGbk(r.item.name); !name.badOffset) names->push_back(std::move(name.gbk));
  }
  return RowTable{ParseSlotText(items.text, in.separators, {in.mode, slot}).rows};
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
    std::vector<Text> refused, refusedA, refusedB;
    RowTable requestA = RequestTable(ea.request, in, Slot::k1, &refused, &refusedA);
    RowTable requestB = RequestTable(eb.request, in, Slot::k2, &refused, &refusedB);
    d.request = Compared(requestA, requestB, ModeWord(in.mode), in, std::move(refusedA), std::move(refusedB),
                         in.mode == AnalysisMode::kHttp ? in.volatileHeaders : std::vector<Text>{});
    d.request.refused = std::move(refused);
    PartSides query;
    RowTable queryA = QueryTable(ea.request, &query.sentA, &query.namedA);
    RowTable queryB = QueryTable(eb.request, &query.sentB, &query.namedB);
    d.query = Compared(queryA, queryB, sessions_texts::kPartQuery, in, query);
    d.setCookies = Compared(SetCookieTable(ea.response), SetCookieTable(eb.response), sessions_texts::kPartSetCookie, in);
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
  Text out;
  auto count = [](size_t n) { return std::to_string(n); };
  for (const PairPart& p : PartsOf(d, mode)) {
    const ComparisonLists& l = p.diff->lists;
    if (p.diff->Same()) continue;
    Text part = FillIn(sessions_texts::kPartName, {{"part", p.name}});
    if (!l.missingInSlot1.empty() || !l.missingInSlot2.empty() || !l.different.empty())
      part = FillIn(sessions_texts::kPartCounts, {{"part", p.name}, {"missing1", count(l.missingInSlot1.size())},
                                                  {"missing2", count(l.missingInSlot2.size())},
                                                  {"different", count(l.different.size())}});
    if (!p.diff->repeats.empty())
      part += " " + FillIn(sessions_texts::kPartRepeats, {{"count", count(p.diff->repeats.size())}});
    for (const Text& refused : p.diff->refused) part += " " + refused;
    out += (out.empty() ? "" : "  ") + part;
  }
  if (d.statusA != d.statusB) out += (out.empty() ? "" : "  ") + Text(sessions_texts::kPartStatus);
  return out;
}

Text SideStatus(const PairDiff& d, bool sideA) {
  const std::string& status = sideA ? d.statusA : d.statusB;
  if (!(sideA ? d.pair.a : d.pair.b)) return "-";
  return status.empty() ? Text(sessions_texts::kNoResponse) : Text(status);
}

Text PairStatus(const PairDiff& d) { return SideStatus(d, true) + "/" + SideStatus(d, false); }

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
