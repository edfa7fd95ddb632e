// Base of every control wrapper: holds the HWND, reflects the parent's
// WM_COMMAND and WM_NOTIFY back to the wrapper, and subclasses the control so
// focus, key and mouse events reach the wrapper as plain callbacks.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ui {

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
};

struct CreateArgs {
  HWND parent = nullptr;
  Rect bounds;
  std::string text;  // GBK
  bool visible = true;
  DWORD style = 0;
  DWORD exStyle = 0;
};

class Control {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  HWND hwnd() const { return hwnd_; }

  // The control's own messages no longer reach the wrapper (its events stop);
  // the control itself stays.
  void Detach();

  // GBK text of the window; a text that does not fully convert still shows
  // (or reads as) what converts, and the caller is told: SetText's result,
  // GetText's `complete` (false when a character became "?").
  virtual bool SetText(std::string_view gbk);
  virtual std::string GetText(bool* complete = nullptr) const;

  void Show(bool visible);
  bool IsVisible() const;
  void Enable(bool enabled);
  void Focus();
  bool HasFocus() const;
  // Inside onBlur: whether the focus is moving to `other`.
  bool LosingFocusTo(const Control& other) const { return losingFocusTo_ && losingFocusTo_ == other.hwnd_; }

  Rect Bounds() const;  // relative to the parent's client area
  void SetBounds(const Rect& r);
  void Move(int x, int y);
  void Resize(int width, int height);
  void BringToTop();
  virtual void Redraw();  // after what it shows changed
  void SetFont(HFONT font);
  int LineHeight() const;  // of one line of text in the control's font

  std::function<void()> onFocus;
  std::function<void()> onBlur;
  std::function<void(UINT key)> onKeyDown;  // WM_KEYDOWN before the control sees it
  // A key the program takes for itself: true keeps the key, and the character
  // it types, from the control (Enter in a multi-line box, for instance).
  std::function<bool(UINT key)> onKeyCommand;
  std::function<void()> onMouseUp;          // left button released
  std::function<void()> onMouseDown;        // left button pressed, after the control took the press

  // Runs onDeferred once the messages already queued have run: a message
  // posted to the control itself, so nothing outlives the control.
  void PostDeferred();
  std::function<void()> onDeferred;

  // Routed here by the parent's reflection.
  virtual void OnCommand(UINT /*code*/) {}
  virtual LRESULT OnNotify(NMHDR* /*header*/) { return 0; }

  static Control* FromHandle(HWND hwnd);

 protected:
  bool CreateWindowOf(const wchar_t* className, const CreateArgs& args, DWORD baseStyle);
  // A plain window class of this program's, registered on first use.
  bool CreateOwnClassWindow(const wchar_t* className, const CreateArgs& args, DWORD baseStyle,
                            HCURSOR cursor = nullptr);
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT CallOriginal(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;
  WPARAM swallowChar_ = 0;  // the character of a key taken by onKeyCommand
  HWND losingFocusTo_ = nullptr;
};

// Events dropped so far because their handling threw; the tests expect none.
int DroppedEvents();
void NoteDroppedEvent();

// Runs a window procedure's handling. No exception may unwind through
// Windows: one that escapes drops the event.
template <typename Handle>
LRESULT Guarded(Handle handle) noexcept {
  try {
    return handle();
  } catch (...) {
    NoteDroppedEvent();
    return 0;
  }
}

// Registers a window class of this program once; later calls only answer
// whether it is registered.
bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background, HCURSOR cursor = nullptr,
                         HICON icon = nullptr);

// What a container does with WM_COMMAND / WM_NOTIFY from its children: hands
// them to the wrapper that sent them. Returns true when one took it.
bool ReflectToControl(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

// Moves and sizes several children of `parent` in one pass, then repaints
// the parent once: moved one by one, each would repaint what it uncovered.
void SetBoundsTogether(HWND parent, const std::vector<std::pair<Control*, Rect>>& moves);

}  // namespace ui
