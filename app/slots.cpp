#include "app/slots.h"

#include <optional>

#include "app/layout.h"
#include "app/settings.h"
#include "items/texts.h"
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
  if (complete) FitItemListColumns(view.items);
}

void FitItemListColumns(ui::ListView& list) {
  list.FitColumn(0);
  list.FitColumn(1);
  SettleValueColumn(list, true);
}

void SettleValueColumn(ui::ListView& list, bool itemList) {
  if (itemList) list.SetColumnWidth(0, list.ColumnWidth(0) + 4);
  ColumnFit fit = FitValueColumn(list.Bounds().width, list.ColumnWidth(0), list.ColumnWidth(1), itemList);
  list.SetColumnWidth(2, fit.value);
  list.SetColumnWidth(1, fit.name);
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
