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

ComparisonLists CompareItemTables(const RowTable& slot1, const RowTable& slot2, const NameRule& rule) {
  // Each step does the same for both slots, so on big lists each slot's part
  // runs on a core of its own.
  bool worthIt = slot1.rows.size() + slot2.rows.size() > kParallelRows;
  // Every name is prepared once per action, whichever side it is sought from.
  PreparedNames names1, names2;
  InParallel(
      worthIt, [&] { names1 = PrepareNames(slot1, rule); }, [&] { names2 = PrepareNames(slot2, rule); });
  FuzzyMatch fuzzy = AnalysisFuzzyMatch(rule);
  std::vector<int> inSlot2, inSlot1, differing;
  InParallel(
      worthIt,
      [&] {
        inSlot2 = CounterpartFinder(names2.names, rule.exact, fuzzy).FindEach(names1.names);
        for (size_t i = 0; i < slot1.rows.size(); ++i) {
          // The counterparts lie anywhere in the other list: ask for their
          // rows, then for their cells, ahead of the comparison.
          if (size_t ahead = i + 32; ahead < inSlot2.size() && inSlot2[ahead] >= 0)
            __builtin_prefetch(&slot2.rows[static_cast<size_t>(inSlot2[ahead])]);
          if (size_t ahead = i + 16; ahead < inSlot2.size() && inSlot2[ahead] >= 0)
            slot2.rows[static_cast<size_t>(inSlot2[ahead])].Prefetch();
          int k = inSlot2[i];
          if (k >= 0 && slot2.rows[static_cast<size_t>(k)].Cell(2) != slot1.rows[i].Cell(2))
            differing.push_back(static_cast<int>(i));
        }
      },
      [&] { inSlot1 = CounterpartFinder(names1.names, rule.exact, fuzzy).FindEach(names2.names); });
  // The names are let go before the lists are made, which would otherwise
  // sit beside them.
  names1 = {};
  names2 = {};

  // Big lists are sized once: growing by doubling would hold up to twice the
  // rows. Each core makes one missing list and half the differences.
  ComparisonLists out;
  out.different.resize(differing.size());
  auto makeDifferent = [&](size_t from, size_t to) {
    for (size_t j = from; j < to; ++j) {
      size_t i = static_cast<size_t>(differing[j]);
      const Row& row = slot1.rows[i];
      out.different[j] = Row{Digits(static_cast<long long>(j + 1)), row.Cell(1), row.Cell(2),
                             slot2.rows[static_cast<size_t>(inSlot2[i])].Cell(2)};
    }
  };
  auto makeMissing = [](const RowTable& slot, const std::vector<int>& counterparts, std::vector<Row>& missing) {
    missing.reserve(static_cast<size_t>(std::count(counterparts.begin(), counterparts.end(), -1)));
    for (size_t i = 0; i < slot.rows.size(); ++i) {
      const Row& row = slot.rows[i];
      if (counterparts[i] < 0) missing.push_back(ResultRow(missing.size() + 1, row.Cell(1), row.Cell(2)));
    }
  };
  size_t half = differing.size() / 2;
  InParallel(
      worthIt,
      [&] {
        makeMissing(slot1, inSlot2, out.missingInSlot2);
        makeDifferent(0, half);
      },
      [&] {
        makeMissing(slot2, inSlot1, out.missingInSlot1);
        makeDifferent(half, differing.size());
      });
  return out;
}

Text SummaryText(const ComparisonLists& lists, std::string_view modeWord) {
  auto count = [](const std::vector<Row>& rows) { return ToText(static_cast<long long>(rows.size())); };
  return FillIn(texts::kSummary, {{"missing1", count(lists.missingInSlot1)},
                                  {"missing2", count(lists.missingInSlot2)},
                                  {"mode", modeWord},
                                  {"different", count(lists.different)}});
}

}  // namespace ds
