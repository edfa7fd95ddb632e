#include "ui/control.h"

#include <cassert>
#include <unordered_map>

#include "ui/text_convert.h"
#include "ui/window.h"

namespace ui {
namespace {

// Each control's object by its window. Not a window property: every message
// to a control looks its object up, and under Wine reading a property is a
// round trip to the window server (a step through a list: a hundred). A
// window's messages run on the thread that made it, which alone uses its entry.
std::unordered_map<HWND, Control*>& Controls() {
  thread_local std::unordered_map<HWND, Control*> controls;
  return controls;
}

void Forget(HWND hwnd, const Control* control) {
  auto it = Controls().find(hwnd);
  if (it != Controls().end() && it->second == control) Controls().erase(it);
}

// The character the message loop will post for a key pressed now: Enter
// types CR, Esc ESC, Ctrl with a letter its control code.
WPARAM CharOfKey(UINT key) {
  if (key == VK_RETURN) return L'\r';
  if (key == VK_ESCAPE) return 0x1B;
  if (key >= 'A' && key <= 'Z' && (GetKeyState(VK_CONTROL) & 0x8000)) return key - 'A' + 1;
  return 0;
}
constexpr UINT kDeferredMessage = WM_APP + 2;  // WM_APP + 1 is the list view's column fit
}

Control::~Control() { Detach(); }

void Control::Detach() {
  if (hwnd_) Forget(hwnd_, this);
  if (hwnd_ && IsWindow(hwnd_) && original_)
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  original_ = nullptr;
}

Control* Control::FromHandle(HWND hwnd) {
  auto it = Controls().find(hwnd);
  return it == Controls().end() ? nullptr : it->second;
}

bool Control::CreateWindowOf(const wchar_t* className, const CreateArgs& a, DWORD baseStyle) {
  DWORD style = WS_CHILD | baseStyle | a.style | (a.visible ? WS_VISIBLE : 0);
  std::wstring text = ToWide(a.text).text;
  hwnd_ = CreateWindowExW(a.exStyle, className, text.c_str(), style, a.bounds.x, a.bounds.y, a.bounds.width,
                          a.bounds.height, a.parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hwnd_) return false;
  Controls()[hwnd_] = this;
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::SubclassProc)));
  return true;
}

bool Control::CreateOwnClassWindow(const wchar_t* className, const CreateArgs& args, DWORD baseStyle, HCURSOR cursor) {
  return RegisterWindowClass(className, DefWindowProcW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), cursor) &&
         CreateWindowOf(className, args, baseStyle);
}

namespace {
int droppedEvents = 0;  // the user-interface thread's only
}  // namespace

int DroppedEvents() { return droppedEvents; }
void NoteDroppedEvent() { ++droppedEvents; }

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Control* self = FromHandle(hwnd);
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT result = Guarded([&] { return self->HandleMessage(msg, wp, lp); });
  // A later window may be given the same handle.
  if (msg == WM_NCDESTROY) Forget(hwnd, self);
  return result;
}

LRESULT Control::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETFOCUS: {
      LRESULT r = CallOriginal(msg, wp, lp);
      FocusChange change;
      if (onFocus) onFocus();
      return r;
    }
    case WM_KILLFOCUS: {
      LRESULT r = CallOriginal(msg, wp, lp);
      losingFocusTo_ = reinterpret_cast<HWND>(wp);
      FocusChange change;
      if (onBlur) onBlur();
      losingFocusTo_ = nullptr;
      return r;
    }
    case WM_KEYDOWN:
      swallowChar_ = 0;
      if (onKeyDown) onKeyDown(static_cast<UINT>(wp));
      if (onKeyCommand) {
        // Set before the command runs: a window it opens runs a message loop
        // that hands this key's character (already queued) to the control,
        // which would act on it too (Ctrl+V pastes).
        swallowChar_ = CharOfKey(static_cast<UINT>(wp));
        if (onKeyCommand(static_cast<UINT>(wp))) return 0;
        swallowChar_ = 0;
      }
      break;
    case WM_CHAR:
      if (swallowChar_ != 0 && wp == swallowChar_) {
        swallowChar_ = 0;
        return 0;
      }
      break;
    case WM_LBUTTONUP: {
      LRESULT r = CallOriginal(msg, wp, lp);
      if (onMouseUp) onMouseUp();
      return r;
    }
    case WM_LBUTTONDOWN: {
      LRESULT r = CallOriginal(msg, wp, lp);
      if (onMouseDown) onMouseDown();
      return r;
    }
    case kDeferredMessage:
      if (onDeferred) onDeferred();
      return 0;
    case WM_COMMAND:
    case WM_NOTIFY: {
      LRESULT r = 0;
      if (ReflectToControl(msg, wp, lp, &r)) return r;
      break;
    }
    default:
      break;
  }
  return CallOriginal(msg, wp, lp);
}

LRESULT Control::CallOriginal(UINT msg, WPARAM wp, LPARAM lp) {
  return original_ ? CallWindowProcW(original_, hwnd_, msg, wp, lp) : DefWindowProcW(hwnd_, msg, wp, lp);
}

bool Control::SetText(std::string_view gbk) {
  assert(hwnd_);
  return SetWindowTextGbk(hwnd_, gbk);
}

std::string Control::GetText(bool* complete) const {
  assert(hwnd_);
  return WindowTextGbk(hwnd_, complete);
}

void Control::PostDeferred() { PostMessageW(hwnd_, kDeferredMessage, 0, 0); }

void Control::Show(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }
bool Control::IsVisible() const { return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }
void Control::Enable(bool enabled) { EnableWindow(hwnd_, enabled); }
void Control::Focus() { SetFocus(hwnd_); }
bool Control::HasFocus() const { return GetFocus() == hwnd_; }

Rect Control::Bounds() const {
  RECT r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Control::SetBounds(const Rect& r) { MoveWindow(hwnd_, r.x, r.y, r.width, r.height, TRUE); }

void SetBoundsTogether(HWND parent, const std::vector<std::pair<Control*, Rect>>& moves) {
  HDWP batch = BeginDeferWindowPos(static_cast<int>(moves.size()));
  constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS;
  for (const auto& [control, r] : moves)
    if (batch) batch = DeferWindowPos(batch, control->hwnd(), nullptr, r.x, r.y, r.width, r.height, kFlags);
  if (batch) {
    EndDeferWindowPos(batch);
  } else {  // out of memory for the batch: one by one
    for (const auto& [control, r] : moves) control->SetBounds(r);
  }
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void Control::Move(int x, int y) {
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::Resize(int width, int height) {
  SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::BringToTop() { SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }
void Control::Redraw() { RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW); }
void Control::SetFont(HFONT font) { SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

int Control::LineHeight() const {
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  return metrics.tmHeight;
}

bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background, HCURSOR cursor, HICON icon) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW known{sizeof known, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}};
  if (GetClassInfoExW(instance, name, &known)) return true;
  WNDCLASSEXW wc{sizeof wc, 0, procedure, 0, 0, instance, icon, cursor, background, nullptr, name, nullptr};
  return RegisterClassExW(&wc) != 0;
}

bool ReflectToControl(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg == WM_COMMAND && lp) {
    if (Control* c = Control::FromHandle(reinterpret_cast<HWND>(lp))) {
      c->OnCommand(HIWORD(wp));
      *result = 0;
      return true;
    }
  } else if (msg == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lp);
    if (Control* c = Control::FromHandle(header->hwndFrom)) {
      *result = c->OnNotify(header);
      return true;
    }
  }
  return false;
}

}  // namespace ui
