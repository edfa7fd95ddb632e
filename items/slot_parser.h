// The slot parser: one slot's text in, that slot's item rows and the parse
// report out. Pure; the window writes the outcome into its controls.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "items/analysis_mode.h"
#include "items/rows.h"
#include "items/slot.h"
#include "items/text.h"

namespace ds {

struct Separators {
  Text line;   // the separators in force (CR LF, not the word)
  Text value;
};

struct SlotContext {
  AnalysisMode mode = AnalysisMode::kCookies;
  Slot slot = Slot::k1;
};

// One line cut at the value separator.
struct CutLine {
  enum class Kind { kItem, kEmptyName, kNoSeparator };
  Kind kind = Kind::kEmptyName;
  Text name;
  Text value;
  bool emptyValue = false;  // an item written as "name=" with nothing after
};

CutLine CutItemLine(std::string_view line, std::string_view valueSeparator);

// Working text and lines as the parser makes them: trimmed text, CR and LF
// dropped unless a separator is CR LF, split at the line separator.
std::vector<Text> SplitSlotLines(std::string_view text, const Separators& separators);
// The same lines as views, into `text` or into `storage` when line breaks
// had to be dropped.
std::vector<std::string_view> SplitSlotLineViews(std::string_view text, const Separators& separators,
                                                 Text& storage);

struct ParseOutcome {
  enum class Stop {
    kUnchanged,         // empty text or the placeholder: nothing is touched
    kErrorRowsKept,     // neither separator in the text: report only
    kErrorRowsCleared,  // no usable line: rows removed, report only
    kParsed,            // rows, report, status and notes all apply
  };
  Stop stop = Stop::kUnchanged;
  std::vector<Row> rows;  // sorted and numbered (kParsed); empty otherwise
  Text report;            // report box text (all but kUnchanged)
  Text status;            // status bar text (kParsed)
  Text notes;             // content box text (kParsed)
  int incompleteTail = 0;
  int emptyNames = 0;
  int noSeparator = 0;
};

ParseOutcome ParseSlotText(std::string_view text, const Separators& separators, const SlotContext& slot);

// What a change of a slot's text changes on screen; what is unset stays as it
// was. Both front ends show a parse through this one mapping.
struct SlotUpdate {
  std::optional<std::vector<Row>> rows;  // the item list's rows, replaced
  std::optional<Text> report;            // report box
  std::optional<Text> status;            // status bar
  std::optional<Text> notes;             // content box
};

SlotUpdate ParseSlot(std::string_view text, const Separators& separators, const SlotContext& slot);

// "请填入" + mode word + " 1号数据" (or " 2号数据"): what an empty input box shows.
Text PlaceholderText(std::string_view modeWord, Slot slot);

}  // namespace ds
