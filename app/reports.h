// Moving through the lists: the item comparison report for the current row,
// the current list, and what the content box shows for a result row.
#pragma once

#include "app/main_controls.h"

namespace app {

struct ReportView {
  ui::ListView& slot1Items;
  ui::ListView& slot2Items;
  ui::ListView& slot1Missing;
  ui::ListView& slot2Missing;
  ui::ListView& differenceList;
  ui::EditBox& reportBox;
  ui::EditBox& contentBox;
  ui::EditBox& searchResultBox;  // an item list shrinks back to its height
  ui::Divider& splitter;         // an item list grows down to it
  ui::CheckBox& caseSensitiveSwitch;
  ui::CheckBox& exactMatchSwitch;
  ui::CheckBox& autoExpandSwitch;

  ui::ListView& Items(ds::Slot slot) const { return slot == ds::Slot::k1 ? slot1Items : slot2Items; }
  ui::ListView& Missing(ds::Slot slot) const { return slot == ds::Slot::k1 ? slot1Missing : slot2Missing; }
};

inline ReportView ReportViewOf(MainControls& c) {
  return {c.slot1Items, c.slot2Items,      c.slot1Missing,        c.slot2Missing,     c.differenceList,
          c.reportBox,  c.contentBox,      c.searchResultBox,     c.splitter,         c.caseSensitiveSwitch,
          c.exactMatchSwitch, c.autoExpandSwitch};
}

void OnItemListRowChanged(const ReportView& view, AppState& state, ds::Slot slot);
void OnItemListFocus(const ReportView& view, AppState& state, ds::Slot slot);
void OnItemListBlur(const ReportView& view, ds::Slot slot);
void OnMissingListFocus(const ReportView& view, AppState& state, ds::Slot slot);
void OnMissingListClick(const ReportView& view, const AppState& state, ds::Slot slot);
void OnDifferenceRow(const ReportView& view, AppState& state);
void OnDifferenceListFocus(const ReportView& view, AppState& state);

}  // namespace app
