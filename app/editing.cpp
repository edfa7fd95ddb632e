#include "app/editing.h"

#include <utility>

#include "app/decoded_view.h"
#include "app/ignore_handlers.h"
#include "app/masking.h"
#include "app/message_boxes.h"
#include "app/mode_handlers.h"
#include "app/reports.h"
#include "app/slots.h"
#include "app/texts.h"
#include "compare/item_report.h"
#include "compare/list_copy.h"
#include "edit/add_items.h"
#include "edit/row_edits.h"
#include "mask/item_mask.h"
#include "edit/texts.h"
#include "export/texts.h"
#include "items/texts.h"
#include "ui/clipboard.h"
#include "ui/window.h"

namespace app {
namespace {

ds::ListRole RoleOf(MainControls& c, const ui::ListView* list) {
  if (list == &c.slot1Items) return ds::ListRole::kSlot1Items;
  if (list == &c.slot2Items) return ds::ListRole::kSlot2Items;
  if (list == &c.slot1Missing) return ds::ListRole::kSlot1Missing;
  if (list == &c.slot2Missing) return ds::ListRole::kSlot2Missing;
  if (list == &c.differenceList) return ds::ListRole::kDifferences;
  return ds::ListRole::kNone;
}

const ds::Row* SelectedOfCurrent(const AppState& state) {
  return state.current.list ? std::as_const(*state.current.list).rows().SelectedRow() : nullptr;
}

// The copy reaches the clipboard, or the hint says it did not.
void Copy(const EditingView& v, const ds::CopyResult& copy) {
  ui::ClipboardWrite written{true, true, true};
  if (copy.text) written = ui::WriteClipboardText(v.owner, *copy.text);
  if (std::optional<ds::Text> hint = ds::HintAfterCopy(copy, written.opened, written.ansi))
    v.c.statusBar.SetText(*hint);
}

void CopyAll(const EditingView& v, const AppState& state) {
  if (!state.current.list) return;
  ds::CopyResult copy{ds::SlotTextOfRows(std::as_const(*state.current.list).rows().rows, state.separators),
                      ds::CopyAllHint(RoleOf(v.c, state.current.list), state.ModeWord())};
  Copy(v, copy);
}

ds::FocusedList FocusedListOf(MainControls& c) {
  if (c.slot1Items.HasFocus()) return ds::FocusedList::kSlot1Items;
  if (c.slot1Missing.HasFocus()) return ds::FocusedList::kSlot1Missing;
  if (c.slot2Items.HasFocus()) return ds::FocusedList::kSlot2Items;
  if (c.slot2Missing.HasFocus()) return ds::FocusedList::kSlot2Missing;
  return ds::FocusedList::kOther;
}

ds::CompletedInput CompletedInputOf(MainControls& c, const AppState& state) {
  auto rowsOf = [](const ui::ListView& list) { return &list.rows().rows; };
  return {state.current.role,   rowsOf(*state.current.list), FocusedListOf(c),
          rowsOf(c.slot1Items), rowsOf(c.slot1Missing),      rowsOf(c.slot2Items),
          rowsOf(c.slot2Missing)};
}

void CopyCompleted(const EditingView& v, const AppState& state) {
  if (!state.current.list) return;
  Copy(v, ds::CopyCompleted(CompletedInputOf(v.c, state), state.separators, state.ModeWord()));
}

// The slot whose rows a list holds or completes.
ds::Slot SlotOfList(ds::ListRole role) {
  return role == ds::ListRole::kSlot2Items || role == ds::ListRole::kSlot2Missing ? ds::Slot::k2 : ds::Slot::k1;
}

// Masked, the rows and the request an export prints are copies.
void CopyAs(const EditingView& v, AppState& state, const ds::CopyAsChoice& choice, const std::vector<ds::Row>& rows,
            ds::Slot slot, std::optional<ds::ListRole> completing) {
  ds::ExportTarget target = state.ImportTarget(slot);
  std::vector<ds::Row> masked;
  if (choice.masked) {
    const ds::SecretRule* rule = MaskRuleOf(state);
    if (!rule) return ShowRefusal(v.owner, texts::kNoMaskKey, ds::export_texts::kExportTitle);
    masked = rows;
    ds::MaskItemRows(masked, state.mode, *rule);
    ds::MaskExportTarget(target, *rule);
  }
  ds::CopyAsResult copy = ds::CopyRowsAs(*choice.exporter, {choice.masked ? masked : rows, state.mode, target},
                                         completing, state.ModeWord());
  if (copy.refusal) return ShowRefusal(v.owner, *copy.refusal, ds::export_texts::kExportTitle);
  Copy(v, copy.copy);
}

void CopyAllAs(const EditingView& v, AppState& state, const ds::CopyAsChoice& choice) {
  if (!state.current.list) return;
  ds::ListRole role = RoleOf(v.c, state.current.list);
  CopyAs(v, state, choice, std::as_const(*state.current.list).rows().rows, SlotOfList(role), std::nullopt);
}

void CopyCompletedAs(const EditingView& v, AppState& state, const ds::CopyAsChoice& choice) {
  if (!state.current.list) return;
  std::optional<ds::CompletedRows> completed = ds::CompletedRowsOf(CompletedInputOf(v.c, state));
  if (!completed) return;  // no list of a slot holds the focus
  CopyAs(v, state, choice, ds::Joined(*completed), completed->slot, state.current.role);
}

void CopyRowPart(const EditingView& v, const AppState& state, ds::RowCopy what) {
  Copy(v, ds::CopyOfRow(what, SelectedOfCurrent(state), state.separators, state.ModeWord()));
}

// The content box shows the selected difference row after its values changed.
void ShowDifferenceRow(const EditingView& v, const AppState& state) {
  if (const ds::Row* row = std::as_const(v.c.differenceList).rows().SelectedRow())
    v.c.contentBox.SetText(ds::DifferenceRowContent(*row, state.separators));
}

// Replace into the item list of `target` the value the other slot has for
// the same name.
void Replace(const EditingView& v, AppState& state, ds::Slot target) {
  MainControls& c = v.c;
  ui::ListView& into = c.Items(target);
  ds::ReplaceOutcome out =
      ds::ReplaceValue(into.rows(), c.Items(ds::Other(target)).rows(), target, state.current.role, state.mode);
  into.Redraw();
  c.statusBar.SetText(out.hint);
  if (!out.replaced) return;
  ds::RowTable& differences = c.differenceList.rows();
  if (c.differenceList.HasFocus() && differences.SelectedRow()) {
    ds::Row& row = differences.rows[static_cast<size_t>(differences.selected)];
    if (target == ds::Slot::k1)
      row.SetCell(2, row.Cell(3));
    else
      row.SetCell(3, row.Cell(2));
    c.differenceList.Redraw();
  }
  ShowDifferenceRow(v, state);
}

void Swap(const EditingView& v, AppState& state) {
  MainControls& c = v.c;
  bool slot1Side = c.slot1Items.HasFocus() || c.differenceList.HasFocus();
  bool slot2Side = c.slot2Items.HasFocus();
  // The selections were paired by the item report when the user moved in an
  // item list, and by the analysis when a difference row was chosen.
  ds::NameRule rule = RuleOf(c.caseSensitiveSwitch, c.exactMatchSwitch);
  ds::Pairing pairing{ds::Slot::k1, rule, ds::AnalysisFuzzyMatch(rule)};
  if (c.slot1Items.HasFocus())
    pairing.fuzzy = ds::kReportFuzzyMatch;
  else if (slot2Side)
    pairing = {ds::Slot::k2, rule, ds::kReportFuzzyMatch};
  ds::SwapOutcome out = ds::SwapValues(c.slot1Items.rows(), c.slot2Items.rows(), pairing, state.mode);
  if (out.swapped) {
    ds::RowTable& differences = c.differenceList.rows();
    // The difference row changes only when it is the item swapped.
    const ds::Row* swapped = std::as_const(c.slot1Items).rows().SelectedRow();
    if (differences.SelectedRow() && swapped && differences.SelectedRow()->Cell(1) == swapped->Cell(1)) {
      ds::Row& row = differences.rows[static_cast<size_t>(differences.selected)];
      ds::Text slot1Value(row.Cell(2));
      row.SetCell(2, row.Cell(3));
      row.SetCell(3, std::move(slot1Value));
    }
    for (ui::ListView* list : {&c.slot1Items, &c.slot2Items, &c.differenceList}) list->Redraw();
    // The report and the content box show the values as they are now.
    if (slot1Side)
      OnItemListRowChanged(ReportViewOf(c), state, ds::Slot::k1);
    else if (slot2Side)
      OnItemListRowChanged(ReportViewOf(c), state, ds::Slot::k2);
  }
  c.statusBar.SetText(out.hint);
}

void DeleteSelected(const EditingView& v, AppState& state, bool keepSelection) {
  ui::ListView* list = state.current.list;
  if (!list) return;
  ds::Text hint = ds::DeleteSelectedRow(list->rows(), state.current.role, state.mode, keepSelection);
  list->Refresh();
  list->ScrollIntoView(std::as_const(*list).rows().selected);
  v.c.statusBar.SetText(hint);
}

void OpenForAdding(const EditingView& v, const AppState& state) {
  if (!v.inputWindow) return;
  RECT main;
  GetWindowRect(v.owner, &main);
  v.inputWindow->Open(InputWindow::Mode::kAdd, ds::AddPrompt(state.mode), main, v.c.splitter.Bounds().y);
}

// The replace question has no owner, so it disables no window by itself:
// both windows stay disabled while an add runs, and a list refilled all the
// same (by input queued before) is not overwritten.
class DisabledWhileAdding {
 public:
  DisabledWhileAdding(HWND main, HWND input) : main_(main), input_(input) {
    EnableWindow(main_, FALSE);
    EnableWindow(input_, FALSE);
  }
  ~DisabledWhileAdding() {
    EnableWindow(input_, TRUE);
    EnableWindow(main_, TRUE);
  }

