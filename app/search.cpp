#include "app/search.h"

#include <utility>

#include "app/keys.h"
#include "app/texts.h"
#include "compare/search.h"

namespace app {

void RunSearch(const SearchView& v, const AppState& state) {
  ds::Text result = ds::SearchResult(std::as_const(v.slot1Items).rows(), std::as_const(v.slot2Items).rows(), v.searchBox.GetText(),
                                     RuleOf(v.caseSensitiveSwitch, v.exactMatchSwitch), state.ModeWord());
  // The result may hold megabytes; the box shows its end at once.
  v.searchResultBox.SetTextShowingEnd(result);
}

void OnSearchBoxFocus(const SearchView& v, const AppState& state) {
  if (v.searchBox.GetText() == texts::kSearchBoxDesign)
    v.searchBox.SetText("");  // searches through the change
  else
    RunSearch(v, state);
}

namespace {

void PutIdleTextIfEmpty(const SearchView& v) {
  if (v.searchBox.GetText().empty()) v.searchBox.SetText(texts::kSearchBoxDesign);
}

}  // namespace

// Searching for the idle text would empty the result box under the click
// that is about to locate one of its names.
void OnSearchBoxBlur(const SearchView& v) {
  if (!v.searchBox.LosingFocusTo(v.searchResultBox)) PutIdleTextIfEmpty(v);
}

void OnSearchResultBlur(const SearchView& v) {
  if (!v.searchResultBox.LosingFocusTo(v.searchBox)) PutIdleTextIfEmpty(v);
}

void OnSearchResultPress(const SearchView& v) { v.searchResultBox.PostDeferred(); }

void LocateSearchResult(const SearchView& v) {
  ds::Text name = ds::LocatedName(v.searchResultBox.CaretLineText());
  for (ds::Slot slot : ds::kSlots) {
    ui::ListView& list = v.Items(slot);
    // Looked up per list: the first list's selection handlers let queued
    // input run, which may have changed the second.
    int row = ds::FirstRowNamed(std::as_const(list).rows(), name);
    list.ClearSelection();
    if (row < 0) continue;
    list.SelectRow(row);
    list.ScrollIntoView(row);
  }
}

void WireSearch(MainControls& c, const AppState& state) {
  SearchView v = SearchViewOf(c);
  c.searchBox.onChange = [v, &state] { RunSearch(v, state); };
  c.searchBox.onFocus = [v, &state] { OnSearchBoxFocus(v, state); };
  c.searchBox.onBlur = [v] { OnSearchBoxBlur(v); };
  c.searchBox.onKeyDown = [v](UINT key) {
    if (IsCtrlA(key)) v.searchBox.SelectAll();
  };
  c.searchResultBox.onBlur = [v] { OnSearchResultBlur(v); };
  c.searchResultBox.onMouseDown = [v] { OnSearchResultPress(v); };
  c.searchResultBox.onDeferred = [v] { LocateSearchResult(v); };
}

}  // namespace app
