#include "items/slot_handlers.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "items/texts.h"

namespace items {

void ParseSlotIntoWindow(app::MainWindow& window, int slot) {
  app::MainControls& c = window.controls();
  const app::AppState& state = window.state();
  ds::SlotContext context{state.modeWord, slot == 1 ? ds::texts::kSlot1Label : ds::texts::kSlot2Label,
                          ds::PlaceholderText(state.modeWord, slot)};
  ds::ParseOutcome out = ds::ParseSlotText(c.Input(slot).GetText(), state.separators, context);
  ui::ListView& list = c.Items(slot);
  switch (out.stop) {
    case ds::ParseOutcome::Stop::kUnchanged:
      return;
    case ds::ParseOutcome::Stop::kErrorRowsKept:
      c.reportBox.SetText(out.report);
      return;
    case ds::ParseOutcome::Stop::kErrorRowsCleared:
      list.Clear();
      c.reportBox.SetText(out.report);
      return;
    case ds::ParseOutcome::Stop::kParsed:
      break;
  }
  ui::DeferredRedraw batch(list.hwnd());
  list.rows().rows = std::move(out.rows);
  list.rows().selected = -1;
  list.Refresh();
  c.reportBox.SetText(out.report);
  window.SetStatus(out.status);
  c.contentBox.SetText(out.notes);
  FitItemListColumns(window, slot);
}

void FitItemListColumns(app::MainWindow& window, int slot) {
  ui::ListView& list = window.controls().Items(slot);
  list.FitColumn(0);
  list.FitColumn(1);
  list.SetColumnWidth(0, list.ColumnWidth(0) + 4);
  int valueWidth = list.Bounds().width - list.ColumnWidth(0) - list.ColumnWidth(1) - 20;
  if (valueWidth < 20) {
    valueWidth = 100;
    list.SetColumnWidth(1, list.ColumnWidth(1) - 95);
  }
  list.SetColumnWidth(2, valueWidth);
}

void CommitSeparatorBox(app::MainWindow& window, ds::SeparatorKind kind) {
  app::MainControls& c = window.controls();
  ui::EditBox& box = kind == ds::SeparatorKind::kLine ? c.lineSeparatorBox : c.valueSeparatorBox;
  ds::SeparatorCommit commit = ds::CommitSeparator(kind, box.GetText());
  // Showing the word is itself a change of the box and commits the word.
  if (commit.boxText) box.SetText(*commit.boxText);
  app::WriteSetting(ds::SeparatorSettingKey(kind), commit.stored);
  ds::Separators& separators = window.state().separators;
  (kind == ds::SeparatorKind::kLine ? separators.line : separators.value) = commit.inForce;
}

void OnValueSeparatorKey(app::MainWindow& window, UINT key) {
  if (key != VK_RETURN) return;
  ui::EditBox& box = window.controls().valueSeparatorBox;
  box.SetText("");
  box.SetText(ds::texts::kLineBreakWord);
}

}  // namespace items
