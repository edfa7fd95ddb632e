// The two slots, each a capture with its input box and item list.
#pragma once

#include "items/texts.h"

namespace ds {

enum class Slot { k1, k2 };

constexpr Slot kSlots[] = {Slot::k1, Slot::k2};

constexpr Slot Other(Slot slot) { return slot == Slot::k1 ? Slot::k2 : Slot::k1; }

// "1号" or "2号", as captions and messages name the slot.
constexpr const char* SlotLabel(Slot slot) { return slot == Slot::k1 ? texts::kSlot1Label : texts::kSlot2Label; }

}  // namespace ds
