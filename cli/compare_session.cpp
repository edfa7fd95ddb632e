#include "cli/compare_session.h"

#include "compare/item_report.h"
#include "items/in_parallel.h"
#include "items/separators.h"

namespace cli {
namespace {

// Below this much text a second thread costs more than it saves.
constexpr size_t kParallelBytes = 256 * 1024;

// One slot's paste: the list and the content box change as the window's do.
void ApplyParse(SlotResult& slot, ds::SlotUpdate update, const SessionInput& in, std::string& contentBox) {
  bool keepParsed = in.keepParsed;
  slot.report = std::move(update.report);
  if (update.rows) slot.rows.rows = std::move(*update.rows);
  if (update.rows && in.maskRows) in.maskRows(slot.rows.rows);
  if (update.notes) contentBox = std::move(*update.notes);
  if (keepParsed) slot.parsed = slot.rows.rows;
  slot.notes = contentBox;
}

}  // namespace

SessionResult RunSession(SessionInput in) {
  SessionResult r;
  ds::AnalysisMode mode = in.httpMode ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies;
  r.modeWord = ds::ModeWord(mode);
  // The boxes commit as the window's do: CR LF shows as the word.
  ds::SeparatorCommit line = ds::CommitSeparator(ds::SeparatorKind::kLine, in.lineSeparatorBox);
  ds::SeparatorCommit value = ds::CommitSeparator(ds::SeparatorKind::kValue, in.valueSeparatorBox);
  std::string lineBox = line.boxText.value_or(in.lineSeparatorBox);
  std::string valueBox = value.boxText.value_or(in.valueSeparatorBox);
  r.separators = {line.inForce, value.inForce};

  // The two pastes are independent until the content box takes their notes
  // in turn, so slot 2 is parsed on a second core meanwhile.
  ds::SlotUpdate update1, update2;
  if (in.stage) in.stage("parsing");
  ds::InParallel(
      in.slot1Text.size() + in.slot2Text.size() > kParallelBytes,
      [&] { update1 = ds::ParseSlot(in.slot1Text, r.separators, {mode, ds::Slot::k1}); },
      [&] { update2 = ds::ParseSlot(in.slot2Text, r.separators, {mode, ds::Slot::k2}); });
  std::string contentBox;
  ApplyParse(r.slot1, std::move(update1), in, contentBox);
  ApplyParse(r.slot2, std::move(update2), in, contentBox);
  // From here on a text is only told from the placeholder and from nothing,
  // which its first bytes do; the rest would sit beside the lists unread.
  for (std::string* text : {&in.slot1Text, &in.slot2Text}) {
    size_t enough = ds::PlaceholderText(r.modeWord, text == &in.slot1Text ? ds::Slot::k1 : ds::Slot::k2).size() + 1;
    if (text->size() > enough) *text = text->substr(0, enough);
  }

  bool remove = in.removeDuplicates;
  if (in.stage) in.stage("comparing");
  ds::AnalyseResult analysed =
      ds::RunAnalyse({lineBox, valueBox, in.slot1Text, in.slot2Text, mode, in.rule, in.ignorePatterns, false},
                     std::move(r.slot1.rows),
                     std::move(r.slot2.rows), [remove](std::string_view, std::string_view) { return remove; });
  r.stop = analysed.stop;
  r.refusal = ds::RefusalOf(analysed.stop);
  if (analysed.stop != ds::AnalyseStop::kRan) {
    r.slot1.rows.rows = r.slot1.parsed;
    r.slot2.rows.rows = r.slot2.parsed;
    return r;
  }
  r.slot1.rows = std::move(analysed.slot1);
  r.slot2.rows = std::move(analysed.slot2);
  r.duplicates = std::move(analysed.duplicateNotes);
  r.lists = std::move(analysed.pairs);
  r.summary = std::move(analysed.summary);
  r.ignoring = !in.ignorePatterns.empty();
  r.ignored = std::move(analysed.ignored);
  r.decoding = in.decode;
  if (in.decode) {
    r.decoded.reserve(r.lists.different.size());
    for (auto [row1, row2] : r.lists.different)
      r.decoded.push_back(ds::CompareDecoded(r.Slot1Row(row1).Cell(2), r.Slot2Row(row2).Cell(2)));
  }

  r.reporting = in.wantReports;
  r.rule = in.rule;
  return r;
}

void ForEachItemReport(const SessionResult& r, const std::function<void(const std::optional<ItemReportText>&)>& take) {
  if (!r.reporting) return;
  ds::ItemReporter reporter(r.slot2.rows, r.rule);
  for (const ds::Row& row : r.slot1.rows.rows) {
    ds::ItemReport report = reporter.Report(&row, ds::Slot::k1, r.separators, r.modeWord);
    if (report.shown)
      take(ItemReportText{std::move(report.report), std::move(report.content)});
    else
      take(std::nullopt);
  }
}

}  // namespace cli
