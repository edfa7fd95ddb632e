#include "compare/session.h"

#include "compare/ignore_list.h"
#include "compare/texts.h"
#include "items/slot_parser.h"

namespace ds {
namespace {

AnalyseStop CheckAnalyse(const AnalyseInput& in) {
  if (in.lineSeparatorBox == in.valueSeparatorBox) return AnalyseStop::kSeparatorConflict;
  std::string_view mode = ModeWord(in.mode);
  if (in.slot1Text == PlaceholderText(mode, Slot::k1) || in.slot2Text == PlaceholderText(mode, Slot::k2))
    return AnalyseStop::kPlaceholder;
  if (in.slot1Text.empty() && in.slot2Text.empty()) return AnalyseStop::kNothingToCompare;
  return AnalyseStop::kRan;
}

}  // namespace

std::optional<Refusal> RefusalOf(AnalyseStop stop) {
  switch (stop) {
    case AnalyseStop::kSeparatorConflict: return Refusal{texts::kSeparatorConflict, texts::kDefaultTitle};
    case AnalyseStop::kPlaceholder: return Refusal{texts::kFillBothSlots, texts::kFriendlyTitle};
    case AnalyseStop::kRan:
    case AnalyseStop::kNothingToCompare: break;
  }
  return std::nullopt;
}

AnalyseResult RunAnalyse(const AnalyseInput& in, RowTable slot1, RowTable slot2, const DuplicateQuestion& ask) {
  AnalyseResult out;
  out.stop = CheckAnalyse(in);
  if (out.stop != AnalyseStop::kRan) return out;
  std::string_view mode = ModeWord(in.mode);
  out.duplicateNotes = HandleDuplicates(slot1, slot2, mode, ask).notes;
  out.pairs = PairItemTables(slot1, slot2, in.rule);
  // The pass itself stays as it is: what is ignored comes out afterwards, so
  // the counterparts are the ones the pass found.
  out.ignored = LeaveOutIgnored(out.pairs, slot1, slot2, IgnoreMatcher(in.ignorePatterns, in.rule.caseSensitive));
  const ComparisonPairs& p = out.pairs;
  out.summary = SummaryText(p.missingInSlot1.size(), p.missingInSlot2.size(), p.different.size(), mode);
  if (in.listRows) out.lists = ListsOfPairs(out.pairs, slot1, slot2);
  if (!in.ignorePatterns.empty()) out.summary = IgnoredSummary(out.summary, out.ignored.size());
  out.slot1 = std::move(slot1);
  out.slot2 = std::move(slot2);
  return out;
}

}  // namespace ds
