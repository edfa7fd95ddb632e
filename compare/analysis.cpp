#include "compare/analysis.h"

#include <algorithm>

#include "compare/texts.h"
#include "items/in_parallel.h"
#include "items/sentence.h"

namespace ds {
namespace {

Row ResultRow(size_t number, std::string_view name, std::string_view value) {
  return Row{Digits(static_cast<long long>(number)), name, value};
}

}  // namespace

ComparisonPairs PairItemTables(const RowTable& slot1, const RowTable& slot2, const NameRule& rule) {
  // Each step does the same for both slots, so on big lists each slot's part
  // runs on a core of its own.
  bool worthIt = slot1.rows.size() + slot2.rows.size() > kParallelRows;
  // Every name is prepared once per action, whichever side it is sought from.
  PreparedNames names1, names2;
  InParallel(
      worthIt, [&] { names1 = PrepareNames(slot1, rule); }, [&] { names2 = PrepareNames(slot2, rule); });
  FuzzyMatch fuzzy = AnalysisFuzzyMatch(rule);
  ComparisonPairs out;
  auto missing = [](const std::vector<int>& counterparts, std::vector<int>& rows) {
    rows.reserve(static_cast<size_t>(std::count(counterparts.begin(), counterparts.end(), -1)));
    for (size_t i = 0; i < counterparts.size(); ++i)
      if (counterparts[i] < 0) rows.push_back(static_cast<int>(i));
  };
  // Names as the parse sorted them meet in one walk; other lists through an
  // index on each side.
  std::vector<int> inSlot2, inSlot1;
  bool walked = rule.exact && FirstOfEachBothWays(names1.names, names2.names, inSlot2, inSlot1);
  InParallel(
      worthIt,
      [&] {
        if (!walked) inSlot2 = CounterpartFinder(names2.names, rule.exact, fuzzy).FindEach(names1.names);
        for (size_t i = 0; i < slot1.rows.size(); ++i) {
          // The counterparts lie anywhere in the other list: ask for their
          // rows, then for their cells, ahead of the comparison.
          if (size_t ahead = i + 32; ahead < inSlot2.size() && inSlot2[ahead] >= 0)
            __builtin_prefetch(&slot2.rows[static_cast<size_t>(inSlot2[ahead])]);
          if (size_t ahead = i + 16; ahead < inSlot2.size() && inSlot2[ahead] >= 0)
            slot2.rows[static_cast<size_t>(inSlot2[ahead])].Prefetch();
          int k = inSlot2[i];
          if (k >= 0 && slot2.rows[static_cast<size_t>(k)].Cell(2) != slot1.rows[i].Cell(2))
            out.different.emplace_back(static_cast<int>(i), k);
        }
        missing(inSlot2, out.missingInSlot2);
      },
      [&] {
        if (!walked) inSlot1 = CounterpartFinder(names1.names, rule.exact, fuzzy).FindEach(names2.names);
        missing(inSlot1, out.missingInSlot1);
      });
  return out;
}

ComparisonLists ListsOfPairs(const ComparisonPairs& pairs, const RowTable& slot1, const RowTable& slot2) {
  // Big lists are sized once: growing by doubling would hold up to twice the
  // rows. Each core makes one missing list and half the differences.
  ComparisonLists out;
  out.different.resize(pairs.different.size());
  auto makeDifferent = [&](size_t from, size_t to) {
    for (size_t j = from; j < to; ++j) {
      const Row& row = slot1.rows[static_cast<size_t>(pairs.different[j].first)];
      out.different[j] = Row{Digits(static_cast<long long>(j + 1)), row.Cell(1), row.Cell(2),
                             slot2.rows[static_cast<size_t>(pairs.different[j].second)].Cell(2)};
    }
  };
  auto makeMissing = [](const RowTable& slot, const std::vector<int>& places, std::vector<Row>& missing) {
    missing.reserve(places.size());
    for (int place : places) {
      const Row& row = slot.rows[static_cast<size_t>(place)];
      missing.push_back(ResultRow(missing.size() + 1, row.Cell(1), row.Cell(2)));
    }
  };
  size_t half = pairs.different.size() / 2;
  size_t rows = pairs.missingInSlot1.size() + pairs.missingInSlot2.size() + pairs.different.size();
  InParallel(
      rows > kParallelRows,
      [&] {
        makeMissing(slot1, pairs.missingInSlot2, out.missingInSlot2);
        makeDifferent(0, half);
      },
      [&] {
        makeMissing(slot2, pairs.missingInSlot1, out.missingInSlot1);
        makeDifferent(half, pairs.different.size());
      });
  return out;
}

ComparisonLists CompareItemTables(const RowTable& slot1, const RowTable& slot2, const NameRule& rule) {
  return ListsOfPairs(PairItemTables(slot1, slot2, rule), slot1, slot2);
}

Text SummaryText(size_t missingInSlot1, size_t missingInSlot2, size_t different, std::string_view modeWord) {
  auto count = [](size_t n) { return ToText(static_cast<long long>(n)); };
  return FillIn(texts::kSummary, {{"missing1", count(missingInSlot1)},
                                  {"missing2", count(missingInSlot2)},
                                  {"mode", modeWord},
                                  {"different", count(different)}});
}

Text SummaryText(const ComparisonLists& lists, std::string_view modeWord) {
  return SummaryText(lists.missingInSlot1.size(), lists.missingInSlot2.size(), lists.different.size(), modeWord);
}

}  // namespace ds
