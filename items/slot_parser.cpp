#include "items/slot_parser.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>

#include "items/item_sort.h"
#include "items/sentence.h"
#include "items/texts.h"

namespace ds {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// Byte by byte: separators are short, mostly a byte, shorter than a call to memcmp.
bool SameBytes(const char* a, std::string_view b) {
  for (char c : b)
    if (*a++ != c) return false;
  return true;
}

bool StartsWith(std::string_view text, std::string_view head) {
  return text.size() >= head.size() && SameBytes(text.data(), head);
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && SameBytes(text.data() + text.size() - tail.size(), tail);
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

namespace {

// A cut line as views: into the text, or into `spare` where the cut had to
// make a new string (a colon given back, trailing separators put back).
struct ItemCut {
  CutLine::Kind kind = CutLine::Kind::kEmptyName;
  std::string_view name;
  std::string_view value;
  bool emptyValue = false;
};

// CutItemLine with a vector the caller keeps from line to line, told whether
// the marker's bytes occur anywhere in the text. Made strings go to `spare`,
// whose elements never move.
ItemCut CutLineWith(std::string_view rawLine, std::string_view sep, bool markerInText,
                    std::vector<std::string_view>& pieces, std::deque<Text>& spare) {
  ItemCut cut;
  std::string_view line = TrimmedView(rawLine);
  // A leading separator would leave the name empty; HTTP/2 pseudo-headers
  // such as ":method:GET" keep their colon through a marker.
  if (!sep.empty() && StartsWith(line, sep)) {
    line = spare.emplace_back(Replace(line, ":", texts::kSpecialColonMarker, 1, 1));
    markerInText = true;
  }
  // Nearly every line: one separator byte that sits inside the line once,
  // after a byte that starts no double-byte character (which would take it
  // as its second byte). The split below comes to the same, at more cost.
  if (sep.size() == 1 && !markerInText && !line.empty()) {
    const char* at = static_cast<const char*>(std::memchr(line.data(), sep[0], line.size()));
    size_t p = at ? static_cast<size_t>(at - line.data()) : 0;
    if (at && p > 0 && p + 1 < line.size() && !IsLeadByte(static_cast<unsigned char>(line[p - 1])) &&
        !std::memchr(at + 1, sep[0], line.size() - p - 1)) {
      cut.name = TrimmedView(line.substr(0, p));
      cut.value = TrimmedView(line.substr(p + 1));
      cut.kind = cut.name.empty() ? CutLine::Kind::kEmptyName : CutLine::Kind::kItem;
      return cut;
    }
  }
  // Three pieces tell "more than two" as well as all of them would.
  SplitViews(line, sep, 3, pieces);
  if (pieces.empty() || pieces[0].empty()) {
    cut.kind = CutLine::Kind::kEmptyName;
    return cut;
  }
  std::string_view valueView;
  if (pieces.size() == 1) {
    if (sep.empty() || !EndsWith(line, sep)) {
      cut.kind = CutLine::Kind::kNoSeparator;
      return cut;
    }
    cut.emptyValue = true;
  } else if (pieces.size() == 2 && sep.size() == 1) {
    // Give back the trailing separators the split dropped (Base64 padding).
    valueView = pieces[1];
    if (line.size() >= 2 && line.back() == sep[0] && line[line.size() - 2] == sep[0])
      valueView = spare.emplace_back(Text(valueView) + Text(2, sep[0]));
    else if (EndsWith(line, sep))
      valueView = spare.emplace_back(Text(valueView) + Text(sep));
  } else {
    // Everything after the first separator. A longer separator can overlap
    // itself ("==" in "k==="), so testing the line's end for it would give
    // back bytes the split never dropped.
    valueView = line.substr(pieces[0].size() + sep.size());
  }
  cut.kind = CutLine::Kind::kItem;
  // Only a name that holds the marker's bytes can give a colon back.
  if (markerInText && pieces[0].find(texts::kSpecialColonMarker) != std::string_view::npos)
    cut.name = spare.emplace_back(Trim(Replace(pieces[0], texts::kSpecialColonMarker, ":", 1, 1)));
  else
    cut.name = TrimmedView(pieces[0]);
  cut.value = TrimmedView(valueView);
  if (cut.name.empty()) cut.kind = CutLine::Kind::kEmptyName;
  return cut;
}

}  // namespace

CutLine CutItemLine(std::string_view rawLine, std::string_view sep) {
  std::vector<std::string_view> pieces;
  std::deque<Text> spare;
  ItemCut cut = CutLineWith(rawLine, sep, true, pieces, spare);
  return {cut.kind, Text(cut.name), Text(cut.value), cut.emptyValue};
}

namespace {

// The text the lines are cut from: trimmed, and without line breaks unless a
// separator is one (then in `storage`).
std::string_view SlotLinesText(std::string_view text, const Separators& separators, Text& storage) {
  std::string_view working = TrimmedView(text);
  bool dropBreaks = separators.line != kCrLf && separators.value != kCrLf;
  // Two memchr scans: find_first_of would ask memchr about the set once per byte.
  auto holds = [working](char c) { return !working.empty() && std::memchr(working.data(), c, working.size()); };
  if (dropBreaks && (holds('\n') || holds('\r'))) {
    storage = RemoveCrLf(working);
    working = storage;
  }
  return working;
}

// An item's name and value as places in the text the lines were cut from,
// eight bytes each instead of sixteen for a view: a 100,000-item paste keeps
// 1.6 MB less while it sorts. The few cut into new strings are found through
// `outside`, by index, with the top bit set.
class ItemPlaces {
 public:
  explicit ItemPlaces(std::string_view text) : text_(text) {
    if (text.size() >= kOutside) throw std::length_error("a text of more than 2 GB");
  }
  void Add(std::string_view name, std::string_view value) { items_.push_back({Place(name), Place(value)}); }
  void Reserve(size_t n) { items_.reserve(n); }
  size_t size() const { return items_.size(); }
  std::string_view Name(size_t i) const { return View(items_[i].name); }
  std::string_view Value(size_t i) const { return View(items_[i].value); }
  void Prefetch(size_t i) const { __builtin_prefetch(&items_[i]); }

 private:
  static constexpr uint32_t kOutside = 0x80000000u;
  struct Ref {
    uint32_t at, size;
  };
  struct Item {
    Ref name, value;
  };
  Ref Place(std::string_view piece) {
    // Pointers into different strings are ordered only by std::less and kin.
    if (std::greater_equal<const char*>()(piece.data(), text_.data()) &&
        std::less_equal<const char*>()(piece.data() + piece.size(), text_.data() + text_.size()))
      return {static_cast<uint32_t>(piece.data() - text_.data()), static_cast<uint32_t>(piece.size())};
    outside_.push_back(piece);
    return {static_cast<uint32_t>(outside_.size() - 1) | kOutside, 0};
  }
  std::string_view View(Ref r) const { return r.at & kOutside ? outside_[r.at & ~kOutside] : text_.substr(r.at, r.size); }

  std::string_view text_;
  std::vector<Item> items_;
  std::vector<std::string_view> outside_;
};

// Rows are made in their sorted order, so the passes that follow walk
// memory in order. The cut trimmed the names already.
std::vector<Row> RowsInNameOrder(const ItemPlaces& items) {
  std::vector<int> order = ItemOrder(items.size(), [&items](size_t i) { return items.Name(i); }, false);
  std::vector<Row> rows;
  rows.reserve(items.size());
  for (size_t r = 0; r < items.size(); ++r) {
    // The items are read in sorted order, from anywhere: ask for them ahead.
    if (r + 16 < items.size()) items.Prefetch(static_cast<size_t>(order[r + 16]));
    if (r + 8 < items.size()) __builtin_prefetch(items.Name(static_cast<size_t>(order[r + 8])).data());
    size_t item = static_cast<size_t>(order[r]);
    // Made where it stays: a row is packed once and never moved.
    rows.emplace_back(std::initializer_list<std::string_view>{Digits(static_cast<long long>(r + 1)), items.Name(item),
                                                              items.Value(item)});
  }
  return rows;
}

// The report, status and stop of a text that parsed, from what its lines held.
void Conclude(ParseOutcome& out, std::string_view mode, Slot slot) {
  Text report;
  auto add = [&](const char* sentence, int count) {
    if (count > 0) report += FillIn(sentence, {{"mode", mode}, {"slot", SlotLabel(slot)}, {"count", ToText(count)}});
  };
  add(texts::kIncompleteTailReport, out.incompleteTail);
  add(texts::kEmptyNameReport, out.emptyNames);
  add(texts::kNoSeparatorReport, out.noSeparator);
  out.stop = ParseOutcome::Stop::kParsed;
  out.status = texts::kStatusPrefix + report;
  out.report = report.empty() ? Text(texts::kEmptyReport) : report;
}

}  // namespace

std::vector<std::string_view> SplitSlotLineViews(std::string_view text, const Separators& separators,
                                                 Text& storage) {
  std::vector<std::string_view> lines;
  SplitViews(SlotLinesText(text, separators, storage), separators.line, -1, lines);
  return lines;
}

std::vector<Text> SplitSlotLines(std::string_view text, const Separators& separators) {
  Text storage;
  std::vector<std::string_view> lines = SplitSlotLineViews(text, separators, storage);
  return std::vector<Text>(lines.begin(), lines.end());
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

  Text storage;
  std::string_view lined = SlotLinesText(text, separators, storage);
  // The lines are views into one of the two.
  std::string_view working = storage.empty() ? text : std::string_view(storage);
  bool markerInText = working.find(texts::kSpecialColonMarker) != std::string_view::npos;
  std::vector<std::string_view> pieces;
  std::deque<Text> spare;
  ItemPlaces items(working);
  auto cutLine = [&](std::string_view line) {
    ItemCut cut = CutLineWith(line, separators.value, markerInText, pieces, spare);
    if (cut.kind == CutLine::Kind::kEmptyName) {
      ++out.emptyNames;
      return;
    }
    if (cut.kind == CutLine::Kind::kNoSeparator) {
      ++out.noSeparator;
      return;
    }
    if (cut.emptyValue) out.notes += FillIn(texts::kEmptyValueNote, {{"mode", mode}, {"name", cut.name}});
    items.Add(cut.name, cut.value);
  };
  // Lines are cut as they are found, one behind: the last line is no item
  // when it holds no value separator.
  std::optional<std::string_view> last;
  size_t cutLines = 0;
  ForEachPiece(lined, separators.line, -1, [&](std::string_view line) {
    if (last) {
      if (++cutLines == 1024)
        items.Reserve(LikelyTotal(items.size(), static_cast<size_t>(line.data() - lined.data()), lined.size(),
                                  lined.size() / 8));
      cutLine(*last);
    }
    last = line;
  });
  if (last && Find(*last, separators.value) == -1) {
    out.incompleteTail = 1;
    last.reset();
  }
  if (!last && cutLines == 0) {
    out.stop = ParseOutcome::Stop::kErrorRowsCleared;
    out.report = ErrorReport(mode);
    return out;
  }
  if (last) cutLine(*last);

  out.rows = RowsInNameOrder(items);
  Conclude(out, mode, slot.slot);
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
