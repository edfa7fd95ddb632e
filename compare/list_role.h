// The current list: which of the five lists the context-menu operations act
// on, and the fixed title each role carries.
#pragma once

#include <string_view>

#include "items/slot.h"
#include "items/text.h"

namespace ds {

enum class ListRole { kNone, kSlot1Items, kSlot2Items, kSlot1Missing, kSlot2Missing, kDifferences };

constexpr ListRole ItemsRole(Slot slot) { return slot == Slot::k1 ? ListRole::kSlot1Items : ListRole::kSlot2Items; }
constexpr ListRole MissingRole(Slot slot) {
  return slot == Slot::k1 ? ListRole::kSlot1Missing : ListRole::kSlot2Missing;
}

// "Cookies[1号]" and the others, the same in both modes; empty for none.
const char* ListTitle(ListRole role);

// The title with every "Cookies" in it replaced by the mode word, as hints
// name a list.
Text TitleWithModeWord(ListRole role, std::string_view modeWord);

// A counterpart selected by a report raises the other list's row change; while
// the current list is one of these, that change reports nothing again.
bool StopsItemReport(Slot source, ListRole current);

}  // namespace ds
