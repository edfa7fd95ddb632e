// Top-level window: class registration, message dispatch to a member
// function, placement, and the small window services the program relies on.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

enum class Placement { kNormal, kCentred, kMinimised, kMaximised };

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  struct Args {
    std::string title;  // GBK
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    bool visible = false;
  };
  bool Create(const Args& args);
  void Destroy();  // without running this object's handlers
  HWND hwnd() const { return hwnd_; }

  bool SetTitle(std::string_view gbk);
  std::string Title() const;
  void SetPlacement(Placement placement);
  Placement CurrentPlacement() const;
  void SetSize(int width, int height);
  void SetWidth(int width);
  SIZE Size() const;
  SIZE ClientSize() const;
  void Show(bool visible);
  void Focus() { SetFocus(hwnd_); }

 protected:
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

// The DPI `hwnd` is laid out for: the one its top-level owner was laid out
// for (SetLaidOutDpi), else the one Windows draws it at (per monitor where
// Windows tells, else the system's; the screen's for null).
int DpiOf(HWND hwnd);
// Noted by a window that lays itself out for `dpi`, for its children and the
// windows it owns.
void SetLaidOutDpi(HWND hwnd, int dpi);

// The work area (the screen less the taskbar) of the monitor `hwnd` lies on,
// or of the nearest one.
RECT WorkAreaOf(HWND hwnd);
// Moves a top-level window into its monitor's work area, and cuts it to that
// size where it is larger: no part of it lies off the screen.
void KeepInsideWorkArea(HWND hwnd);

// Runs the window messages already queued, then returns: the places where the
// program lets lists repaint and selections settle. Inside a focus change it
// leaves the mouse and keyboard input queued: the control taking the focus
// is still in the middle of its own button press, and a release dispatched
// now would be lost to it (a click on a button would not click).
void LetPendingEventsRun();

// Marks a focus change in progress for LetPendingEventsRun, for its lifetime.
class FocusChange {
 public:
  FocusChange();
  ~FocusChange();
  FocusChange(const FocusChange&) = delete;
  FocusChange& operator=(const FocusChange&) = delete;
};

// The message loop, until WM_QUIT.
int RunMessageLoop();

// Shows a window modally: its owner is disabled and a nested loop runs until
// the window is destroyed.
void RunModal(HWND window, HWND owner);

// Suspends drawing of a window (LockWindowUpdate) for the object's lifetime.
class RedrawSuspension {
 public:
  explicit RedrawSuspension(HWND hwnd);
  ~RedrawSuspension();
  RedrawSuspension(const RedrawSuspension&) = delete;
  RedrawSuspension& operator=(const RedrawSuspension&) = delete;

 private:
  bool locked_;
};

// Turns off a control's drawing (WM_SETREDRAW) while several changes land,
// then repaints it once; with `frame`, its border and scroll bars too, for a
// control moved or sized meanwhile.
class DeferredRedraw {
 public:
  explicit DeferredRedraw(HWND hwnd, bool frame = false);
  ~DeferredRedraw();
  DeferredRedraw(const DeferredRedraw&) = delete;
  DeferredRedraw& operator=(const DeferredRedraw&) = delete;

 private:
  HWND hwnd_;
  bool frame_;
};

}  // namespace ui
