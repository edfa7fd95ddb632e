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

  // Big lists are sized once: growing by doubling would hold up to twice the rows.
  ComparisonLists out;
  InParallel(
      worthIt,
      [&] {
        out.missingInSlot2.reserve(static_cast<size_t>(std::count(inSlot2.begin(), inSlot2.end(), -1)));
        out.different.reserve(differing.size());
        auto nextDiffering = differing.begin();
        for (size_t i = 0; i < slot1.rows.size(); ++i) {
          const Row& row = slot1.rows[i];
          if (inSlot2[i] < 0) {
            out.missingInSlot2.push_back(ResultRow(out.missingInSlot2.size() + 1, row.Cell(1), row.Cell(2)));
          } else if (nextDiffering != differing.end() && *nextDiffering == static_cast<int>(i)) {
            ++nextDiffering;
            out.different.push_back(Row{Digits(static_cast<long long>(out.different.size() + 1)), row.Cell(1),
                                        row.Cell(2), slot2.rows[static_cast<size_t>(inSlot2[i])].Cell(2)});
          }
        }
      },
      [&] {
        out.missingInSlot1.reserve(static_cast<size_t>(std::count(inSlot1.begin(), inSlot1.end(), -1)));
        for (size_t i = 0; i < slot2.rows.size(); ++i) {
          const Row& row = slot2.rows[i];
          if (inSlot1[i] < 0)
            out.missingInSlot1.push_back(ResultRow(out.missingInSlot1.size() + 1, row.Cell(1), row.Cell(2)));
        }
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
