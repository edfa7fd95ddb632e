#include "cli/compare_session.h"

#include "compare/item_report.h"
#include "compare/texts.h"
#include "items/duplicates.h"
#include "items/separators.h"
#include "items/texts.h"

namespace cli {
namespace {

// One slot's paste: the list and the content box change as the window's do.
void ParseInto(SlotResult& slot, std::string_view text, const ds::Separators& separators, const ds::SlotContext& context,
               std::string& contentBox) {
  ds::ParseOutcome out = ds::ParseSlotText(text, separators, context);
  if (out.stop != ds::ParseOutcome::Stop::kUnchanged) slot.report = out.report;
  if (out.stop == ds::ParseOutcome::Stop::kParsed) {
    slot.rows.rows = std::move(out.rows);
    contentBox = out.notes;
  } else if (out.stop == ds::ParseOutcome::Stop::kErrorRowsCleared) {
    slot.rows.rows.clear();
  }
  slot.parsed = slot.rows.rows;
  slot.notes = contentBox;
}

}  // namespace

SessionResult RunSession(const SessionInput& in) {
  SessionResult r;
  r.modeWord = in.httpMode ? ds::texts::kModeWordHttp : ds::texts::kModeWordCookies;
  // The boxes commit as the window's do: CR LF shows as the word.
  ds::SeparatorCommit line = ds::CommitSeparator(ds::SeparatorKind::kLine, in.lineSeparatorBox);
  ds::SeparatorCommit value = ds::CommitSeparator(ds::SeparatorKind::kValue, in.valueSeparatorBox);
  std::string lineBox = line.boxText.value_or(in.lineSeparatorBox);
  std::string valueBox = value.boxText.value_or(in.valueSeparatorBox);
  r.separators = {line.inForce, value.inForce};

  std::string contentBox;
  ParseInto(r.slot1, in.slot1Text, r.separators,
            {r.modeWord, ds::texts::kSlot1Label, ds::PlaceholderText(r.modeWord, 1)}, contentBox);
  ParseInto(r.slot2, in.slot2Text, r.separators,
            {r.modeWord, ds::texts::kSlot2Label, ds::PlaceholderText(r.modeWord, 2)}, contentBox);

  switch (ds::CheckAnalyse(lineBox, valueBox, in.slot1Text, in.slot2Text, r.modeWord)) {
    case ds::AnalyseCheck::kSeparatorConflict:
      r.refusal = SessionResult::Refusal::kSeparatorConflict;
      r.refusalMessage = ds::texts::kSeparatorConflict;
      return r;
    case ds::AnalyseCheck::kPlaceholder:
      r.refusal = SessionResult::Refusal::kPlaceholder;
      r.refusalMessage = ds::texts::kFillBothSlots;
      return r;
    case ds::AnalyseCheck::kNothingToCompare:
      return r;
    case ds::AnalyseCheck::kRun:
      break;
  }

  bool remove = in.removeDuplicates;
  ds::DuplicateOutcome duplicates = ds::HandleDuplicates(
      r.slot1.rows, r.slot2.rows, r.modeWord, [remove](std::string_view, std::string_view) { return remove; });
  r.duplicates = duplicates.notes;
  r.lists = ds::CompareItemTables(r.slot1.rows, r.slot2.rows, in.rule);
  r.summary = ds::SummaryText(r.lists, r.modeWord);

  if (!in.wantReports) return r;
  ds::ItemReporter reporter(r.slot2.rows, in.rule);
  r.reports.reserve(r.slot1.rows.rows.size());
  for (const ds::Row& row : r.slot1.rows.rows) {
    ds::ItemReport report = reporter.Report(&row, 1, r.separators, r.modeWord);
    if (report.shown)
      r.reports.push_back(ItemReportText{report.report, report.content});
    else
      r.reports.push_back(std::nullopt);
  }
  return r;
}

}  // namespace cli
