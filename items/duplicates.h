// Duplicate names within each slot: one question for the whole run, shared by
// both slots, and a note per duplicated name.
#pragma once

#include <functional>
#include <string_view>

#include "items/rows.h"

namespace ds {

// Asked at most once per run with the question text and title; true is Yes.
using DuplicateQuestion = std::function<bool(std::string_view text, std::string_view title)>;

struct DuplicateOutcome {
  bool asked = false;
  bool removed = false;
  Text notes;  // the content box text after the handling
};

// Names compare byte for byte. With Yes every later row of a duplicated name
// goes; rows keep their numbers. Rows whose name and value are both empty are
// dropped afterwards.
DuplicateOutcome HandleDuplicates(RowTable& slot1, RowTable& slot2, std::string_view modeWord,
                                  const DuplicateQuestion& ask);

// The notes the handling writes for one slot whose duplicates are kept, the
// label standing where the slot's ("1号") does.
Text DuplicateNotes(const RowTable& table, std::string_view modeWord, std::string_view label);

}  // namespace ds
