#include "app/detail_window.h"

#include "app/keys.h"
#include "app/layout.h"
#include "app/main_window_design.h"
#include "app/texts.h"

namespace app {
namespace {

constexpr Box kCloseButtonDesign{588, 388, 18, 18};

}  // namespace

bool DetailWindow::Create(HWND owner) {
  if (!Window::Create(SecondaryWindowDesign(texts::kDetailCaption, 513, 479, owner, WS_OVERLAPPEDWINDOW)))
    return false;
  ui::EditBox::Args box;
  box.parent = hwnd();
  box.bounds = {0, 0, 460, 408};
  box.multiline = true;
  box.exStyle = WS_EX_CLIENTEDGE;
  ui::CreateArgs close;
  close.parent = hwnd();
  close.bounds = {kCloseButtonDesign.left, kCloseButtonDesign.top, kCloseButtonDesign.width, kCloseButtonDesign.height};
  close.text = texts::kDetailClose;
  if (!detailBox.Create(box) || !closeButton.Create(close)) return false;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(owner, WM_GETFONT, 0, 0));
  if (font) detailBox.SetFont(font);
  closeButton.onClick = [this] { Show(false); };
  detailBox.onKeyDown = [this](UINT key) {
    if (key == VK_ESCAPE && onKeyEscape) onKeyEscape();
    if (IsCtrlA(key)) detailBox.SelectAll();
  };
  return true;
}

void DetailWindow::Place(const RECT& main, int height, std::string_view text) {
  int width = (main.right - main.left) - 22;
  SetWindowPos(hwnd(), nullptr, main.left + 6, main.top + 30, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  ui::Rect box = detailBox.Bounds();
  detailBox.Resize(width - 10, box.height);
  PlaceCloseButton();
  detailBox.SetText(text);
  int end = GetWindowTextLengthW(detailBox.hwnd());
  detailBox.Select(end, end);
}

// The close button's designed place lies outside the window at every size it
// is shown at: it stays inside, over the box, however the window is sized.
void DetailWindow::PlaceCloseButton() {
  SIZE client = ClientSize();
  Box spot = NearestVisibleSpot(kCloseButtonDesign, {0, 0, client.cx, client.cy}, {});
  closeButton.Move(spot.left, spot.top);
  closeButton.BringToTop();
}

LRESULT DetailWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) {  // hide instead of closing
    Show(false);
    return 0;
  }
  if (msg == WM_SIZE && closeButton.hwnd()) PlaceCloseButton();
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace app
