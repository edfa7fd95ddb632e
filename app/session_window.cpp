#include "app/session_window.h"

#include "app/main_window_design.h"
#include "app/texts.h"
#include "ui/dpi.h"

namespace app {

bool SessionWindow::Create(HWND owner) {
  if (!Window::Create(SecondaryWindowDesign(texts::kSessionCaption, 760, 420, owner, WS_OVERLAPPEDWINDOW)))
    return false;
  ui::ListView::Args args;
  args.parent = hwnd();
  SIZE client = ClientSize();
  args.bounds = {0, 0, client.cx, client.cy};
  args.exStyle = WS_EX_CLIENTEDGE;
  int dpi = ui::DpiOf(owner);
  args.columns = {{"-", ui::Scaled(40, dpi)},
                  {texts::kSessionColumnResult, ui::Scaled(60, dpi)},
                  {texts::kSessionColumnMethod, ui::Scaled(60, dpi)},
                  {texts::kSessionColumnPath, ui::Scaled(300, dpi)},
                  {texts::kSessionColumnStatus, ui::Scaled(80, dpi)},
                  {texts::kSessionColumnDifferences, ui::Scaled(400, dpi)}};
  if (!list.Create(args)) return false;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(owner, WM_GETFONT, 0, 0));
  if (font) list.SetFont(font);
  list.onDoubleClick = [this] { ChooseSelected(); };
  list.onKeyDown = [this](UINT key) {
    if (key == VK_RETURN) ChooseSelected();
    if (key == VK_ESCAPE) Show(false);
  };
  return true;
}

void SessionWindow::ShowPairs(HarEntries a, HarEntries b, const ds::SessionsInput& in) {
  a_ = std::move(a);
  b_ = std::move(b);
  pairs_ = ds::CompareSessions(*a_, *b_, in);
  ds::RowTable& rows = list.rows();
  rows.rows.clear();
  rows.rows.reserve(pairs_.size());
  for (size_t i = 0; i < pairs_.size(); ++i) {
    const ds::PairDiff& d = pairs_[i];
    std::string status = ds::PairStatus(d);
    rows.rows.push_back(ds::Row{std::to_string(i + 1), ds::PairVerdict(d), d.method, d.Where(),
                                status, ds::PairDifferences(d, in.mode)});
  }
  // The first pair that differs is where the user looks first.
  rows.selected = pairs_.empty() ? -1 : 0;
  for (size_t i = 0; i < pairs_.size(); ++i)
    if (!pairs_[i].Same()) {
      rows.selected = static_cast<int>(i);
      break;
    }
  list.Refresh();
  if (rows.selected >= 0) list.ScrollIntoView(rows.selected);
  Show(true);
  list.Focus();
}

void SessionWindow::ChooseSelected() {
  int row = list.SelectedRow();
  if (row < 0 || static_cast<size_t>(row) >= pairs_.size() || !onChoose) return;
  const ds::RequestPair& p = pairs_[static_cast<size_t>(row)].pair;
  onChoose(p.a ? &(*a_)[*p.a] : nullptr, p.b ? &(*b_)[*p.b] : nullptr);
}

LRESULT SessionWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) {  // hide instead of closing
    Show(false);
    return 0;
  }
  if (msg == WM_SIZE && list.hwnd()) list.Resize(LOWORD(lp), HIWORD(lp));
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace app
