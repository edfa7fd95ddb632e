#include "items/slot_parser.h"

#include "items/item_sort.h"
#include "items/sentence.h"
#include "items/texts.h"

namespace ds {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

Text ErrorReport(std::string_view modeWord) { return FillIn(texts::kTextError, {{"mode", modeWord}}); }

Text RemoveCrLf(std::string_view text) {
  Text out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\r' && c != '\n') out.push_back(c);
  return out;
}

}  // namespace

CutLine CutItemLine(std::string_view rawLine, std::string_view sep) {
  CutLine cut;
  Text line = Trim(rawLine);
  // A leading separator would leave the name empty; HTTP/2 pseudo-headers
  // such as ":method:GET" keep their colon through a marker.
  if (!sep.empty() && Left(line, static_cast<int>(sep.size())) == sep)
    line = Replace(line, ":", texts::kSpecialColonMarker, 1, 1);
  std::vector<Text> pieces = Split(line, sep);
  if (pieces.empty() || pieces[0].empty()) {
    cut.kind = CutLine::Kind::kEmptyName;
    return cut;
  }
  if (pieces.size() == 1) {
    if (sep.empty() || !EndsWith(line, sep)) {
      cut.kind = CutLine::Kind::kNoSeparator;
      return cut;
    }
    cut.emptyValue = true;
  } else if (pieces.size() == 2 && sep.size() == 1) {
    // Give back the trailing separators the split dropped (Base64 padding).
    Text doubled = Text(sep) + Text(sep);
    if (EndsWith(line, doubled))
      cut.value = pieces[1] + doubled;
    else if (EndsWith(line, sep))
      cut.value = pieces[1] + Text(sep);
    else
      cut.value = pieces[1];
  } else {
    // Everything after the first separator. A longer separator can overlap
    // itself ("==" in "k==="), so testing the line's end for it would give
    // back bytes the split never dropped.
    cut.value = line.substr(pieces[0].size() + sep.size());
  }
  cut.kind = CutLine::Kind::kItem;
  cut.name = Trim(Replace(pieces[0], texts::kSpecialColonMarker, ":", 1, 1));
  cut.value = Trim(cut.value);
  if (cut.name.empty()) cut.kind = CutLine::Kind::kEmptyName;
  return cut;
}

std::vector<Text> SplitSlotLines(std::string_view text, const Separators& separators) {
  Text working = Trim(text);
  if (separators.line != kCrLf && separators.value != kCrLf) working = RemoveCrLf(working);
  return Split(working, separators.line);
}

ParseOutcome ParseSlotText(std::string_view text, const Separators& separators, const SlotContext& slot) {
  ParseOutcome out;
  const std::string_view mode = ModeWord(slot.mode);
  if (text.empty() || text == PlaceholderText(mode, slot.slot)) return out;
  if (Find(text, separators.value) == -1 && Find(text, separators.line) == -1) {
    out.stop = ParseOutcome::Stop::kErrorRowsKept;
    out.report = ErrorReport(mode);
    return out;
  }

  std::vector<Text> lines = SplitSlotLines(text, separators);
  if (!lines.empty() && Find(lines.back(), separators.value) == -1) {
    out.incompleteTail = 1;
    lines.pop_back();
  }
  if (lines.empty()) {
    out.stop = ParseOutcome::Stop::kErrorRowsCleared;
    out.report = ErrorReport(mode);
    return out;
  }

  RowTable table;
  table.rows.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    CutLine cut = CutItemLine(lines[i], separators.value);
    if (cut.kind == CutLine::Kind::kEmptyName) {
      ++out.emptyNames;
      continue;
    }
    if (cut.kind == CutLine::Kind::kNoSeparator) {
      ++out.noSeparator;
      continue;
    }
    if (cut.emptyValue) out.notes += FillIn(texts::kEmptyValueNote, {{"mode", mode}, {"name", cut.name}});
    Row row;
    row.cells = {ToText(static_cast<long long>(i + 1)), std::move(cut.name), std::move(cut.value)};
    table.rows.push_back(std::move(row));
  }
  SortItemRows(table, 1, true, false);
  Renumber(table);

  Text report;
  auto add = [&](const char* sentence, int count) {
    if (count > 0)
      report += FillIn(sentence, {{"mode", mode}, {"slot", SlotLabel(slot.slot)}, {"count", ToText(count)}});
  };
  add(texts::kIncompleteTailReport, out.incompleteTail);
  add(texts::kEmptyNameReport, out.emptyNames);
  add(texts::kNoSeparatorReport, out.noSeparator);

  out.stop = ParseOutcome::Stop::kParsed;
  out.rows = std::move(table.rows);
  out.status = texts::kStatusPrefix + report;
  out.report = report.empty() ? Text(texts::kEmptyReport) : report;
  return out;
}

SlotUpdate ParseSlot(std::string_view text, const Separators& separators, const SlotContext& slot) {
  ParseOutcome out = ParseSlotText(text, separators, slot);
  SlotUpdate update;
  switch (out.stop) {
    case ParseOutcome::Stop::kUnchanged:
      break;
    case ParseOutcome::Stop::kErrorRowsKept:
      update.report = std::move(out.report);
      break;
    case ParseOutcome::Stop::kErrorRowsCleared:
      update.rows.emplace();
      update.report = std::move(out.report);
      break;
    case ParseOutcome::Stop::kParsed:
      update.rows = std::move(out.rows);
      update.report = std::move(out.report);
      update.status = std::move(out.status);
      update.notes = std::move(out.notes);
      break;
  }
  return update;
}

Text PlaceholderText(std::string_view modeWord, Slot slot) {
  return FillIn(texts::kPlaceholder, {{"mode", modeWord}, {"slot", SlotLabel(slot)}});
}

}  // namespace ds
