// The Analyse action in the window: the core session on the two item lists,
// its questions as message boxes, its results into the lists.
#pragma once

#include "app/main_controls.h"

namespace app {

struct AnalyseView {
  HWND owner;  // of the message boxes
  ui::EditBox& lineSeparatorBox;
  ui::EditBox& valueSeparatorBox;
  ui::EditBox& slot1Input;
  ui::EditBox& slot2Input;
  ui::CheckBox& caseSensitiveSwitch;
  ui::CheckBox& exactMatchSwitch;
  ui::ListView& slot1Items;
  ui::ListView& slot2Items;
  ui::ListView& slot1Missing;
  ui::ListView& slot2Missing;
  ui::ListView& differenceList;
  ui::EditBox& contentBox;
  ui::StatusBar& statusBar;
};

inline AnalyseView AnalyseViewOf(HWND owner, MainControls& c) {
  return {owner,         c.lineSeparatorBox,    c.valueSeparatorBox, c.slot1Input, c.slot2Input,
          c.caseSensitiveSwitch, c.exactMatchSwitch, c.slot1Items, c.slot2Items, c.slot1Missing,
          c.slot2Missing,  c.differenceList,      c.contentBox,        c.statusBar};
}

void RunAnalyse(const AnalyseView& view, AppState& state);

// A result list refilled with new rows, nothing selected.
void FillResultList(ui::ListView& list, std::vector<ds::Row> rows);

}  // namespace app
