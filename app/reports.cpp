#include "app/reports.h"

#include <memory>
#include <utility>

#include "compare/item_report.h"
#include "ui/dpi.h"
#include "ui/window.h"

namespace app {
namespace {

constexpr int kRowHeightForGrowth = 13;

// The first row whose name equals `name` byte for byte is selected; none: no selection.
void SelectByName(ui::ListView& list, const ds::Text& name) {
  const std::vector<ds::Row>& rows = std::as_const(list).rows().rows;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].Cell(1) == name) {
      list.SelectRow(static_cast<int>(i));
      return;
    }
  }
  list.ClearSelection();
}

// The reporter against `side`'s item list. Preparing and indexing its names
// takes a pass over every row (100,000 rows: 5 ms), too much for each step
// through the other list, so it is kept while those rows and the rule stay.
std::shared_ptr<const ds::ItemReporter> ReporterAgainst(const ReportView& v, AppState& state, ds::Slot side) {
  const ui::ListView& list = v.Items(side);
  ds::NameRule rule = RuleOf(v.caseSensitiveSwitch, v.exactMatchSwitch);
  KeptReporter& kept = state.keptReporters[side == ds::Slot::k1 ? 0 : 1];
  if (!kept.reporter || kept.rowsRevision != list.RowsRevision() || kept.rule.caseSensitive != rule.caseSensitive ||
      kept.rule.exact != rule.exact)
    kept = {list.RowsRevision(), rule, std::make_shared<const ds::ItemReporter>(list.rows(), rule)};
  return kept.reporter;
}

// Report on the selected row of one item list against the other. Selecting
// the counterpart runs that list's handlers, which let queued input run and
// may re-parse either list: nothing read before is used after it but copies.
void ShowItemReport(const ReportView& v, AppState& state, ds::Slot side) {
  const ui::ListView& source = v.Items(side);
  ui::ListView& other = v.Items(ds::Other(side));
  ds::ItemReport report = ReporterAgainst(v, state, ds::Other(side))
                              ->Report(source.rows().SelectedRow(), side, state.separators, state.ModeWord());
  if (!report.shown) return;
  if (report.counterpart >= 0) {
    other.SelectRow(report.counterpart);
    other.ScrollIntoView(other.SelectedRow());
    // The selection and the scrolling repaint before the boxes change.
    ui::LetPendingEventsRun();
  }
  v.contentBox.SetText(report.content);
  v.reportBox.SetText(report.report);
}

}  // namespace

void OnItemListRowChanged(const ReportView& v, AppState& state, ds::Slot slot) {
  ui::ListView& list = v.Items(slot);
  // Focus moves with a click before the selection does: let it land first.
  ui::LetPendingEventsRun();
  if (list.HasFocus() && list.RowCount() > 0) {
    if (ds::StopsItemReport(slot, state.current.role)) return;
    ShowItemReport(v, state, slot);
    ui::LetPendingEventsRun();
    list.ScrollIntoView(list.SelectedRow());
    ui::LetPendingEventsRun();
  } else {
    list.ScrollIntoView(list.SelectedRow());
  }
}

void OnItemListFocus(const ReportView& v, AppState& state, ds::Slot slot) {
  ui::ListView& list = v.Items(slot);
  // The click that gave the focus selects its row; the report is on that row.
  ui::LetPendingEventsRun();
  ui::Rect bounds = list.Bounds();
  int dpi = ui::DpiOf(list.hwnd());
  if ((list.RowCount() + 1) * ui::Scaled(kRowHeightForGrowth, dpi) > bounds.height)
    list.Resize(bounds.width, v.splitter.Bounds().y - bounds.y - ui::Scaled(1, dpi));
  state.current = {&list, ds::ItemsRole(slot)};
  if (list.HasFocus() && list.RowCount() > 0) ShowItemReport(v, state, slot);
  ui::LetPendingEventsRun();
}

void OnItemListBlur(const ReportView& v, ds::Slot slot) {
  ui::ListView& list = v.Items(slot);
  list.Resize(list.Bounds().width, v.searchResultBox.Bounds().height);
}

void OnMissingListFocus(const ReportView& v, AppState& state, ds::Slot slot) {
  state.current = {&v.Missing(slot), ds::MissingRole(slot)};
  OnMissingListClick(v, state, slot);
}

void OnMissingListClick(const ReportView& v, const AppState& state, ds::Slot slot) {
  const ds::Row* row = std::as_const(v.Missing(slot)).rows().SelectedRow();
  if (!row) return;
  v.contentBox.SetText(ds::SlotTextItem(row->Cell(1), row->Cell(2), state.separators));
}

void OnDifferenceRow(const ReportView& v, AppState& state) {
  const ds::Row* selected = std::as_const(v.differenceList).rows().SelectedRow();
  if (!selected) return;
  ds::Text name(selected->Cell(1));
  state.current.role = ds::ListRole::kDifferences;
  // The click's own selection change settles before the item lists follow it.
  ui::LetPendingEventsRun();
  // The Slot 1 row is selected first, so the report describes the row the
  // user moved to, whether by mouse or by keyboard.
  SelectByName(v.slot1Items, name);
  ShowItemReport(v, state, ds::Slot::k1);
  SelectByName(v.slot2Items, name);
  // Read the rows only now: every selection above let queued input run.
  v.contentBox.SetText(ds::DifferenceContent(std::as_const(v.slot1Items).rows().SelectedRow(),
                                                 std::as_const(v.slot2Items).rows().SelectedRow(),
                                             state.separators.value));
  ui::LetPendingEventsRun();
}

void OnDifferenceListFocus(const ReportView& v, AppState& state) {
  state.current.list = &v.differenceList;
  if (v.autoExpandSwitch.IsChecked()) state.current.role = ds::ListRole::kDifferences;
}

}  // namespace app
