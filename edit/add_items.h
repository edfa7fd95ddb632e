// Adding items typed or pasted into the input window to an item list: cut
// with the separators in force, asked about before an existing name is
// overwritten, reported in the report box and the status bar.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "items/analysis_mode.h"
#include "items/rows.h"
#include "items/slot.h"
#include "items/slot_parser.h"

namespace ds {

// Asked once per piece whose name the list already holds; true is Yes (replace).
using ReplaceQuestion = std::function<bool(std::string_view text, std::string_view title)>;

struct AddOutcome {
  // No separator in the text at all: nothing changed but the hint; the
  // input window keeps the text.
  bool refused = false;
  RowTable list;              // the list with the items added (when not refused)
  int selectRow = 0;          // the last row written, or 0 when none was
  std::optional<Text> report;  // report box
  std::optional<Text> status;  // status bar
  int tailCount = 0, emptyPartCount = 0, noSeparatorCount = 0;
};

// Whether the typed text holds either separator; without one it is refused.
bool HasSeparator(std::string_view typed, const Separators& separators);

// The list comes in by value: the question box lets queued input run, which
// may refill the window's list meanwhile.
AddOutcome AddItems(RowTable list, std::string_view typed, const Separators& separators, AnalysisMode mode,
                    Slot slotOfList, const ReplaceQuestion& ask);

// The prompt line of the input window when it opens for adding.
Text AddPrompt(AnalysisMode mode);

}  // namespace ds
