// The Analyse action as both front ends run it: the refusals, the duplicate
// question, the comparison pass and the summary, in that order. The window and
// the companion call this; neither orders these steps itself.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "compare/analysis.h"
#include "compare/name_rule.h"
#include "items/analysis_mode.h"
#include "items/duplicates.h"
#include "items/rows.h"

namespace ds {

enum class AnalyseStop {
  kRan,
  kSeparatorConflict,  // the two separator boxes hold the same text
  kPlaceholder,        // a slot still shows its placeholder
  kNothingToCompare,   // both slots empty: stop without a word
};

// The message box that tells the user why the action stopped.
struct Refusal {
  const char* text;
  const char* title;
};
std::optional<Refusal> RefusalOf(AnalyseStop stop);  // none for kRan and kNothingToCompare

struct AnalyseInput {
  std::string_view lineSeparatorBox;  // the boxes as typed, not the separators in force
  std::string_view valueSeparatorBox;
  std::string_view slot1Text;
  std::string_view slot2Text;
  AnalysisMode mode = AnalysisMode::kCookies;
  NameRule rule;
  // Names to leave out of the three lists; while there are any, the summary
  // also counts what was left out.
  std::vector<Text> ignorePatterns;
  // False: the lists come back as places only (`pairs`), no row copied; a
  // front end that prints them needs no rows of its own.
  bool listRows = true;
};

struct AnalyseResult {
  AnalyseStop stop = AnalyseStop::kRan;
  RowTable slot1, slot2;  // the item lists after the duplicate handling (kRan)
  Text duplicateNotes;    // the content box
  ComparisonPairs pairs;  // the lists as places in slot1 and slot2
  ComparisonLists lists;  // their rows, when the input asked for rows
  Text summary;  // the status bar
  std::vector<Text> ignored;  // names left out of the lists, each once
};

// The item lists come in by value: the window hands in copies, so input that
// a question box lets through (and that re-parses a slot) cannot pull rows
// from under the run.
AnalyseResult RunAnalyse(const AnalyseInput& in, RowTable slot1, RowTable slot2, const DuplicateQuestion& ask);

}  // namespace ds
