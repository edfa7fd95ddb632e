#include "app/input_window.h"

#include "app/keys.h"
#include "app/main_window_design.h"

namespace app {
namespace {

constexpr int kInputDesignWidth = 513, kInputDesignHeight = 479;
constexpr int kBelowSplitter = 30;

// The background lies under the other two: none paints over a sibling.
ui::CreateArgs At(HWND parent, ui::Rect bounds) {
  ui::CreateArgs a;
  a.parent = parent;
  a.bounds = bounds;
  a.style = WS_CLIPSIBLINGS;
  return a;
}

}  // namespace

bool InputWindow::Create(HWND owner, HFONT font) {
  if (!Window::Create(SecondaryWindowDesign("", kInputDesignWidth, kInputDesignHeight, owner, WS_POPUP | WS_CLIPCHILDREN))) return false;
  ui::EditBox::Args entry;
  static_cast<ui::CreateArgs&>(entry) = At(hwnd(), {4, 21, 460, 408});
  entry.multiline = true;
  entry.exStyle = WS_EX_CLIENTEDGE;
  if (!background.Create(At(hwnd(), {0, 0, kInputDesignWidth, kInputDesignHeight})) || !entryBox.Create(entry) ||
      !promptLine.Create(At(hwnd(), {6, 438, 459, 12})))
    return false;
  // The background lies behind the entry box and the prompt line.
  entryBox.BringToTop();
  promptLine.BringToTop();
  if (font) {
    entryBox.SetFont(font);
    promptLine.SetFont(font);
  }
  entryBox.onKeyCommand = [this](UINT key) {
    if (IsCtrlA(key)) {
      entryBox.SelectAll();
      return true;
    }
    if (key == VK_RETURN) {
      if (onConfirm) onConfirm();
      return true;
    }
    if (key == VK_ESCAPE) {
      PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      return true;
    }
    return false;
  };
  // Leaving an edit unconfirmed drops it; a half-typed add stays while the
  // user copies more text from elsewhere.
  entryBox.onBlur = [this] {
    if (mode == Mode::kModify && IsShown()) Dismiss();
  };
  return true;
}

void InputWindow::Place(const RECT& main, int splitterTop) {
  int width = main.right - main.left;
  int height = (main.bottom - main.top) - splitterTop - kBelowSplitter;
  SetWindowPos(hwnd(), HWND_TOP, main.left, main.top + splitterTop + kBelowSplitter, width, height, SWP_NOACTIVATE);
  SIZE client = ClientSize();
  entryBox.SetBounds({4, 12, client.cx - 8, height - 26});
  background.SetBounds({0, 0, width, height});
  int promptHeight = promptLine.Bounds().height;
  promptLine.SetBounds({5, height - promptHeight - 1, client.cx - 8, promptHeight});
  entryBox.Select(0, 0);
}

void InputWindow::Open(Mode newMode, std::string_view prompt, const RECT& main, int splitterTop) {
  mode = newMode;
  Place(main, splitterTop);
  promptLine.SetText(prompt);
  Show(true);
  entryBox.Focus();
}

void InputWindow::Dismiss() {
  Show(false);
  entryBox.SetText("");
}

LRESULT InputWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) {  // a close request hides the window and keeps its text
    Show(false);
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace app
