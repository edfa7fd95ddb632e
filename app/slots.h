// A slot's input box in the window: each change parses it into its item
// list; the separator boxes commit the separators in force.
#pragma once

#include "app/main_controls.h"

namespace app {

// What a parse writes: the slot's list, and the boxes every parse shares.
struct SlotView {
  ui::ListView& items;
  ui::EditBox& reportBox;
  ui::EditBox& contentBox;
  ui::StatusBar& statusBar;
};

inline SlotView SlotViewOf(MainControls& c, ds::Slot slot) {
  return {c.Items(slot), c.reportBox, c.contentBox, c.statusBar};
}

void ParseSlotIntoWindow(ui::EditBox& input, const SlotView& view, AppState& state, ds::Slot slot);

// Columns 0 and 1 fitted as `fit` says, an item list's number column 4 wider,
// and the value column takes what is left of the list; only an item list
// scrolls sideways rather than hide its values.
void SettleColumns(ui::ListView& list, bool itemList, ui::ListView::Fit fit);

// The box's text becomes the separator in force and is stored; CR LF shows
// as the word.
void CommitSeparatorBox(ui::EditBox& box, ds::SeparatorKind kind, ds::Separators& inForce);

// Enter in the value separator box puts the word for a line break there.
void OnValueSeparatorKey(ui::EditBox& box, UINT key);

}  // namespace app
