// The captions, column titles and menu entries that change with the mode.
#pragma once

#include "items/analysis_mode.h"
#include "items/text.h"

namespace app {

struct ModeTexts {
  ds::Text analyseCaption;        // both Analyse buttons
  const char* slot1Caption;
  const char* slot2Caption;
  const char* differenceCaption;
  const char* contentCaption;
  ds::Text copySlot1Menu;         // the context-menu entries that copy a whole slot
  ds::Text copySlot2Menu;
  const char* itemNameColumn;     // column 1 of the item lists
  const char* missingNameColumn;  // of the missing lists
  const char* differenceNameColumn;
};

ModeTexts TextsOf(ds::AnalysisMode mode);

}  // namespace app
