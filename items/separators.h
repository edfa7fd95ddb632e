// Committing a separator box: what the box, the separator in force and the
// stored setting become for the text the box holds.
#pragma once

#include <optional>
#include <string_view>

#include "items/analysis_mode.h"
#include "items/slot_parser.h"
#include "items/text.h"

namespace ds {

enum class SeparatorKind { kLine, kValue };

struct SeparatorCommit {
  std::optional<Text> boxText;  // set when the box is to show the word instead of CR LF
  Text inForce;                 // the separator from now on (CR LF for the word)
  Text stored;                  // the value for the settings key
};

SeparatorCommit CommitSeparator(SeparatorKind kind, std::string_view boxText);

// A stored value or a box text as a separator: empty gives the default of
// its kind, the word gives CR LF, anything else is taken as it is.
Text SeparatorFromSetting(SeparatorKind kind, std::string_view value);

const char* SeparatorSettingKey(SeparatorKind kind);

// The separators a mode puts in force: its default boxes, committed.
Separators DefaultSeparators(AnalysisMode mode);

}  // namespace ds
