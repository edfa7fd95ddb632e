#include "app/analyse.h"

#include "app/message_boxes.h"
#include "compare/session.h"

namespace app {
void FillResultList(ui::ListView& list, std::vector<ds::Row> rows) {
  list.rows().rows = std::move(rows);
  list.rows().selected = -1;
  list.Refresh();
}

void RunAnalyse(const AnalyseView& v, AppState& state) {
  // The duplicate question lets queued input run, and a slot may be parsed
  // anew meanwhile: the run then starts again on the lists as they are now,
  // with the answer already given.
  std::optional<bool> answer;
  HWND owner = v.owner;
  auto ask = [&answer, owner](std::string_view text, std::string_view title) {
    if (!answer) answer = AskYesNo(owner, text, title);
    return *answer;
  };
  ds::AnalyseResult result;
  unsigned parses;
  do {
    parses = state.parses;
    std::string lineBox = v.lineSeparatorBox.GetText(), valueBox = v.valueSeparatorBox.GetText();
    std::string slot1 = v.slot1Input.GetText(), slot2 = v.slot2Input.GetText();
    result = ds::RunAnalyse(
        {lineBox, valueBox, slot1, slot2, state.mode, RuleOf(v.caseSensitiveSwitch, v.exactMatchSwitch),
         state.ignorePatterns},
        v.slot1Items.rows(), v.slot2Items.rows(), ask);
  } while (parses != state.parses);
  if (std::optional<ds::Refusal> refusal = ds::RefusalOf(result.stop)) {
    ShowRefusal(owner, refusal->text, refusal->title);
    return;
  }
  if (result.stop != ds::AnalyseStop::kRan) return;

  v.slot1Items.rows() = std::move(result.slot1);
  v.slot2Items.rows() = std::move(result.slot2);
  v.slot1Items.Refresh();
  v.slot2Items.Refresh();
  v.contentBox.SetText(result.duplicateNotes);
  v.differenceList.Clear();
  v.statusBar.SetText(result.summary);
  state.ignoredNames = std::move(result.ignored);
  FillResultList(v.slot1Missing, std::move(result.lists.missingInSlot1));
  FillResultList(v.slot2Missing, std::move(result.lists.missingInSlot2));
  FillResultList(v.differenceList, std::move(result.lists.different));
  for (ui::ListView* list : {&v.slot1Missing, &v.slot2Missing}) {
    list->QueueFitColumn(0);
    list->QueueFitColumn(1);
  }
}

}  // namespace app
