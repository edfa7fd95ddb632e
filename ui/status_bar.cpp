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
  WideText wide = ToWide(gbk);
  SendMessageW(hwnd(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide.text.c_str()));
  return wide.complete;
}

std::string StatusBar::GetText() const {
  LRESULT info = SendMessageW(hwnd(), SB_GETTEXTLENGTHW, 0, 0);
  std::wstring wide(static_cast<size_t>(LOWORD(info)) + 1, L'\0');
  SendMessageW(hwnd(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(wide.data()));
  wide.resize(LOWORD(info));
  return ToGbk(wide).text;
}

}  // namespace ui
