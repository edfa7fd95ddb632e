// What the copy entries of the lists' menu put on the clipboard, and the
// status hints they show: whole lists, a slot completed from the other, and
// parts of one row.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "compare/list_role.h"
#include "export/exporters.h"
#include "items/rows.h"
#include "items/slot_parser.h"

namespace ds {

// name + value separator + column 2 + line separator for every row, joined.
Text SlotTextOfRows(const std::vector<Row>& rows, const Separators& separators);

// The hint after Copy all names the list copied: "操作提示:已复制" + mode word +
// "[1号]全部数据" and its kin; none for the difference list.
std::optional<Text> CopyAllHint(ListRole list, std::string_view modeWord);

// Which list holds the keyboard focus, as far as Copy completed cares.
enum class FocusedList { kOther, kSlot1Items, kSlot1Missing, kSlot2Items, kSlot2Missing };

struct CompletedInput {
  ListRole currentRole = ListRole::kNone;  // the current list's title
  const std::vector<Row>* current = nullptr;  // the current list's rows
  FocusedList focused = FocusedList::kOther;
  const std::vector<Row>* slot1Items = nullptr;
  const std::vector<Row>* slot1Missing = nullptr;
  const std::vector<Row>* slot2Items = nullptr;
  const std::vector<Row>* slot2Missing = nullptr;
};

struct CopyResult {
  std::optional<Text> text;  // unset: the clipboard keeps its content
  std::optional<Text> hint;  // unset: the status bar keeps its text
};

CopyResult CopyCompleted(const CompletedInput& in, const Separators& separators, std::string_view modeWord);

// The rows Copy completed copies: a slot's item list when the current one
// lacks nothing, else the focused slot's item list and then its missing
// list; none when neither slot's lists hold the focus.
struct CompletedRows {
  Slot slot = Slot::k1;
  std::vector<const std::vector<Row>*> parts;  // copied one after another
  bool nothingMissing = false;                 // the item list alone, as it lacks nothing
};
std::optional<CompletedRows> CompletedRowsOf(const CompletedInput& in);

// The rows of the parts, one list.
std::vector<Row> Joined(const CompletedRows& completed);

// Rows in an exporter's form, with a hint naming the format and the count
// (a completed copy's also names the current list's title); or the
// exporter's refusal, and nothing is copied.
struct CopyAsResult {
  CopyResult copy;
  std::optional<Text> refusal;
};
CopyAsResult CopyRowsAs(const Exporter& exporter, const ExportJob& job, std::optional<ListRole> completedTitle,
                        std::string_view modeWord);

enum class RowCopy { kLine, kName, kValue, kSlot1Form, kSlot2Form };

// A part of the selected row; with no row selected nothing is copied and the
// hint says so.
CopyResult CopyOfRow(RowCopy what, const Row* selected, const Separators& separators, std::string_view modeWord);

// The hint once the copy's text went to the clipboard: the copy's own when
// its ANSI text got there, the form a copy promises (a reader of Unicode text
// gets it converted by the system), else why it did not. Unset: the status
// bar keeps its text.
std::optional<Text> HintAfterCopy(const CopyResult& copy, bool clipboardOpened, bool ansiWritten);

}  // namespace ds
