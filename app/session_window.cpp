#include "app/session_window.h"

#include <algorithm>

#include "app/main_window_design.h"
#include "app/texts.h"
#include "ui/dpi.h"

namespace app {
namespace {

constexpr int kWhyStripHeight = 96;
constexpr int kSaveA = 1, kSaveB = 2;  // the list menu's entries

}  // namespace

bool SessionWindow::Create(HWND owner) {
  if (!Window::Create(SecondaryWindowDesign(texts::kSessionCaption, 760, 420, owner, WS_OVERLAPPEDWINDOW)))
    return false;
  ui::ListView::Args args;
  args.parent = hwnd();
  SIZE client = ClientSize();
  args.exStyle = WS_EX_CLIENTEDGE;
  int dpi = ui::DpiOf(owner);
  ui::EditBox::Args why;
  why.parent = hwnd();
  why.multiline = true;
  why.readOnly = true;
  why.exStyle = WS_EX_CLIENTEDGE;
  args.columns = {{"-", ui::Scaled(40, dpi)},
                  {texts::kSessionColumnResult, ui::Scaled(60, dpi)},
                  {texts::kSessionColumnMethod, ui::Scaled(60, dpi)},
                  {texts::kSessionColumnPath, ui::Scaled(300, dpi)},
                  {texts::kSessionColumnStatus, ui::Scaled(80, dpi)},
                  {texts::kSessionColumnDifferences, ui::Scaled(400, dpi)}};
  if (!list.Create(args) || !whyBox.Create(why)) return false;
  LayOut(client.cx, client.cy);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(owner, WM_GETFONT, 0, 0));
  if (font) {
    list.SetFont(font);
    whyBox.SetFont(font);
  }
  list.onDoubleClick = [this] { ChooseSelected(); };
  list.onSelectionChanged = [this] { ShowWhy(); };
  menu_.Add(kSaveA, texts::kSaveSanitisedA);
  menu_.Add(kSaveB, texts::kSaveSanitisedB);
  menu_.onCommand = [this](int id) {
    const HarText& text = id == kSaveA ? textA_ : textB_;
    if (text && onSaveSanitised) onSaveSanitised(*text, id == kSaveA ? ds::Slot::k1 : ds::Slot::k2);
  };
  list.onRightClick = [this](int x, int y) { OpenMenu(x, y); };
  list.onMenuKey = [this](int x, int y) { OpenMenu(x, y); };
  whyBox.onKeyDown = [this](UINT key) {
    if (key == VK_ESCAPE) Show(false);
  };
  list.onKeyDown = [this](UINT key) {
    if (key == VK_RETURN) ChooseSelected();
    if (key == VK_ESCAPE) Show(false);
  };
  return true;
}

void SessionWindow::ShowPairs(HarEntries a, HarEntries b, const ds::SessionsInput& in, HarText textA, HarText textB) {
  a_ = std::move(a);
  b_ = std::move(b);
  textA_ = std::move(textA);
  textB_ = std::move(textB);
  pairs_ = ds::CompareSessions(*a_, *b_, in);
  replayA_.emplace(*a_);
  replayB_.emplace(*b_);
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
  ShowWhy();
  Show(true);
  list.Focus();
}

void SessionWindow::ShowWhy() {
  int row = list.SelectedRow();
  std::vector<ds::MissingCookieWhy> why;
  if (row >= 0 && static_cast<size_t>(row) < pairs_.size() && pairs_[static_cast<size_t>(row)].Paired()) {
    const ds::RequestPair& p = pairs_[static_cast<size_t>(row)].pair;
    why = ds::WhyCookiesMissing(*replayA_, *p.a, *replayB_, *p.b);
  }
  whyBox.SetText(why.empty() ? ds::Text() : ds::WhyHeading(why.size()) + ds::WhyLines(why));
}

// Each HAR the window holds as read can be saved sanitised.
void SessionWindow::OpenMenu(int x, int y) {
  menu_.SetVisible(kSaveA, textA_ != nullptr);
  menu_.SetVisible(kSaveB, textB_ != nullptr);
  if (textA_ || textB_) menu_.OpenAt(hwnd(), x, y);
}

// The reasons take a fixed strip at the bottom; the list the rest.
void SessionWindow::LayOut(int width, int height) {
  int strip = std::min(ui::Scaled(kWhyStripHeight, ui::DpiOf(hwnd())), height / 2);
  list.SetBounds({0, 0, width, height - strip});
  whyBox.SetBounds({0, height - strip, width, strip});
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
  if (msg == WM_SIZE && list.hwnd() && whyBox.hwnd()) LayOut(LOWORD(lp), HIWORD(lp));
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace app
