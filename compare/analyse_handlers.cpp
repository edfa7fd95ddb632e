#include "compare/analyse_handlers.h"

#include "app/main_window.h"
#include "app/message_boxes.h"
#include "compare/analysis.h"
#include "compare/item_report.h"
#include "compare/texts.h"
#include "items/duplicates.h"

namespace compare {
namespace {

constexpr int kRowHeightForGrowth = 13;

ds::NameRule CurrentRule(app::MainControls& c) {
  return {c.caseSensitiveSwitch.IsChecked(), c.exactMatchSwitch.IsChecked()};
}

ui::ListView& MissingList(app::MainControls& c, int which) { return which == 1 ? c.slot1Missing : c.slot2Missing; }

void FillList(ui::ListView& list, std::vector<ds::Row> rows) {
  list.rows().rows = std::move(rows);
  list.rows().selected = -1;
  list.Refresh();
}

// The first row whose name equals `name` byte for byte is selected; none: no selection.
const ds::Row* SelectByName(ui::ListView& list, const ds::Text& name) {
  const std::vector<ds::Row>& rows = list.rows().rows;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].Cell(1) == name) {
      list.SelectRow(static_cast<int>(i));
      return &rows[i];
    }
  }
  list.ClearSelection();
  return nullptr;
}

// Report on the selected row of one item list against the other.
void ShowItemReport(app::MainWindow& window, int side) {
  app::MainControls& c = window.controls();
  const app::AppState& state = window.state();
  ui::ListView& source = c.Items(side);
  ui::ListView& other = c.Items(3 - side);
  ds::ItemReporter reporter(other.rows(), CurrentRule(c));
  ds::ItemReport report = reporter.Report(source.rows().SelectedRow(), side, state.separators, state.modeWord);
  if (!report.shown) return;
  if (report.counterpart >= 0) {
    other.SelectRow(report.counterpart);
    other.ScrollIntoView(report.counterpart);
    ui::LetPendingEventsRun();
  }
  c.contentBox.SetText(report.content);
  c.reportBox.SetText(report.report);
}

bool IsStoppingTitle(int side, const ds::Text& title) {
  if (side == 1) return title == ds::texts::kTitleSlot2Items;
  return title == ds::texts::kTitleSlot1Items || title == ds::texts::kTitleDifferences;
}

}  // namespace

void RunAnalyse(app::MainWindow& window) {
  app::MainControls& c = window.controls();
  const app::AppState& state = window.state();
  switch (ds::CheckAnalyse(c.lineSeparatorBox.GetText(), c.valueSeparatorBox.GetText(), c.slot1Input.GetText(),
                           c.slot2Input.GetText(), state.modeWord)) {
    case ds::AnalyseCheck::kSeparatorConflict:
      app::ShowRefusal(window.hwnd(), ds::texts::kSeparatorConflict, ds::texts::kDefaultTitle);
      return;
    case ds::AnalyseCheck::kPlaceholder:
      app::ShowRefusal(window.hwnd(), ds::texts::kFillBothSlots, ds::texts::kFriendlyTitle);
      return;
    case ds::AnalyseCheck::kNothingToCompare:
      return;
    case ds::AnalyseCheck::kRun:
      break;
  }

  ds::DuplicateOutcome duplicates =
      ds::HandleDuplicates(c.slot1Items.rows(), c.slot2Items.rows(), state.modeWord,
                           [&window](std::string_view text, std::string_view title) {
                             return app::AskYesNo(window.hwnd(), text, title);
                           });
  c.slot1Items.Refresh();
  c.slot2Items.Refresh();
  c.contentBox.SetText(duplicates.notes);

  c.differenceList.Clear();
  ds::ComparisonLists lists = ds::CompareItemTables(c.slot1Items.rows(), c.slot2Items.rows(), CurrentRule(c));
  window.SetStatus(ds::SummaryText(lists, state.modeWord));
  FillList(c.slot1Missing, std::move(lists.missingInSlot1));
  FillList(c.slot2Missing, std::move(lists.missingInSlot2));
  FillList(c.differenceList, std::move(lists.different));
  for (ui::ListView* list : {&c.slot1Missing, &c.slot2Missing}) {
    list->QueueFitColumn(0);
    list->QueueFitColumn(1);
  }
}

void OnItemListRowChanged(app::MainWindow& window, int side) {
  ui::ListView& list = window.controls().Items(side);
  ui::LetPendingEventsRun();
  if (list.HasFocus() && list.RowCount() > 0) {
    if (IsStoppingTitle(side, window.state().current.title)) return;
    ShowItemReport(window, side);
    ui::LetPendingEventsRun();
    list.ScrollIntoView(list.SelectedRow());
    ui::LetPendingEventsRun();
  } else {
    list.ScrollIntoView(list.SelectedRow());
  }
}

void OnItemListFocus(app::MainWindow& window, int side) {
  app::MainControls& c = window.controls();
  ui::ListView& list = c.Items(side);
  ui::LetPendingEventsRun();
  ui::Rect bounds = list.Bounds();
  if ((list.RowCount() + 1) * kRowHeightForGrowth > bounds.height)
    list.Resize(bounds.width, c.splitter.Bounds().y - bounds.y - 1);
  window.state().current = {&list, side == 1 ? ds::texts::kTitleSlot1Items : ds::texts::kTitleSlot2Items};
  if (list.HasFocus() && list.RowCount() > 0) ShowItemReport(window, side);
  ui::LetPendingEventsRun();
}

void OnItemListBlur(app::MainWindow& window, int side) {
  app::MainControls& c = window.controls();
  ui::ListView& list = c.Items(side);
  list.Resize(list.Bounds().width, c.searchResultBox.Bounds().height);
}

void OnMissingListFocus(app::MainWindow& window, int which) {
  app::MainControls& c = window.controls();
  window.state().current = {&MissingList(c, which),
                            which == 1 ? ds::texts::kTitleSlot1Missing : ds::texts::kTitleSlot2Missing};
  OnMissingListClick(window, which);
}

void OnMissingListClick(app::MainWindow& window, int which) {
  app::MainControls& c = window.controls();
  const ds::Row* row = MissingList(c, which).rows().SelectedRow();
  if (!row) return;
  c.contentBox.SetText(ds::SlotTextItem(row->Cell(1), row->Cell(2), window.state().separators));
}

void OnDifferenceRow(app::MainWindow& window) {
  app::MainControls& c = window.controls();
  const ds::Row* selected = c.differenceList.rows().SelectedRow();
  if (!selected) return;
  ds::Text name = selected->Cell(1);
  window.state().current.title = ds::texts::kTitleDifferences;
  ui::LetPendingEventsRun();
  // The Slot 1 row is selected first, so the report describes the row the
  // user moved to, whether by mouse or by keyboard.
  const ds::Row* row1 = SelectByName(c.slot1Items, name);
  ShowItemReport(window, 1);
  const ds::Row* row2 = SelectByName(c.slot2Items, name);
  c.contentBox.SetText(ds::DifferenceContent(row1, row2, window.state().separators.value));
  ui::LetPendingEventsRun();
}

void OnDifferenceListFocus(app::MainWindow& window) {
  app::MainControls& c = window.controls();
  window.state().current.list = &c.differenceList;
  if (c.autoExpandSwitch.IsChecked()) window.state().current.title = ds::texts::kTitleDifferences;
}

void OnDifferenceListDoubleClick(app::MainWindow& window) { OnItemListRowChanged(window, 1); }

}  // namespace compare
