// The search box and its result box: names of both slots found while the
// user types, and a click on a result line locating that name in both lists.
#pragma once

#include "app/main_controls.h"

namespace app {

struct SearchView {
  ui::EditBox& searchBox;
  ui::EditBox& searchResultBox;
  ui::ListView& slot1Items;
  ui::ListView& slot2Items;
  ui::CheckBox& caseSensitiveSwitch;
  ui::CheckBox& exactMatchSwitch;

  ui::ListView& Items(ds::Slot slot) const { return slot == ds::Slot::k1 ? slot1Items : slot2Items; }
};

inline SearchView SearchViewOf(MainControls& c) {
  return {c.searchBox, c.searchResultBox, c.slot1Items, c.slot2Items, c.caseSensitiveSwitch, c.exactMatchSwitch};
}

void RunSearch(const SearchView& view, const AppState& state);

// The idle text leaves on focus and comes back when the box is left empty;
// each change of the text searches. Moving between the search box and its
// result box is not leaving: the names listed stay there to be clicked.
void OnSearchBoxFocus(const SearchView& view, const AppState& state);
void OnSearchBoxBlur(const SearchView& view);
void OnSearchResultBlur(const SearchView& view);

// A press in the result box locates the clicked name once the box has placed
// its caret: the locate is posted behind the press.
void OnSearchResultPress(const SearchView& view);
void LocateSearchResult(const SearchView& view);

// Every handler of the two boxes.
void WireSearch(MainControls& c, const AppState& state);

}  // namespace app
