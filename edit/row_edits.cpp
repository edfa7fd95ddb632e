#include "edit/row_edits.h"

#include "edit/texts.h"
#include "items/sentence.h"

namespace ds {

Text DisplayTitle(ListRole list, AnalysisMode mode) { return TitleWithModeWord(list, ModeWord(mode)); }

Text ModifyPrompt(std::string_view name, AnalysisMode mode) {
  return FillIn(texts::kModifyPrompt, {{"mode", ModeWord(mode)}, {"name", name}});
}

std::optional<Text> ModifyRow(RowTable& list, int row, std::string_view value, ListRole title) {
  if (row < 0 || row >= static_cast<int>(list.rows.size())) return std::nullopt;
  Row& written = list.rows[row];
  written.SetCell(2, Text(value));
  // The title as it stands, "Cookies" also in HTTP mode: the program's own text.
  return FillIn(texts::kModifiedHint,
                {{"title", ListTitle(title)}, {"name", written.Cell(1)}, {"value", written.Cell(2)}});
}

Text DeleteSelectedRow(RowTable& list, ListRole title, AnalysisMode mode, bool keepSelection) {
  if (!list.SelectedRow()) return texts::kDeleteNoRowHint;
  const int r = list.selected;
  Text name(list.rows[r].Cell(1));
  list.rows.erase(list.rows.begin() + r);
  Renumber(list);
  // The list view drops the selection with its row; the Delete key then takes
  // the row that moved up, or the new last one.
  const int count = static_cast<int>(list.rows.size());
  list.selected = keepSelection && count > 0 ? (r < count ? r : count - 1) : -1;
  return FillIn(texts::kDeletedHint, {{"title", DisplayTitle(title, mode)}, {"name", name}});
}

ReplaceOutcome ReplaceValue(RowTable& target, const RowTable& source, Slot targetSlot, ListRole targetTitle,
                            AnalysisMode mode) {
  ReplaceOutcome out;
  if (!target.SelectedRow()) {
    out.hint = texts::kReplaceNoRowHint;
    return out;
  }
  Row& row = target.rows[target.selected];
  out.name = row.Cell(1);
  const Row* found = nullptr;
  for (const Row& candidate : source.rows)
    if (candidate.Cell(1) == out.name) {
      found = &candidate;
      break;
    }
  if (!found) {
    out.hint = FillIn(texts::kReplaceMissingHint,
                      {{"mode", ModeWord(mode)}, {"slot", SlotLabel(Other(targetSlot))}, {"name", out.name}});
    return out;
  }
  // The found row, not the source's selected one: the selections may be out
  // of step, and then another item's value would be taken.
  out.value = found->Cell(2);
  row.SetCell(2, out.value);
  out.replaced = true;
  out.hint = FillIn(texts::kReplacedHint,
                    {{"title", DisplayTitle(targetTitle, mode)}, {"name", out.name}, {"value", out.value}});
  return out;
}

SwapOutcome SwapValues(RowTable& slot1, RowTable& slot2, const Pairing& pairing, AnalysisMode mode) {
  SwapOutcome out;
  if (!slot1.SelectedRow() || !slot2.SelectedRow()) {
    out.hint = texts::kSwapNoRowsHint;
    return out;
  }
  Row& a = slot1.rows[slot1.selected];
  Row& b = slot2.rows[slot2.selected];
  // The counterpart is the first row that matches, as the pairing found it:
  // a later row of the same name is another item.
  const bool from1 = pairing.from == Slot::k1;
  const RowTable& other = from1 ? slot2 : slot1;
  PreparedNames names = PrepareNames(other, pairing.rule);
  CounterpartFinder finder(names.names, pairing.rule.exact, pairing.fuzzy);
  if (finder.Find(PrepareName((from1 ? a : b).Cell(1), pairing.rule)) != other.selected) {
    out.hint = FillIn(texts::kSwapNotCounterpartsHint, {{"name1", a.Cell(1)}, {"name2", b.Cell(1)}});
    return out;
  }
  Text value(a.Cell(2));
  a.SetCell(2, b.Cell(2));
  b.SetCell(2, std::move(value));
  out.swapped = true;
  out.hint = FillIn(texts::kSwappedHint, {{"mode", ModeWord(mode)}, {"name", a.Cell(1)}});
  return out;
}

Text ReloadHint() { return texts::kReloadHint; }

}  // namespace ds
