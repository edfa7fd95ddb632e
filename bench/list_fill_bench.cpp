// Under Wine: filling the owner-data list with 100,000 rows and reading them
// back through the list view, and a whole 100,000-item paste into a slot.
#include <windows.h>
#include <commctrl.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/slots.h"
#include "compare/search.h"
#include "ui/message_box.h"
#include "ui/text_convert.h"

namespace {

app::MainWindow& Window() {
  static app::MainWindow* window = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    // Default settings, and no launch count: on every 21st launch the tip
    // window would wait for a click that never comes. The settings file is
    // put back when the benchmarks end.
    static const std::string settings = app::SettingsPath(), aside = settings + ".bench-aside";
    if (MoveFileExA(settings.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING))
      std::atexit([] {
        DeleteFileA(settings.c_str());
        MoveFileExA(aside.c_str(), settings.c_str(), MOVEFILE_REPLACE_EXISTING);
      });
    auto* w = new app::MainWindow;
    w->Create(false);
    w->ShowAsPlaced();
    ui::LetPendingEventsRun();
    return w;
  }();
  return *window;
}

std::vector<ds::Row> Rows(int n) {
  std::vector<ds::Row> rows;
  rows.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    rows.push_back(ds::Row{{std::to_string(i + 1), "name" + std::to_string(i), "value" + std::to_string(i)}});
  return rows;
}

void BM_FillList100k(benchmark::State& state) {
  ui::ListView& list = Window().controls().slot1Missing;
  std::vector<ds::Row> rows = Rows(100000);
  for (auto _ : state) {
    list.rows().rows = rows;
    list.Refresh();
    UpdateWindow(list.hwnd());
  }
}
BENCHMARK(BM_FillList100k)->Unit(benchmark::kMillisecond);

