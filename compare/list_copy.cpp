#include "compare/list_copy.h"

#include "compare/texts.h"
#include "export/texts.h"
#include "items/sentence.h"

namespace ds {
namespace {

const std::vector<Row>& RowsOrNone(const std::vector<Row>* rows) {
  static const std::vector<Row> kNone;
  return rows ? *rows : kNone;
}

void AppendSlotText(Text& out, const std::vector<Row>& rows, const Separators& separators) {
  for (const Row& row : rows) {
    out += row.Cell(1);
    out += separators.value;
    out += row.Cell(2);
    out += separators.line;
  }
}

}  // namespace

Text SlotTextOfRows(const std::vector<Row>& rows, const Separators& separators) {
  Text out;
  AppendSlotText(out, rows, separators);
  return out;
}

std::optional<Text> CopyAllHint(ListRole list, std::string_view modeWord) {
  const char* sentence = nullptr;
  Slot slot = Slot::k1;
  switch (list) {
    case ListRole::kSlot1Items: sentence = texts::kCopyAllItemsHint; break;
    case ListRole::kSlot2Items: sentence = texts::kCopyAllItemsHint; slot = Slot::k2; break;
    case ListRole::kSlot1Missing: sentence = texts::kCopyAllMissingHint; break;
    case ListRole::kSlot2Missing: sentence = texts::kCopyAllMissingHint; slot = Slot::k2; break;
    case ListRole::kDifferences:
    case ListRole::kNone: return std::nullopt;
  }
  return FillIn(sentence, {{"mode", modeWord}, {"slot", SlotLabel(slot)}});
}

std::optional<CompletedRows> CompletedRowsOf(const CompletedInput& in) {
  if (in.currentRole == ListRole::kSlot1Items && RowsOrNone(in.slot1Missing).empty())
    return CompletedRows{Slot::k1, {&RowsOrNone(in.current)}, true};
  if (in.currentRole == ListRole::kSlot2Items && RowsOrNone(in.slot2Missing).empty())
    return CompletedRows{Slot::k2, {&RowsOrNone(in.current)}, true};
  if (in.focused == FocusedList::kSlot1Items || in.focused == FocusedList::kSlot1Missing)
    return CompletedRows{Slot::k1, {&RowsOrNone(in.slot1Items), &RowsOrNone(in.slot1Missing)}, false};
  if (in.focused == FocusedList::kSlot2Items || in.focused == FocusedList::kSlot2Missing)
    return CompletedRows{Slot::k2, {&RowsOrNone(in.slot2Items), &RowsOrNone(in.slot2Missing)}, false};
  return std::nullopt;
}

std::vector<Row> Joined(const CompletedRows& completed) {
  std::vector<Row> rows;
  for (const std::vector<Row>* part : completed.parts) rows.insert(rows.end(), part->begin(), part->end());
  return rows;
}

CopyResult CopyCompleted(const CompletedInput& in, const Separators& separators, std::string_view modeWord) {
  CopyResult result;
  std::optional<CompletedRows> completed = CompletedRowsOf(in);
  if (completed) {
    result.text.emplace();
    for (const std::vector<Row>* part : completed->parts) AppendSlotText(*result.text, *part, separators);
  }
  if (completed && completed->nothingMissing)
    result.hint = FillIn(completed->slot == Slot::k1 ? texts::kNothingToCompleteSlot1 : texts::kNothingToCompleteSlot2,
                         {{"mode", modeWord}});
  else
    result.hint = FillIn(texts::kCompletedHint,
                         {{"title", TitleWithModeWord(in.currentRole, modeWord)}, {"mode", modeWord}});
  return result;
}

CopyAsResult CopyRowsAs(const Exporter& exporter, const ExportJob& job, std::optional<ListRole> completedTitle,
                        std::string_view modeWord) {
  CopyAsResult result;
  Exported out = Export(exporter, job);
  if (out.error) {
    result.refusal = std::move(out.error);
    return result;
  }
  result.copy.text = std::move(out.text);
  const Text count = ToText(static_cast<long long>(job.rows.size()));
  if (completedTitle)
    result.copy.hint = FillIn(export_texts::kCopiedCompletedAsHint, {{"title", TitleWithModeWord(*completedTitle, modeWord)},
                                                                     {"mode", modeWord}, {"count", count},
                                                                     {"format", exporter.caption}});
  else
    result.copy.hint = FillIn(export_texts::kCopiedAsHint, {{"count", count}, {"format", exporter.caption}});
  return result;
}

CopyResult CopyOfRow(RowCopy what, const Row* selected, const Separators& separators, std::string_view modeWord) {
  CopyResult result;
  if (!selected) {
    result.hint = Text(texts::kCopyNoRowHint);
    return result;
  }
  const Text name(selected->Cell(1));
  switch (what) {
    case RowCopy::kLine:
      result.text = name + separators.value + Text(selected->Cell(2)) + separators.line + "\r\n";
      result.hint = FillIn(texts::kCopyLineHint, {{"mode", modeWord}});
      break;
    case RowCopy::kName:
      result.text = name;
      result.hint = FillIn(texts::kCopyNameHint, {{"mode", modeWord}});
      break;
    case RowCopy::kValue:
      result.text = selected->Cell(2);
      result.hint = FillIn(texts::kCopyValueHint, {{"mode", modeWord}});
      break;
    case RowCopy::kSlot1Form:
      result.text = name + separators.value + Text(selected->Cell(2)) + separators.line;
      break;
    case RowCopy::kSlot2Form:
      result.text = name + separators.value + Text(selected->Cell(3)) + separators.line;
      break;
  }
  return result;
}

std::optional<Text> HintAfterCopy(const CopyResult& copy, bool clipboardOpened, bool ansiWritten) {
  if (!copy.text || ansiWritten) return copy.hint;
  return Text(clipboardOpened ? texts::kClipboardNotWrittenHint : texts::kClipboardFailedHint);
}

}  // namespace ds
