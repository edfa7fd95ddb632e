#include "edit/add_items.h"

#include <unordered_map>

#include "edit/texts.h"
#include "items/sentence.h"
#include "items/texts.h"

namespace ds {
namespace {

struct Piece {
  enum class Kind { kItem, kEmptyPart, kNoSeparator };
  Kind kind = Kind::kNoSeparator;
  Text name, value;
};

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Unlike the parser, "a=" is no item here (the value would be empty), and a
// leading separator has no special meaning.
Piece CutPiece(std::string_view piece, std::string_view sep) {
  Piece out;
  // Three parts are enough to tell the cases apart; a piece of a million
  // separators need not become a million parts.
  std::vector<Text> parts = Split(piece, sep, 3);
  if (parts.size() < 2) return out;
  out.name = Trim(parts[0]);
  if (parts.size() == 2 && sep.size() == 1) {
    // Give back the trailing separators the split dropped (Base64 padding).
    const Text doubled = Text(sep) + Text(sep);
    out.value = parts[1];
    if (EndsWith(piece, doubled))
      out.value += doubled;
    else if (EndsWith(piece, sep))
      out.value += sep;
  } else {
    // Everything after the first separator: name + separator comes off once,
    // so "k=ak=b" keeps "ak=b", and a longer separator that overlaps itself
    // gets back no bytes the split never dropped.
    out.value = piece.substr(parts[0].size() + sep.size());
  }
  out.value = Trim(out.value);
  // A row without a name would be an item nobody can find again, whatever
  // the number of parts.
  out.kind = out.name.empty() || out.value.empty() ? Piece::Kind::kEmptyPart : Piece::Kind::kItem;
  return out;
}

}  // namespace

bool HasSeparator(std::string_view typed, const Separators& separators) {
  return Find(typed, separators.value) != -1 || Find(typed, separators.line) != -1;
}

AddOutcome AddItems(RowTable list, std::string_view typed, const Separators& separators, AnalysisMode mode,
                    Slot slotOfList, const ReplaceQuestion& ask) {
  AddOutcome out;
  const std::string_view modeWord = ModeWord(mode);
  if (!HasSeparator(typed, separators)) {
    out.refused = true;
    out.status = FillIn(texts::kAddRefused, {{"text", typed}});
    out.list = std::move(list);
    return out;
  }

  // As the parser cuts a slot: trimmed, and CR LF kept when it separates.
  std::vector<Text> pieces = SplitSlotLines(typed, separators);
  if (!pieces.empty() && Find(pieces.back(), separators.value) == -1) {
    out.tailCount = 1;
    pieces.pop_back();
  }

  // The first row of each name, kept up to date as rows are appended, so a
  // paste of many pieces looks each name up once.
  std::unordered_map<Text, int> firstRow;
  firstRow.reserve(list.rows.size() + pieces.size());
  list.rows.reserve(list.rows.size() + pieces.size());
  for (size_t r = 0; r < list.rows.size(); ++r) firstRow.emplace(list.rows[r].Cell(1), static_cast<int>(r));

  const Text question = texts::kAddReplaceQuestion;
  int lastWritten = -1;
  for (const Text& raw : pieces) {
    Text trimmed = Trim(raw);
    if (trimmed.empty()) continue;  // two line separators in a row
    Piece piece = CutPiece(trimmed, separators.value);
    if (piece.kind == Piece::Kind::kNoSeparator) {
      ++out.noSeparatorCount;
      continue;
    }
    if (piece.kind == Piece::Kind::kEmptyPart) {
      ++out.emptyPartCount;
      continue;
    }
    const int index = static_cast<int>(list.rows.size());
    auto [first, isNew] = firstRow.try_emplace(piece.name, index);
    if (!isNew && ask && ask(FillIn(question, {{"name", piece.name}}), texts::kAddReplaceTitle)) {
      list.rows[first->second].SetCell(2, std::move(piece.value));
      lastWritten = first->second;
      continue;
    }
    list.rows.push_back(Row{ToText(index + 1), piece.name, piece.value});
    lastWritten = index;
  }

  out.selectRow = lastWritten >= 0 ? lastWritten : 0;
  list.selected = list.rows.empty() ? -1 : out.selectRow;

  Text report;
  auto add = [&](const char* sentence, int count) {
    if (count > 0)
      report += FillIn(sentence, {{"mode", modeWord}, {"slot", SlotLabel(slotOfList)}, {"count", ToText(count)}});
  };
  add(texts::kIncompleteTailReport, out.tailCount);
  add(texts::kAddEmptyPartReport, out.emptyPartCount);
  add(texts::kAddNoSeparatorReport, out.noSeparatorCount);
  if (!report.empty()) {
    out.report = std::move(report);
  } else {
    out.report = Text(texts::kEmptyReport);
    // Only empty pieces: nothing was added, and the hint must not say it was.
    out.status = Text(lastWritten >= 0 ? texts::kAddedHint : texts::kAddNothingHint);
  }
  out.list = std::move(list);
  return out;
}

Text AddPrompt(AnalysisMode mode) { return FillIn(texts::kAddPrompt, {{"mode", ModeWord(mode)}}); }

}  // namespace ds
