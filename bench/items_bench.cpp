// Parse + sort of whole captures, the keystroke path of a 16 KB capture, and
// duplicate removal.
#include <benchmark/benchmark.h>

#include <string>

#include "items/duplicates.h"
#include "items/slot_parser.h"

namespace {

// n items "name=value;" with shuffled names drawn from `names` values; GBK
// names carry 中 and 文.
std::string Capture(int n, bool gbk, unsigned names = 1000003) {
  std::string s;
  unsigned x = 12345;
  for (int i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    s += gbk ? "\xD6\xD0\xCE\xC4" : "cookie_";
    s += std::to_string(x % names);
    s += "=v";
    s += std::to_string(i);
    s += "; ";
  }
  return s;
}

const ds::Separators kCookies{";", "="};
const ds::SlotContext kSlot{};

void BM_ParseAndSort(benchmark::State& state) {
  std::string capture = Capture(static_cast<int>(state.range(0)), state.range(1) != 0);
  for (auto _ : state) {
    ds::ParseOutcome out = ds::ParseSlotText(capture, kCookies, kSlot);
    benchmark::DoNotOptimize(out.rows.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetLabel(state.range(1) ? "GBK names" : "ASCII names");
}
BENCHMARK(BM_ParseAndSort)
    ->ArgsProduct({{100, 10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// Names drawn from 150,000 values, as in the companion's benchmark: a
// quarter of the rows repeat a name, and the insertion rules place them.
void BM_ParseAndSortRepeatedNames(benchmark::State& state) {
  std::string capture = Capture(static_cast<int>(state.range(0)), false, 150000);
  for (auto _ : state) {
    ds::ParseOutcome out = ds::ParseSlotText(capture, kCookies, kSlot);
    benchmark::DoNotOptimize(out.rows.data());
  }
}
BENCHMARK(BM_ParseAndSortRepeatedNames)->Arg(100000)->Unit(benchmark::kMillisecond);

// One keystroke: the whole 16 KB text is parsed again.
void BM_Keystroke16K(benchmark::State& state) {
  std::string capture = Capture(1000, false).substr(0, 16 * 1024);
  for (auto _ : state) {
    ds::ParseOutcome out = ds::ParseSlotText(capture, kCookies, kSlot);
    benchmark::DoNotOptimize(out.rows.data());
  }
}
BENCHMARK(BM_Keystroke16K)->Unit(benchmark::kMicrosecond);

// 100,000 rows holding 50,000 names twice, next to each other as the sort
// leaves them; the answer is Yes (1) or No (0).
void BM_RemoveDuplicates(benchmark::State& state) {
  ds::RowTable slot1;
  for (int i = 0; i < 100000; ++i) {
    std::string name = "cookie_" + std::to_string(i / 2);
    slot1.rows.push_back(ds::Row{{std::to_string(i + 1), name, "v" + std::to_string(i)}});
  }
  bool yes = state.range(0) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    ds::RowTable a = slot1, b;
    state.ResumeTiming();
    ds::DuplicateOutcome out =
        ds::HandleDuplicates(a, b, "Cookies", [yes](std::string_view, std::string_view) { return yes; });
    benchmark::DoNotOptimize(out.notes.data());
  }
  state.SetLabel(yes ? "Yes" : "No");
}
BENCHMARK(BM_RemoveDuplicates)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
