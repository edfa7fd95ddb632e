#include "app/input_window.h"

#include <algorithm>

#include "app/keys.h"
#include "app/main_window_design.h"
#include "ui/dpi.h"

namespace app {
namespace {

constexpr int kInputDesignWidth = 513, kInputDesignHeight = 479;
constexpr int kBelowSplitter = 30;
constexpr ui::Rect kEntryDesign{4, 21, 460, 408}, kPromptDesign{6, 438, 459, 12};

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
  int dpi = ui::DpiOf(hwnd());
  ui::EditBox::Args entry;
  static_cast<ui::CreateArgs&>(entry) = At(hwnd(), ScaledToDpi(kEntryDesign, dpi));
  entry.multiline = true;
  entry.exStyle = WS_EX_CLIENTEDGE;
  if (!background.Create(At(hwnd(), ScaledToDpi({0, 0, kInputDesignWidth, kInputDesignHeight}, dpi))) ||
      !entryBox.Create(entry) || !promptLine.Create(At(hwnd(), ScaledToDpi(kPromptDesign, dpi))))
    return false;
  // The background lies behind the entry box and the prompt line.
  entryBox.BringToTop();
  promptLine.BringToTop();
  if (font) SetFont(font);
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

void InputWindow::SetFont(HFONT font) {
  entryBox.SetFont(font);
  promptLine.SetFont(font);
}

// Placed from the designed pixels at the DPI of the moment, so that a move to
// a monitor of another DPI is followed at the next placing.
void InputWindow::Place(const RECT& main, int splitterTop) {
  int dpi = ui::DpiOf(hwnd());
  auto px = [dpi](int designed) { return ui::Scaled(designed, dpi); };
  int width = main.right - main.left;
  int height = (main.bottom - main.top) - splitterTop - px(kBelowSplitter);
  SetWindowPos(hwnd(), HWND_TOP, main.left, main.top + splitterTop + px(kBelowSplitter), width, height,
               SWP_NOACTIVATE);
  ui::KeepInsideWorkArea(hwnd());
  width = Size().cx;
  height = Size().cy;
  SIZE client = ClientSize();
  // The designed line is shorter than the font's: the prompt takes the font's
  // height, and the entry box gives up what it takes beyond the design.
  int promptHeight = std::max(px(kPromptDesign.height), promptLine.LineHeight());
  int taken = promptHeight - px(kPromptDesign.height);
  entryBox.SetBounds({px(4), px(12), client.cx - px(8), height - px(26) - taken});
  background.SetBounds({0, 0, width, height});
  promptLine.SetBounds({px(5), height - promptHeight - px(1), client.cx - px(8), promptHeight});
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
