// The comparison pass over two captures: exact names (either case rule) over
// 2 x 100,000 items, fuzzy names over 2 x 20,000; ignore patterns made to
// make a matcher search back, against a 1 MB name.
#include <benchmark/benchmark.h>

#include <string>

#include "compare/analysis.h"
#include "compare/ignore_list.h"

namespace {

// n items with shuffled names; the second slot shares about two thirds of them.
ds::RowTable Slot(int n, unsigned seed) {
  ds::RowTable t;
  unsigned x = seed;
  for (int i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    unsigned id = (x >> 8) % static_cast<unsigned>(n * 3 / 2);
    t.rows.push_back(ds::Row{{std::to_string(i + 1), "Cookie_" + std::to_string(id), "v" + std::to_string(id % 7)}});
  }
  return t;
}

void BM_Compare(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  ds::NameRule rule{state.range(1) != 0, state.range(2) != 0};
  ds::RowTable a = Slot(n, 1), b = Slot(n, 2);
  for (auto _ : state) {
    ds::ComparisonLists lists = ds::CompareItemTables(a, b, rule);
    benchmark::DoNotOptimize(lists.different.data());
  }
  state.SetLabel(std::string(rule.exact ? "exact" : "fuzzy") + (rule.caseSensitive ? ", case-sensitive" : ", ignoring case"));
}
BENCHMARK(BM_Compare)
    ->Args({100000, 1, 1})
    ->Args({100000, 0, 1})
    ->Args({20000, 1, 0})
    ->Args({20000, 0, 0})
    ->Unit(benchmark::kMillisecond);

// 0: "*", 10,000 "?" and "x"; 1: a 1,000-character pattern whose part between
// its stars is "a?" over and over. Neither matches the name of "a"s.
void BM_IgnoreLongName(benchmark::State& state) {
  std::string name(1 << 20, 'a');
  std::string pattern = state.range(0) == 0 ? "*" + std::string(10000, '?') + "x" : "*";
  if (state.range(0) == 1) {
    for (int i = 0; i < 499; ++i) pattern += "a?";
    pattern += "b*";
  }
  ds::IgnoreMatcher matcher({pattern}, false);
  for (auto _ : state) benchmark::DoNotOptimize(matcher.Matches(name));
}
BENCHMARK(BM_IgnoreLongName)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
