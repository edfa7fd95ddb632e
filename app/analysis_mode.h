// The two analysis modes and every text that changes with them.
#pragma once

#include "items/text.h"

namespace app {

enum class AnalysisMode { kCookies = 1, kHttp = 2 };

struct ModeTexts {
  const char* storedValue;        // "分析项目"
  const char* lineSeparatorBox;   // as put into the boxes
  const char* valueSeparatorBox;
  const char* modeWord;
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

ModeTexts TextsOf(AnalysisMode mode);

// "2" selects HTTP; anything else Cookies.
AnalysisMode ModeFromSetting(std::string_view stored);

// The launch counter: a leading decimal number, truncated toward zero; text
// that does not begin with one is 0. Kept within int range.
long long LaunchCounterFromSetting(std::string_view stored);

}  // namespace app
