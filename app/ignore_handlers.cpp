#include "app/ignore_handlers.h"

#include <algorithm>
#include <utility>

#include "app/analyse.h"
#include "app/settings.h"
#include "app/texts.h"
#include "compare/ignore_list.h"
#include "compare/texts.h"

namespace app {

void IgnoreSelectedName(const EditingView& v, AppState& state) {
  MainControls& c = v.c;
  const ds::Row* row = state.current.list ? std::as_const(*state.current.list).rows().SelectedRow() : nullptr;
  if (!row) {
    c.statusBar.SetText(ds::texts::kSelectRowHint);
    return;
  }
  // The name alone, even when it holds "*" or "?".
  ds::Text pattern = ds::LiteralPattern(row->Cell(1));
  std::vector<ds::Text>& patterns = state.ignorePatterns;
  if (std::find(patterns.begin(), patterns.end(), pattern) == patterns.end()) {
    patterns.push_back(pattern);
    ds::Text stored = ds::StoredIgnoreList(patterns);
    // A list the next start could read back only cut would lose its last
    // names, or turn one into another: it stays as it was. (Two bytes for
    // the quotes a value may be stored in.)
    if (stored.size() + 2 > kMaxSettingLength) {
      patterns.pop_back();
      c.statusBar.SetText(ds::texts::kIgnoreListFullHint);
      return;
    }
    WriteSetting(texts::kIgnoreListKey, stored);
  }
  ds::ComparisonLists lists{c.slot1Missing.rows().rows, c.slot2Missing.rows().rows, c.differenceList.rows().rows};
  ds::Text summary =
      ds::IgnoreInShownLists(lists, state.ignoredNames, pattern, c.caseSensitiveSwitch.IsChecked(), state.ModeWord());
  FillResultList(c.slot1Missing, std::move(lists.missingInSlot1));
  FillResultList(c.slot2Missing, std::move(lists.missingInSlot2));
  FillResultList(c.differenceList, std::move(lists.different));
  c.statusBar.SetText(summary);
}

void ClearIgnoreList(const EditingView& v, AppState& state) {
  state.ignorePatterns.clear();
  state.ignoredNames.clear();
  WriteSetting(texts::kIgnoreListKey, "");
  v.c.statusBar.SetText(ds::texts::kIgnoreClearedHint);
}

}  // namespace app
