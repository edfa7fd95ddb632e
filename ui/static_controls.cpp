#include "ui/static_controls.h"

namespace ui {
Panel::~Panel() {
  if (brush_) DeleteObject(brush_);
}

bool Panel::Create(const CreateArgs& args) {
  return CreateOwnClassWindow(L"DualsievePanel", args, WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                              LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

void Panel::SetBackground(COLORREF colour) {
  if (brush_) DeleteObject(brush_);
  brush_ = CreateSolidBrush(colour);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND && brush_) {
    RECT r;
    GetClientRect(hwnd(), &r);
    FillRect(reinterpret_cast<HDC>(wp), &r, brush_);
    return 1;
  }
  // Labels and check boxes paint on the panel's colour.
  if ((msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) && brush_) {
    LOGBRUSH lb;
    GetObjectW(brush_, sizeof lb, &lb);
    SetBkColor(reinterpret_cast<HDC>(wp), lb.lbColor);
    return reinterpret_cast<LRESULT>(brush_);
  }
  return Control::HandleMessage(msg, wp, lp);
}

}  // namespace ui