// Handlers read rows from the store the list owns.
void BM_ReadBack100k(benchmark::State& state) {
  ui::ListView& list = Window().controls().slot1Missing;
  list.rows().rows = Rows(100000);
  list.Refresh();
  for (auto _ : state) {
    size_t total = 0;
    for (const ds::Row& row : list.rows().rows) total += row.Cell(1).size() + row.Cell(2).size();
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_ReadBack100k)->Unit(benchmark::kMillisecond);

// What the list view itself shows, cell by cell: a Wine message round trip each.
void BM_ReadBackThroughListView(benchmark::State& state) {
  ui::ListView& list = Window().controls().slot1Missing;
  list.rows().rows = Rows(100000);
  list.Refresh();
  wchar_t buffer[260];
  for (auto _ : state) {
    size_t total = 0;
    for (int row = 0; row < state.range(0); ++row) {
      LVITEMW item{};
      item.iSubItem = 1;
      item.pszText = buffer;
      item.cchTextMax = 260;
      total += static_cast<size_t>(
          SendMessageW(list.hwnd(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_ReadBackThroughListView)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_PasteIntoSlot(benchmark::State& state) {
  std::string capture;
  for (int i = 0; i < state.range(0); ++i)
    capture.append("k").append(std::to_string((i * 7919) % 100003)).append("=v;");
  ui::EditBox& input = Window().controls().slot1Input;
  for (auto _ : state) {
    input.SetText(capture);  // parse, sort, fill, fit columns
    UpdateWindow(Window().hwnd());
    // A box that already shows the capture is left alone: every paste goes
    // into an empty one, as the first does.
    state.PauseTiming();
    input.SetText("");
    UpdateWindow(Window().hwnd());
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PasteIntoSlot)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same without the edit control's own work: parse, sort, fill, fit.
void BM_ParseSlotIntoWindow(benchmark::State& state) {
  std::string capture;
  for (int i = 0; i < state.range(0); ++i)
    capture.append("k").append(std::to_string((i * 7919) % 100003)).append("=v;");
  Window().controls().slot1Input.SetText(capture);
  for (auto _ : state) {
    app::ParseSlotIntoWindow(Window().controls().slot1Input, app::SlotViewOf(Window().controls(), ds::Slot::k1), Window().state(), ds::Slot::k1);
    if (state.range(1)) UpdateWindow(Window().hwnd());
  }
  state.SetLabel(state.range(1) ? "with repaint" : "without repaint");
}
BENCHMARK(BM_ParseSlotIntoWindow)->ArgsProduct({{1000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

double SecondsSince(std::chrono::steady_clock::time_point started) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

// The two captures the resize and selection rows paste, sharing half their
// names: 988,890 and 1,050,000 characters.
const std::pair<std::string, std::string>& TwoBigCaptures() {
  static const std::pair<std::string, std::string> captures = [] {
    std::string a, b;
    for (int i = 0; i < 100000; ++i) {
      a.append("k").append(std::to_string(i)).append("=v").append(std::to_string(i % 7)).append(";");
      b.append("k").append(std::to_string(i + 50000)).append("=v").append(std::to_string(i % 5)).append(";");
    }
    return std::pair{a, b};
  }();
  return captures;
}

// The floor under the window rows: Wine's own edit control, with none of
// ours around it. Arg 0: the 100,000-item capture set into a box and painted
// (the paste); arg 1: two boxes holding the two captures the resize row
// pastes, resized and painted (a resize step: an edit control paints its
// whole line, so the text must be the same); arg 2: one short line set into
// a box with a vertical scroll bar (what a selection step does to the
// content box).
void BM_EditControlAlone(benchmark::State& state) {
  std::wstring capture;
  for (int i = 0; i < 100000; ++i) capture += L"k" + std::to_wstring((i * 7919) % 100003) + L"=v;";
  const std::wstring resized[2] = {ui::ToWide(TwoBigCaptures().first).text, ui::ToWide(TwoBigCaptures().second).text};
  DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  HWND boxes[2];
  for (int k = 0; k < 2; ++k) {
    HWND& box = boxes[k];
    box = CreateWindowExW(0, L"EDIT", L"", style, 10, 10, 300, 40, Window().hwnd(), nullptr, nullptr, nullptr);
    SendMessageW(box, EM_SETLIMITTEXT, 0, 0);
    if (state.range(0) == 1) SetWindowTextW(box, resized[k].c_str());
  }
  UpdateWindow(Window().hwnd());
  int step = 0;
  for (auto _ : state) {
    ++step;
    auto started = std::chrono::steady_clock::now();
    double steps = 1;
    if (state.range(0) == 0) {
      SetWindowTextW(boxes[0], capture.c_str());
      UpdateWindow(boxes[0]);
      state.SetIterationTime(SecondsSince(started));
      SetWindowTextW(boxes[0], L"");
      UpdateWindow(boxes[0]);
      continue;
    }
    if (state.range(0) == 1) {
      // Grown and shrunk again, as the resize row maximises and restores.
      for (int width : {500, 300}) {
        for (HWND box : boxes) SetWindowPos(box, nullptr, 0, 0, width, 40, SWP_NOMOVE | SWP_NOZORDER);
        for (HWND box : boxes) UpdateWindow(box);
      }
      steps = 2;
    } else {
      SetWindowTextW(boxes[0], (L"c" + std::to_wstring(step) + L"=v1").c_str());
      UpdateWindow(boxes[0]);
    }
    state.SetIterationTime(SecondsSince(started) / steps);
  }
  for (HWND box : boxes) DestroyWindow(box);
}
BENCHMARK(BM_EditControlAlone)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMillisecond);

// Two 100,000-item captures pasted, sharing half their names.
void PasteTwoBigCaptures() {
  static bool done = false;
  if (done) return;
  done = true;
  const std::pair<std::string, std::string>& captures = TwoBigCaptures();
  Window().controls().slot1Input.SetText(captures.first);
  Window().controls().slot2Input.SetText(captures.second);
  UpdateWindow(Window().hwnd());
}

// Analyse of 2 x 100,000 items until every list has painted.
void BM_WindowAnalyse100k(benchmark::State& state) {
  PasteTwoBigCaptures();
  ui::SetMessageHook([](const ui::MessageRequest&) { return ui::MessageAnswer::kNo; });
  for (auto _ : state) {
    Window().controls().analyseButton.Click();
    UpdateWindow(Window().hwnd());
  }
  ui::SetMessageHook(nullptr);
  state.SetLabel(std::to_string(Window().controls().differenceList.rows().rows.size()) + " differences");
}
BENCHMARK(BM_WindowAnalyse100k)->Unit(benchmark::kMillisecond);

// Maximise, then restore, with two 100,000-row item lists, each step
// repainted. An iteration does both and counts as one step, their mean: one
// iteration alone would otherwise measure a maximise only.
void BM_ResizeStep100k(benchmark::State& state) {
  PasteTwoBigCaptures();
  for (auto _ : state) {
    auto started = std::chrono::steady_clock::now();
    for (int show : {SW_MAXIMIZE, SW_RESTORE}) {
      ShowWindow(Window().hwnd(), show);
      ui::LetPendingEventsRun();
      UpdateWindow(Window().hwnd());
    }
    state.SetIterationTime(SecondsSince(started) / 2);
  }
}
BENCHMARK(BM_ResizeStep100k)->UseManualTime()->Unit(benchmark::kMillisecond);

// The Down key in a focused 100,000-row item list: the next row, its report
// and its counterpart selected in the other list.
void BM_SelectionStep100k(benchmark::State& state) {
  PasteTwoBigCaptures();
  ui::ListView& list = Window().controls().slot1Items;
  list.Focus();
  list.SelectRow(60000);
  ui::LetPendingEventsRun();
  int row = 60000;
  for (auto _ : state) {
    if (++row >= 99990) {
      state.PauseTiming();
      list.SelectRow(row = 60000);
      ui::LetPendingEventsRun();
      state.ResumeTiming();
    }
    SendMessageW(list.hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(list.hwnd(), WM_KEYUP, VK_DOWN, 0);
    ui::LetPendingEventsRun();
    UpdateWindow(Window().hwnd());
  }
  state.SetLabel("at row " + std::to_string(list.SelectedRow()));
}
BENCHMARK(BM_SelectionStep100k)->Unit(benchmark::kMillisecond);

// What Wine's own controls do for that step, with none of ours around them:
// two owner-data list views of 100,000 rows, each moved one row down past the
// last row in view (so each scrolls), and one short line set into an edit box
// with a vertical scroll bar. Not a floor the table uses; it shows what the
// step itself asks of the controls.
void BM_SelectionStepAlone(benchmark::State& state) {
  DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
  DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_DOUBLEBUFFER;
  HWND lists[2];
  for (int k = 0; k < 2; ++k) {
    lists[k] = CreateWindowExW(0, WC_LISTVIEWW, L"", listStyle, 10 + 300 * k, 60, 290, 150, Window().hwnd(), nullptr,
                               nullptr, nullptr);
    SendMessageW(lists[k], LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    for (int column = 0; column < 3; ++column) {
      LVCOLUMNW col{};
      col.mask = LVCF_WIDTH;
      col.cx = 90;
      SendMessageW(lists[k], LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
    }
    SendMessageW(lists[k], LVM_SETITEMCOUNT, 100000, 0);
  }
  DWORD boxStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  HWND box = CreateWindowExW(0, L"EDIT", L"", boxStyle, 10, 220, 300, 60, Window().hwnd(), nullptr, nullptr, nullptr);
  auto select = [&lists](int row, UINT state) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = state;
    for (HWND list : lists) SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  };
  int row = 60000;
  select(row, LVIS_SELECTED | LVIS_FOCUSED);
  UpdateWindow(Window().hwnd());
  for (auto _ : state) {
    select(row, 0);
    if (++row >= 99990) row = 60000;
    select(row, LVIS_SELECTED | LVIS_FOCUSED);
    for (HWND list : lists) UpdateWindow(list);
    SetWindowTextW(box, (L"k" + std::to_wstring(row) + L"=v1\r\n\r\nk" + std::to_wstring(row) + L"=v2\r\n").c_str());
    UpdateWindow(box);
  }
  for (HWND list : lists) DestroyWindow(list);
  DestroyWindow(box);
}
BENCHMARK(BM_SelectionStepAlone)->Unit(benchmark::kMillisecond);

// Fitting a name column of 100,000 names written in Chinese characters: each
// is measured only while it could still be the widest.
void BM_FitColumnChineseNames(benchmark::State& state) {
  ui::ListView& list = Window().controls().slot1Missing;
  list.rows().rows.clear();
  for (int i = 0; i < 100000; ++i)
    list.rows().rows.push_back(ds::Row{{"1", "\xC3\xFB\xD7\xD6" + std::to_string(i * 7919 % 100003), "v"}});
  list.Refresh();
  for (auto _ : state) {
    list.Refresh();  // the widest name is measured again
    list.FitColumn(1);
  }
  list.Clear();
}
BENCHMARK(BM_FitColumnChineseNames)->Unit(benchmark::kMillisecond);

// The parse alone for one keystroke in a 16 KB capture, as the Windows build runs it.
void BM_Keystroke16KParseOnly(benchmark::State& state) {
  std::string capture;
  for (int i = 0; capture.size() < 16 * 1024; ++i) capture.append("cookie_").append(std::to_string(i * 7919 % 100003)).append("=v; ");
  ds::SlotContext slot{};
  for (auto _ : state) {
    ds::ParseOutcome out = ds::ParseSlotText(capture, {";", "="}, slot);
    benchmark::DoNotOptimize(out.rows.data());
  }
}
BENCHMARK(BM_Keystroke16KParseOnly)->Unit(benchmark::kMicrosecond);

// One keystroke in the search box over two 100,000-item lists, until the
// result box holds the result and has painted it. Arg 0: a text that 11,111
// names of each list begin with; arg 1: the empty text, which lists all;
// arg 2: a text that narrows each list to 11 names.
void BM_SearchKeystroke100k(benchmark::State& state) {
  app::MainControls& c = Window().controls();
  for (ui::ListView* list : {&c.slot1Items, &c.slot2Items}) {
    list->rows().rows = Rows(100000);
    list->Refresh();
  }
  const char* texts[] = {"name1", "", "name1234"};
  const char* text = texts[state.range(0)];
  bool whole = state.range(1) != 0;
  size_t length = 0;
  for (auto _ : state) {
    c.searchBox.SetText(text);  // the change handling a keystroke runs
    UpdateWindow(c.searchResultBox.hwnd());
    // Reading the text puts in what the box had not laid out yet.
    if (whole) length = static_cast<size_t>(GetWindowTextLengthW(c.searchResultBox.hwnd()));
  }
  state.SetLabel(whole ? std::to_string(length) + " characters in the box" : "until painted");
}
// Second arg 0: until the box has painted the result's end; 1: until it holds
// the whole result.
BENCHMARK(BM_SearchKeystroke100k)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMillisecond);

// Its two halves: the core building the result, and the edit control taking
// it, which under Wine lays out every line it holds at each change.
void BM_SearchResultOnly100k(benchmark::State& state) {
  ds::RowTable table;
  table.rows = Rows(100000);
  const char* text = state.range(0) == 0 ? "name1" : "";
  for (auto _ : state) benchmark::DoNotOptimize(ds::SearchResult(table, table, text, {true, true}, "Cookies"));
}
BENCHMARK(BM_SearchResultOnly100k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ResultBoxSetText(benchmark::State& state) {
  ds::RowTable table;
  table.rows = Rows(100000);
  ds::Text result = ds::SearchResult(table, table, state.range(0) == 0 ? "name1" : "", {true, true}, "Cookies");
  ui::EditBox& box = Window().controls().searchResultBox;
  for (auto _ : state) {
    box.SetText(result);
    UpdateWindow(box.hwnd());
  }
}
BENCHMARK(BM_ResultBoxSetText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
