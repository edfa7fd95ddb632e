// What the window shows after two pastes and one Analyse action, computed by
// the same core functions the window calls.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "compare/session.h"
#include "decode/decoded_comparison.h"
#include "items/rows.h"
#include "items/slot_parser.h"

namespace cli {

struct SessionInput {
  bool httpMode = false;
  std::string lineSeparatorBox;   // GBK, as typed into the box
  std::string valueSeparatorBox;  // GBK
  ds::NameRule rule;
  bool removeDuplicates = false;
  std::string slot1Text, slot2Text;  // GBK, line breaks as pasted on Windows
  bool wantReports = true;           // the text output prints none
  bool keepParsed = true;            // the rows right after parsing: JSON prints them
  std::vector<std::string> ignorePatterns;  // GBK
  bool decode = false;                      // decode the values of each difference row
  std::function<void(const char* step)> stage = {};  // told "parsing", then "comparing"; may be empty
  // --mask: each slot's rows as parsed, before anything else reads them.
  std::function<void(std::vector<ds::Row>&)> maskRows = {};
};

struct SlotResult {
  std::vector<ds::Row> parsed;        // right after parsing
  std::optional<std::string> report;  // null when the parse stopped at once
  std::string notes;                  // the content box after this parse
  ds::RowTable rows;                  // after the duplicate handling
  std::string source;                 // GBK: where an import took the items from, when that needs telling
};

struct ItemReportText {
  std::string report, content;
};

struct SessionResult {
  ds::AnalyseStop stop = ds::AnalyseStop::kRan;
  std::optional<ds::Refusal> refusal;  // the window's message box, when it refused
  std::string modeWord;
  ds::Separators separators;
  SlotResult slot1, slot2;
  std::optional<std::string> duplicates;
  // The three lists as places in the two slots' rows, which stay: each item
  // is packed once and written from where it lies.
  ds::ComparisonPairs lists;
  std::optional<std::string> summary;
  // The item reports are made as they are written, from the lists below
  // and the rule: a million of them held at once would outweigh the lists.
  bool reporting = false;
  ds::NameRule rule;
  bool ignoring = false;              // patterns were given: the outputs list what they left out
  std::vector<std::string> ignored;   // names left out of the lists
  bool decoding = false;                       // --decode: JSON lists decoded, even none
  std::vector<ds::DecodedComparison> decoded;  // one per difference row, with --decode

  bool HasDifferences() const { return !lists.empty(); }
  // A list's entry as the slot's row it stands for.
  const ds::Row& Slot1Row(int place) const { return slot1.rows.rows[static_cast<size_t>(place)]; }
  const ds::Row& Slot2Row(int place) const { return slot2.rows.rows[static_cast<size_t>(place)]; }
};

// Takes the input over: the texts are let go once they are parsed.
SessionResult RunSession(SessionInput input);

// The window's item report for each row of Slot 1's list in turn (none when
// the window would show none), when the input wanted reports.
void ForEachItemReport(const SessionResult& result, const std::function<void(const std::optional<ItemReportText>&)>& take);

}  // namespace cli
