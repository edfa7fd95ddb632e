#include "app/detail_window.h"

#include <algorithm>

#include "app/keys.h"
#include "app/layout.h"
#include "app/main_window_design.h"
#include "app/texts.h"
#include "ui/dpi.h"

namespace app {
namespace {

constexpr ui::Rect kCloseButtonDesign{588, 388, 18, 18};
constexpr ui::Rect kDetailBoxDesign{0, 0, 460, 408};

}  // namespace

bool DetailWindow::Create(HWND owner) {
  if (!Window::Create(SecondaryWindowDesign(texts::kDetailCaption, 513, 479, owner, WS_OVERLAPPEDWINDOW)))
    return false;
  int dpi = ui::DpiOf(hwnd());
  ui::EditBox::Args box;
  box.parent = hwnd();
  box.bounds = ScaledToDpi(kDetailBoxDesign, dpi);
  box.multiline = true;
  box.exStyle = WS_EX_CLIENTEDGE;
  box.style = WS_CLIPSIBLINGS;  // the close button lies over it
  ui::CreateArgs close;
  close.parent = hwnd();
  close.bounds = ScaledToDpi(kCloseButtonDesign, dpi);
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

// From the designed pixels at the DPI of the moment, like the input window.
void DetailWindow::Place(const RECT& main, int height, std::string_view text) {
  int dpi = ui::DpiOf(hwnd());
  int width = (main.right - main.left) - ui::Scaled(22, dpi);
  SetWindowPos(hwnd(), nullptr, main.left + ui::Scaled(6, dpi), main.top + ui::Scaled(30, dpi), width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  ui::KeepInsideWorkArea(hwnd());
  // Its designed height, unless that is more than the window holds: the
  // bottom scroll arrow must show.
  int boxHeight = std::min<int>(ui::Scaled(kDetailBoxDesign.height, dpi), ClientSize().cy);
  detailBox.Resize(Size().cx - ui::Scaled(10, dpi), boxHeight);
  PlaceCloseButton();
  detailBox.SetText(text);
  int end = GetWindowTextLengthW(detailBox.hwnd());
  detailBox.Select(end, end);
}

// The close button's designed place lies outside the window at every size it
// is shown at: it stays inside, over the box, however the window is sized.
void DetailWindow::PlaceCloseButton() {
  SIZE client = ClientSize();
  ui::Rect design = ScaledToDpi(kCloseButtonDesign, ui::DpiOf(hwnd()));
  Box spot = NearestVisibleSpot({design.x, design.y, design.width, design.height}, {0, 0, client.cx, client.cy}, {});
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
