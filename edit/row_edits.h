// Editing single rows of the lists: modify a value, delete an item, replace a
// value with the other slot's, swap the two values. Rows only; the slot texts
// stay as entered.
#pragma once

#include <optional>
#include <string_view>

#include "compare/list_role.h"
#include "compare/name_rule.h"
#include "items/analysis_mode.h"
#include "items/rows.h"
#include "items/slot.h"

namespace ds {

// The list's title with "Cookies" in it replaced by the mode word, as hints
// name a list.
Text DisplayTitle(ListRole list, AnalysisMode mode);

// The prompt line when the input window opens to modify the value of `name`.
Text ModifyPrompt(std::string_view name, AnalysisMode mode);
// After the value of row `row` was set to `value`: the status hint; none when
// the row no longer exists (nothing was written).
std::optional<Text> ModifyRow(RowTable& list, int row, std::string_view value, ListRole title);

// Deletes the selected row and renumbers; the hint names the row deleted, or
// says that none was selected (then nothing changes). With `keepSelection`
// (the Delete key) the row that moved up, or else the new last row, is
// selected.
Text DeleteSelectedRow(RowTable& list, ListRole title, AnalysisMode mode, bool keepSelection);

// Replace: the target list's selected row takes the value of the first row of
// the source list with the same name (byte for byte). `target` is the slot
// written.
struct ReplaceOutcome {
  bool replaced = false;
  Text name, value;
  Text hint;
};
ReplaceOutcome ReplaceValue(RowTable& target, const RowTable& source, Slot targetSlot, ListRole targetTitle,
                            AnalysisMode mode);

// How the two selected rows came to be paired: the row of `from` was chosen,
// and the other list's row found for it under `rule` with `fuzzy`.
struct Pairing {
  Slot from = Slot::k1;
  NameRule rule;
  FuzzyMatch fuzzy = FuzzyMatch::kPrefix;
};

// Swap: only when both item lists have a selected row and the other row is
// the one the pairing finds for the chosen row (the first that matches);
// otherwise nothing changes and the hint says why. The hint names the Slot 1
// row.
struct SwapOutcome {
  bool swapped = false;
  Text hint;
};
SwapOutcome SwapValues(RowTable& slot1, RowTable& slot2, const Pairing& pairing, AnalysisMode mode);

Text ReloadHint();  // "操作提示:已重新载入原始数据！:"

}  // namespace ds
