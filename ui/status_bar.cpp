#include "ui/status_bar.h"

#include <commctrl.h>

#include "ui/text_convert.h"

namespace ui {

bool StatusBar::Create(const CreateArgs& args) {
  CreateArgs a = args;
  std::string text = a.text;
  a.text.clear();
  // Placed by its design bounds rather than docked by the control itself.
  if (!CreateWindowOf(STATUSCLASSNAMEW, a, CCS_NORESIZE | CCS_NOPARENTALIGN)) return false;
  int right = -1;
  SendMessageW(hwnd(), SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right));
  SetText(text);
  return true;
}

bool StatusBar::SetText(std::string_view gbk) {
  text_.assign(gbk);
  WideText wide = ToWide(gbk);
  // A hint may echo a whole pasted text; the bar shows one line of it, and
  // measuring megabytes on every repaint would stall the window.
  constexpr size_t kShown = 1024;
  if (wide.text.size() > kShown) wide.text.resize(kShown);
  SendMessageW(hwnd(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide.text.c_str()));
  return wide.complete;
}

}  // namespace ui
