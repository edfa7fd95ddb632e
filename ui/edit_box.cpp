#include "ui/edit_box.h"

#include "ui/text_convert.h"

namespace ui {

bool EditBox::Create(const Args& a) {
  DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
  if (a.multiline) style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN;
  if (a.readOnly) style |= ES_READONLY;
  if (!CreateWindowOf(L"EDIT", a, style)) return false;
  // Pastes of whole captures must not be cut at the default 30,000 characters.
  SendMessageW(hwnd(), EM_SETLIMITTEXT, 0, 0);
  return true;
}

bool EditBox::SetText(std::string_view gbk) {
  settingText_ = true;
  bool complete = Control::SetText(gbk);
  settingText_ = false;
  if (onChange) onChange();
  return complete;
}

void EditBox::OnCommand(UINT code) {
  if (code == EN_CHANGE && !settingText_ && onChange) onChange();
}

void EditBox::Select(int start, int end) { SendMessageW(hwnd(), EM_SETSEL, static_cast<WPARAM>(start), end); }

void EditBox::GetSelection(int* start, int* end) const {
  DWORD s = 0, e = 0;
  SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  if (start) *start = static_cast<int>(s);
  if (end) *end = static_cast<int>(e);
}

void EditBox::SetReadOnly(bool readOnly) { SendMessageW(hwnd(), EM_SETREADONLY, readOnly, 0); }

void EditBox::ReplaceSelection(std::string_view gbk) {
  std::wstring wide = ToWide(gbk).text;
  SendMessageW(hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace ui
