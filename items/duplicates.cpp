#include "items/duplicates.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include "items/in_parallel.h"
#include "items/name_index.h"
#include "items/sentence.h"
#include "items/slot.h"
#include "items/texts.h"

namespace ds {
namespace {

// Keeps the selection on the same row, or clears it when that row goes.
void RemoveRows(RowTable& table, const std::vector<bool>& drop) {
  std::vector<Row>& rows = table.rows;
  // Mostly nothing goes (an empty `drop` says so too): the list stays as it is.
  if (std::find(drop.begin(), drop.end(), true) == drop.end()) {
    if (table.selected < 0 || table.selected >= static_cast<int>(rows.size())) table.selected = -1;
    return;
  }
  size_t kept = 0;
  int selected = -1;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (drop[i]) continue;
    if (static_cast<int>(i) == table.selected) selected = static_cast<int>(kept);
    if (kept != i) rows[kept] = std::move(rows[i]);
    ++kept;
  }
  rows.resize(kept);
  table.selected = selected;
}

enum class Decision { kNotAsked, kRemove, kKeep };

// Same result as comparing every row with every later row, in linear time:
// count the later equal names from the end, then walk forward. With Yes the
// first row of a name removes every later one, so the names being removed are
// remembered instead of scanning the later rows for each.
// For each row, the row where its name first stands and how many later rows
// have it too.
struct NameGroups {
  std::vector<int> first;
  std::vector<int> later;
};

NameGroups GroupNames(const RowTable& table) {
  const std::vector<Row>& rows = table.rows;
  NameGroups g;
  g.first.resize(rows.size());
  g.later.assign(rows.size(), 0);
  // A list in byte order (as its parse left it) holds each name's rows
  // together: one walk groups them, counting back from each run's end.
  bool inOrder = true;
  std::string_view previous;
  for (size_t i = 0; i < rows.size() && inOrder; ++i) {
    std::string_view name = rows[i].Cell(1);
    int order = i == 0 ? -1 : previous.compare(name);  // one comparison tells both
    inOrder = order <= 0;
    g.first[i] = order == 0 ? g.first[i - 1] : static_cast<int>(i);
    previous = name;
  }
  if (inOrder) {
    for (size_t i = rows.size(); i-- > 1;)
      if (g.first[i] == g.first[i - 1]) g.later[i - 1] = g.later[i] + 1;
    return g;
  }
  {
    std::vector<std::string_view> names;
    names.reserve(rows.size());
    for (const Row& row : rows) names.push_back(row.Cell(1));
    g.first = NameIndex(names).FirstOfEach(names);
  }
  std::vector<int> seen(rows.size(), 0);
  for (size_t i = rows.size(); i-- > 0;) g.later[i] = seen[static_cast<size_t>(g.first[i])]++;
  return g;
}

// The notes and removals of one slot, the decision taken.
Text ScanSlot(RowTable& table, const NameGroups& groups, std::string_view modeWord, std::string_view label,
              Decision decision) {
  std::vector<Row>& rows = table.rows;
  const std::vector<int>& first = groups.first;
  const std::vector<int>& later = groups.later;
  std::vector<bool> drop(rows.size(), false);
  std::vector<bool> removing(rows.size(), false);  // by first row
  // Room for a note on every row with later equals, most names being short.
  Text notes;
  size_t repeated = static_cast<size_t>(std::count_if(later.begin(), later.end(), [](int n) { return n > 0; }));
  notes.reserve(repeated * (sizeof texts::kDuplicateNote + modeWord.size() + label.size() + 16));
  const PreparedSentence note(texts::kDuplicateNote, {"mode", "slot", "name", "count"});
  for (size_t i = 0; i < rows.size(); ++i) {
    if (removing[static_cast<size_t>(first[i])]) {
      drop[i] = true;
      continue;
    }
    if (later[i] == 0) continue;
    if (decision == Decision::kRemove) removing[static_cast<size_t>(first[i])] = true;
    note.Append(notes, {modeWord, label, rows[i].Cell(1), Digits(later[i])});
  }
  RemoveRows(table, drop);
  return notes;
}

void DropEmptyRows(RowTable& table) {
  auto empty = [](const Row& row) { return row.Cell(1).empty() && row.Cell(2).empty(); };
  // A parsed list has none: it is looked through once and left as it is.
  std::vector<bool> drop;
  if (std::none_of(table.rows.begin(), table.rows.end(), empty)) return RemoveRows(table, drop);
  drop.resize(table.rows.size());
  for (size_t i = 0; i < table.rows.size(); ++i) drop[i] = empty(table.rows[i]);
  RemoveRows(table, drop);
}

// The first row with later equals: the one the question names.
std::optional<size_t> FirstRepeated(const NameGroups& groups) {
  auto it = std::find_if(groups.later.begin(), groups.later.end(), [](int n) { return n > 0; });
  if (it == groups.later.end()) return std::nullopt;
  return static_cast<size_t>(it - groups.later.begin());
}

}  // namespace

DuplicateOutcome HandleDuplicates(RowTable& slot1, RowTable& slot2, std::string_view modeWord,
                                  const DuplicateQuestion& ask) {
  DuplicateOutcome out;
  bool worthIt = slot1.rows.size() + slot2.rows.size() > kParallelRows;
  NameGroups groups1, groups2;
  InParallel(
      worthIt, [&] { groups1 = GroupNames(slot1); }, [&] { groups2 = GroupNames(slot2); });
  // The one question names the first repeated row, Slot 1's before Slot 2's;
  // with the answer known, the two slots are handled each on its own.
  Decision decision = Decision::kNotAsked;
  for (auto [table, groups, slot] : {std::tuple{&slot1, &groups1, Slot::k1}, std::tuple{&slot2, &groups2, Slot::k2}}) {
    std::optional<size_t> row = FirstRepeated(*groups);
    if (!row) continue;
    Text question = FillIn(texts::kDuplicateQuestion,
                           {{"mode", modeWord}, {"slot", SlotLabel(slot)}, {"name", table->rows[*row].Cell(1)}});
    out.asked = true;
    decision = ask(question, texts::kDuplicateTitle) ? Decision::kRemove : Decision::kKeep;
    out.removed = decision == Decision::kRemove;
    break;
  }
  Text notes1, notes2;
  InParallel(
      worthIt,
      [&] {
        notes1 = ScanSlot(slot1, groups1, modeWord, SlotLabel(Slot::k1), decision);
        DropEmptyRows(slot1);
      },
      [&] {
        notes2 = ScanSlot(slot2, groups2, modeWord, SlotLabel(Slot::k2), decision);
        DropEmptyRows(slot2);
      });
  out.notes = std::move(notes1) + notes2;
  return out;
}

Text DuplicateNotes(const RowTable& table, std::string_view modeWord, std::string_view label) {
  RowTable kept = table;  // the scan takes rows it may drop; kept, it drops none
  return ScanSlot(kept, GroupNames(kept), modeWord, label, Decision::kKeep);
}

}  // namespace ds
