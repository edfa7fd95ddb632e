#include "ui/window.h"

#include <algorithm>

#include "ui/control.h"
#include "ui/dpi.h"
#include "ui/text_convert.h"

namespace ui {
namespace {

constexpr wchar_t kWindowClass[] = L"DualsieveWindow";

}  // namespace

Window::~Window() { Destroy(); }

void Window::Destroy() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  hwnd_ = nullptr;
}

bool Window::Create(const Args& a) {
  if (!RegisterWindowClass(kWindowClass, &Window::WindowProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                           LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)),
                           LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1))))
    return false;
  std::wstring title = ToWide(a.title).text;
  hwnd_ = CreateWindowExW(a.exStyle, kWindowClass, title.c_str(), a.style | (a.visible ? WS_VISIBLE : 0), a.x, a.y,
                          a.width, a.height, a.owner, nullptr, GetModuleHandleW(nullptr), this);
  return hwnd_ != nullptr;
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return Guarded([&] { return self->HandleMessage(msg, wp, lp); });
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if ((msg == WM_COMMAND || msg == WM_NOTIFY) && ReflectToControl(msg, wp, lp, &result)) return result;
  HWND hwnd = hwnd_;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool Window::SetTitle(std::string_view gbk) { return SetWindowTextGbk(hwnd_, gbk); }

std::string Window::Title() const { return WindowTextGbk(hwnd_); }

void Window::SetPlacement(Placement placement) {
  switch (placement) {
    case Placement::kNormal:
      ShowWindow(hwnd_, SW_RESTORE);
      break;
    case Placement::kCentred: {
      // A hidden window is only positioned; it shows where it will be.
      if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
      RECT work = WorkAreaOf(hwnd_);
      SIZE size = Size();
      int x = work.left + (work.right - work.left - size.cx) / 2;
      int y = work.top + (work.bottom - work.top - size.cy) / 2;
      SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    case Placement::kMinimised:
      ShowWindow(hwnd_, SW_MINIMIZE);
      break;
    case Placement::kMaximised:
      ShowWindow(hwnd_, SW_MAXIMIZE);
      break;
  }
}

Placement Window::CurrentPlacement() const {
  if (IsIconic(hwnd_)) return Placement::kMinimised;
  if (IsZoomed(hwnd_)) return Placement::kMaximised;
  return Placement::kNormal;
}

void Window::SetSize(int width, int height) {
  SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::SetWidth(int width) { SetSize(width, Size().cy); }

SIZE Window::Size() const {
  RECT r;
  GetWindowRect(hwnd_, &r);
  return {r.right - r.left, r.bottom - r.top};
}

SIZE Window::ClientSize() const {
  RECT r;
  GetClientRect(hwnd_, &r);
  return {r.right, r.bottom};
}

void Window::Show(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }

RECT WorkAreaOf(HWND hwnd) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

void KeepInsideWorkArea(HWND hwnd) {
  RECT work = WorkAreaOf(hwnd), r;
  GetWindowRect(hwnd, &r);
  LONG width = std::min(r.right - r.left, work.right - work.left);
  LONG height = std::min(r.bottom - r.top, work.bottom - work.top);
  LONG x = std::clamp(r.left, work.left, work.right - width);
  LONG y = std::clamp(r.top, work.top, work.bottom - height);
  if (x == r.left && y == r.top && width == r.right - r.left && height == r.bottom - r.top) return;
  SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
constexpr wchar_t kLaidOutDpi[] = L"Dualsieve.Dpi";
}  // namespace

void SetLaidOutDpi(HWND hwnd, int dpi) {
  SetPropW(hwnd, kLaidOutDpi, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
}

int DpiOf(HWND hwnd) {
  if (HWND owner = hwnd ? GetAncestor(hwnd, GA_ROOTOWNER) : nullptr) {
    if (HANDLE dpi = GetPropW(owner, kLaidOutDpi)) return static_cast<int>(reinterpret_cast<INT_PTR>(dpi));
  }
  // Windows 10 1607 and later; the program also runs on Windows 7.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (hwnd && getDpiForWindow) {
    if (UINT dpi = getDpiForWindow(hwnd)) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

namespace {
int focusChanges = 0;  // the user-interface thread's only
}  // namespace

FocusChange::FocusChange() { ++focusChanges; }
FocusChange::~FocusChange() { --focusChanges; }

void LetPendingEventsRun() {
  MSG msg;
  UINT which = focusChanges > 0 ? PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE : 0;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | which)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void RunModal(HWND window, HWND owner) {
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  MSG msg;
  while (IsWindow(window)) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!IsDialogMessageW(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
}

RedrawSuspension::RedrawSuspension(HWND hwnd) : locked_(LockWindowUpdate(hwnd) != FALSE) {}
RedrawSuspension::~RedrawSuspension() {
  if (locked_) LockWindowUpdate(nullptr);
}

DeferredRedraw::DeferredRedraw(HWND hwnd, bool frame) : hwnd_(hwnd), frame_(frame) {
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
}

DeferredRedraw::~DeferredRedraw() {
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | (frame_ ? RDW_FRAME : 0));
}

}  // namespace ui
