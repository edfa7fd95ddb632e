#include "compare/search.h"

#include "compare/texts.h"
#include "items/sentence.h"
#include "items/slot.h"

namespace ds {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The first |lowered| bytes of the name, folded as ToLowerAscii folds it
// (only bytes that start a character), equal `lowered`. Folding on the fly
// spares a copy of every name at every keystroke.
bool FoldedBeginsWith(std::string_view name, std::string_view lowered) {
  if (name.size() < lowered.size()) return false;
  for (size_t i = 0; i < lowered.size();) {
    size_t n = CharLength(name, i);
    if (LowerAscii(name[i]) != lowered[i]) return false;
    if (n == 2 && i + 1 < lowered.size() && name[i + 1] != lowered[i + 1]) return false;
    i += n;
  }
  return true;
}

// `prepared` is the search text as the rule compares it (lower-cased when
// case does not matter).
bool PreparedMatches(std::string_view name, std::string_view prepared, const NameRule& rule) {
  if (rule.exact) return rule.caseSensitive ? name.substr(0, prepared.size()) == prepared
                                            : FoldedBeginsWith(name, prepared);
  // Find folds the letters that start a character in both texts, which is
  // what comparing the two lower-cased texts would do.
  return Find(name, prepared, 1, !rule.caseSensitive) != -1;
}

void AppendSlot(Text& out, const RowTable& table, Slot slot, std::string_view prepared, const NameRule& rule,
                std::string_view modeWord) {
  out += FillIn(texts::kSearchHeading, {{"mode", modeWord}, {"slot", SlotLabel(slot)}});
  out += kLineBreak;
  for (const Row& row : table.rows) {
    std::string_view name = row.Cell(1);
    if (name.empty() || !PreparedMatches(name, prepared, rule)) continue;
    out += name;
    out += kLineBreak;
  }
}

size_t NamesSize(const RowTable& table) {
  size_t n = 0;
  for (const Row& row : table.rows) n += row.Cell(1).size() + kLineBreak.size();
  return n;
}

}  // namespace

Text SearchResult(const RowTable& slot1, const RowTable& slot2, std::string_view searchText, const NameRule& rule,
                  std::string_view modeWord) {
  Text prepared = PrepareName(searchText, rule);
  Text out;
  // An empty search lists every name: room for all of them at once.
  out.reserve(NamesSize(slot1) + NamesSize(slot2) + 64);
  AppendSlot(out, slot1, Slot::k1, prepared, rule, modeWord);
  out += kLineBreak;
  AppendSlot(out, slot2, Slot::k2, prepared, rule, modeWord);
  return out;
}

Text LocatedName(std::string_view line) {
  // A space byte is never the second half of a double-byte character.
  size_t end = line.find_last_not_of(' ');
  return Text(end == std::string_view::npos ? std::string_view{} : line.substr(0, end + 1));
}

int FirstRowNamed(const RowTable& table, std::string_view name) {
  for (size_t i = 0; i < table.rows.size(); ++i)
    if (table.rows[i].Cell(1) == name) return static_cast<int>(i);
  return -1;
}

}  // namespace ds
