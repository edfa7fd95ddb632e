#include "app/decoded_view.h"

#include <utility>

#include "compare/item_report.h"
#include "compare/texts.h"
#include "decode/decoded_comparison.h"
#include "items/sentence.h"

namespace app {

void ShowDecodedComparison(const EditingView& v, const AppState& state) {
  MainControls& c = v.c;
  const ds::Row* row = state.current.list ? std::as_const(*state.current.list).rows().SelectedRow() : nullptr;
  if (!row) {
    c.statusBar.SetText(ds::texts::kSelectRowHint);
    return;
  }
  ds::Text value1(row->Cell(2)), value2(row->Cell(3));
  if (state.current.list != &c.differenceList) {
    ds::Slot side = state.current.list == &c.slot1Items ? ds::Slot::k1 : ds::Slot::k2;
    const ds::RowTable& other = c.Items(ds::Other(side)).rows();
    // The counterpart as the item report finds it, under the same switches.
    ds::ItemReporter reporter(other, RuleOf(c.caseSensitiveSwitch, c.exactMatchSwitch));
    int match = reporter.Report(row, side, state.separators, state.ModeWord()).counterpart;
    if (match < 0) {
      c.statusBar.SetText(ds::FillIn(ds::texts::kDecodeNoCounterpartHint,
                                     {{"mode", state.ModeWord()}, {"other", ds::SlotLabel(ds::Other(side))}}));
      return;
    }
    std::string_view otherValue = other.rows[static_cast<size_t>(match)].Cell(2);
    value1 = side == ds::Slot::k1 ? row->Cell(2) : otherValue;
    value2 = side == ds::Slot::k1 ? otherValue : row->Cell(2);
  }
  ds::Text text;
  for (const ds::Text& line : ds::DecodedComparisonLines(ds::CompareDecoded(value1, value2)))
    text += (text.empty() ? "" : "\r\n") + line;
  if (v.showInDetail) v.showInDetail(text);
  c.statusBar.SetText(ds::FillIn(ds::texts::kDecodeShownHint, {{"name", row->Cell(1)}}));
}

}  // namespace app
