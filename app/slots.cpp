#include "app/slots.h"

#include <optional>

#include "app/layout.h"
#include "app/settings.h"
#include "items/texts.h"
#include "ui/dpi.h"
#include "ui/window.h"

namespace app {

void ParseSlotIntoWindow(ui::EditBox& input, const SlotView& view, AppState& state, ds::Slot slot) {
  ds::SlotUpdate update = ds::ParseSlot(input.GetText(), state.separators, {state.mode, slot});
  // A complete parse fills the list and fits its columns; one repaint for both.
  bool complete = update.status.has_value();
  std::optional<ui::DeferredRedraw> batch;
  if (complete) batch.emplace(view.items.hwnd());
  if (update.rows) {
    ++state.parses;
    view.items.rows().rows = std::move(*update.rows);
    view.items.rows().selected = -1;
    view.items.Refresh();
  }
  if (update.report) view.reportBox.SetText(*update.report);
  if (update.status) view.statusBar.SetText(*update.status);
  if (update.notes) view.contentBox.SetText(*update.notes);
  if (complete) SettleColumns(view.items, true, ui::ListView::Fit::kToContent);
}

void SettleColumns(ui::ListView& list, bool itemList, ui::ListView::Fit fit) {
  int dpi = ui::DpiOf(list.hwnd());
  int number = list.FittedWidth(0, fit) + (itemList ? ui::Scaled(4, dpi) : 0);
  ColumnFit widths = FitValueColumn(list.Bounds().width, number, list.FittedWidth(1, fit), itemList, dpi);
  // Each width is set once: a 100,000-row list view takes milliseconds over
  // every change of one.
  list.SetColumnWidth(0, number);
  list.SetColumnWidth(2, widths.value);
  list.SetColumnWidth(1, widths.name);
}

void CommitSeparatorBox(ui::EditBox& box, ds::SeparatorKind kind, ds::Separators& inForce) {
  ds::SeparatorCommit commit = ds::CommitSeparator(kind, box.GetText());
  // Showing the word is itself a change of the box and commits the word.
  if (commit.boxText) box.SetText(*commit.boxText);
  WriteSetting(ds::SeparatorSettingKey(kind), commit.stored);
  (kind == ds::SeparatorKind::kLine ? inForce.line : inForce.value) = commit.inForce;
}

void OnValueSeparatorKey(ui::EditBox& box, UINT key) {
  if (key != VK_RETURN) return;
  box.SetText("");
  box.SetText(ds::texts::kLineBreakWord);
}

}  // namespace app