 private:
  HWND main_, input_;
};

void ConfirmAdd(const EditingView& v, AppState& state) {
  InputWindow& w = *v.inputWindow;
  std::string typed = w.entryBox.GetText();
  ui::ListView* list = state.current.list;
  if (typed.empty() || !list) {
    w.Dismiss();
    w.mode = InputWindow::Mode::kModify;
    return;
  }
  ds::Slot slot = list == &v.c.slot2Items ? ds::Slot::k2 : ds::Slot::k1;
  if (ds::HasSeparator(typed, state.separators)) v.c.reportBox.SetText(ds::texts::kWaitingForAnalysis);
  unsigned parses = state.parses;
  ds::AddOutcome out;
  {
    DisabledWhileAdding disabled(v.owner, w.hwnd());
    out = ds::AddItems(list->rows(), typed, state.separators, state.mode, slot,
                       [](std::string_view text, std::string_view title) { return AskYesNo(nullptr, text, title); });
  }
  if (parses != state.parses) {
    // The list was parsed anew meanwhile: the text stays to be added again.
    v.c.statusBar.SetText(ds::texts::kAddListChanged);
    w.entryBox.Focus();
    return;
  }
  if (out.status) v.c.statusBar.SetText(*out.status);
  // Nothing to cut it with: the text stays for the user to mend.
  if (out.refused) return;
  // Into the list the items were typed for, even if the question let the
  // focus move on.
  list->rows() = std::move(out.list);
  list->rows().selected = out.selectRow;
  list->Refresh();
  list->ScrollIntoView(out.selectRow);
  for (int column : {0, 1, 2}) list->QueueFitColumn(column);
  if (out.report) v.c.reportBox.SetText(*out.report);
  w.Dismiss();
  w.mode = InputWindow::Mode::kModify;
}

void ConfirmModify(const EditingView& v, AppState& state) {
  InputWindow& w = *v.inputWindow;
  if (ui::ListView* list = state.current.list) {
    std::optional<ds::Text> hint =
        ds::ModifyRow(list->rows(), state.modifiedRow, w.entryBox.GetText(), state.current.role);
    list->Redraw();
    if (hint) v.c.statusBar.SetText(*hint);
  }
  w.Dismiss();
}

void AnalyseEntryAsCookies(const EditingView& v, AppState& state) {
  const ds::Row* row = SelectedOfCurrent(state);
  ds::Text value(row ? row->Cell(2) : std::string_view());
  bool slot1 = state.current.role == ds::ListRole::kSlot1Items;
  (slot1 ? v.c.slot1Input : v.c.slot2Input).SetText(value);
  SwitchMode(v.c, state, ds::AnalysisMode::kCookies);
}

}  // namespace

void OpenListMenu(const EditingView& v, AppState& state, ui::ListView& list, int x, int y) {
  MainControls& c = v.c;
  ds::ListRole role = RoleOf(c, &list);
  bool itemList = role == ds::ListRole::kSlot1Items || role == ds::ListRole::kSlot2Items;
  // Item lists are prepared before they become the current list, the others after.
  if (!itemList) {
    state.current.list = &list;
    if (role == ds::ListRole::kDifferences && !std::as_const(list).rows().SelectedRow()) return;
  }
  const ds::Row* selected = SelectedOfCurrent(state);
  ds::MenuPlan plan = ds::PlanListMenu({c.slot1Items.HasFocus(), c.slot2Items.HasFocus(), state.current.role,
                                        ds::Text(selected ? selected->Cell(1) : std::string_view()), c.differenceList.RowCount(),
                                        state.ignorePatterns.size()});
  for (int i = 0; i < ds::kMenuEntryCount; ++i) {
    c.listMenu.SetVisible(i + 1, plan.visible[static_cast<size_t>(i)]);
    if (const std::optional<ds::Text>& caption = plan.caption[static_cast<size_t>(i)])
      c.listMenu.SetCaption(i + 1, *caption);
  }
  for (ds::MenuEntry parent : {ds::MenuEntry::kCopyAllAs, ds::MenuEntry::kCopyCompletedAs}) {
    ui::PopupMenu::Submenu formats;
    for (const ds::SubmenuItem& item : ds::CopyAsItems(parent, state.mode)) formats.emplace_back(item.id, item.caption);
    c.listMenu.SetSubmenu(MenuId(parent), std::move(formats));
  }
  if (itemList) state.current.list = &list;
  c.listMenu.OpenAt(v.owner, x + 3, y + 3);
}

void RunMenuEntry(const EditingView& v, AppState& state, ds::MenuEntry entry) {
  using E = ds::MenuEntry;
  switch (entry) {
    case E::kAnalyseEntry: AnalyseEntryAsCookies(v, state); break;
    case E::kCopySlot1Form: CopyRowPart(v, state, ds::RowCopy::kSlot1Form); break;
    case E::kCopySlot2Form: CopyRowPart(v, state, ds::RowCopy::kSlot2Form); break;
    case E::kCopyAll: CopyAll(v, state); break;
    case E::kCopyLine: CopyRowPart(v, state, ds::RowCopy::kLine); break;
    case E::kCopyName: CopyRowPart(v, state, ds::RowCopy::kName); break;
    case E::kCopyValue: CopyRowPart(v, state, ds::RowCopy::kValue); break;
    case E::kCopyCompleted: CopyCompleted(v, state); break;
    case E::kReplaceWithSlot1: Replace(v, state, ds::Slot::k2); break;
    case E::kReplaceWithSlot2: Replace(v, state, ds::Slot::k1); break;
    case E::kSwap: Swap(v, state); break;
    case E::kModify: OpenForModifying(v, state); break;
    case E::kDelete: DeleteSelected(v, state, false); break;
    case E::kAdd: OpenForAdding(v, state); break;
    case E::kDecodeCompare: ShowDecodedComparison(v, state); break;
    case E::kIgnoreItem: IgnoreSelectedName(v, state); break;
    case E::kClearIgnoreList: ClearIgnoreList(v, state); break;
    case E::kSeparator2:
    case E::kSeparator10:
    case E::kSeparator14:
    case E::kSeparator18:
    case E::kSeparator22:
    case E::kCopyAllAs:        // submenus: their formats are chosen instead
    case E::kCopyCompletedAs: break;
  }
}

void RunMenuCommand(const EditingView& v, AppState& state, int id) {
  if (std::optional<ds::CopyAsChoice> choice = ds::CopyAsChoiceOf(id)) {
    if (choice->parent == ds::MenuEntry::kCopyAllAs)
      CopyAllAs(v, state, *choice);
    else
      CopyCompletedAs(v, state, *choice);
    return;
  }
  RunMenuEntry(v, state, static_cast<ds::MenuEntry>(id));
}

void ModifyOnDoubleClick(const EditingView& v, AppState& state, ds::Slot slot) {
  ui::ListView& items = v.c.Items(slot);
  if (!std::as_const(items).rows().SelectedRow()) return;
  state.current = {&items, ds::ItemsRole(slot)};
  OpenForModifying(v, state);
}

void OpenForModifying(const EditingView& v, AppState& state) {
  const ds::Row* row = SelectedOfCurrent(state);
  if (!row || !v.inputWindow) return;
  state.modifiedRow = std::as_const(*state.current.list).rows().selected;
  ds::Text prompt = ds::ModifyPrompt(row->Cell(1), state.mode);
  v.inputWindow->entryBox.SetText(row->Cell(2));
  RECT main;
  GetWindowRect(v.owner, &main);
  v.inputWindow->Open(InputWindow::Mode::kModify, prompt, main, v.c.splitter.Bounds().y);
}

void ConfirmInput(const EditingView& v, AppState& state) {
  if (!v.inputWindow) return;
  if (v.inputWindow->mode == InputWindow::Mode::kAdd)
    ConfirmAdd(v, state);
  else
    ConfirmModify(v, state);
}

void DeleteWithKey(const EditingView& v, AppState& state, ds::Slot slot) {
  // The key belongs to the list it was pressed in, whichever list was current.
  state.current = {&v.c.Items(slot), ds::ItemsRole(slot)};
  DeleteSelected(v, state, true);
}

void Reload(const EditingView& v, AppState& state) {
  MainControls& c = v.c;
  for (ds::Slot slot : ds::kSlots) ParseSlotIntoWindow(c.Input(slot), SlotViewOf(c, slot), state, slot);
  for (ui::ListView* list : {&c.slot1Missing, &c.slot2Missing, &c.differenceList}) list->Clear();
  c.contentBox.SetText("");
  c.statusBar.SetText(ds::ReloadHint());
}

}  // namespace app
