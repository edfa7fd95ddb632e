#include "ui/edit_box.h"

#include <shellapi.h>

#include <algorithm>

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

void EditBox::Select(int start, int end) {
  if (pressing_) selectAllOnRelease_ = start == 0 && end == -1;
  SendMessageW(hwnd(), EM_SETSEL, static_cast<WPARAM>(start), end);
}

// Windows places the caret after the focus arrives and Wine before it; either
// way a focus handler's select-all nested in the press is made again once the
// press is handled, and again at the release, which ends a drag.
LRESULT EditBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN: {
      buttonDown_ = true;
      pressing_ = true;
      selectAllOnRelease_ = false;
      LRESULT r = Control::HandleMessage(msg, wp, lp);
      pressing_ = false;
      if (selectAllOnRelease_) {
        SelectAll();
        // A release already handled inside the press ends it here.
        selectAllOnRelease_ = buttonDown_;
      }
      return r;
    }
    case WM_LBUTTONUP: {
      buttonDown_ = false;
      LRESULT r = Control::HandleMessage(msg, wp, lp);
      if (selectAllOnRelease_ && !pressing_) {
        selectAllOnRelease_ = false;
        SelectAll();
      }
      return r;
    }
    case WM_KILLFOCUS:
      selectAllOnRelease_ = false;
      break;
    case WM_DROPFILES: {
      auto drop = reinterpret_cast<HDROP>(wp);
      UINT length = DragQueryFileW(drop, 0, nullptr, 0);
      std::wstring path(length, L'\0');
      DragQueryFileW(drop, 0, path.data(), length + 1);
      DragFinish(drop);
      if (onFileDrop && length > 0) onFileDrop(path);
      return 0;
    }
    default:
      break;
  }
  return Control::HandleMessage(msg, wp, lp);
}

void EditBox::AcceptFiles() { DragAcceptFiles(hwnd(), TRUE); }

void EditBox::GetSelection(int* start, int* end) const {
  DWORD s = 0, e = 0;
  SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  if (start) *start = static_cast<int>(s);
  if (end) *end = static_cast<int>(e);
}

void EditBox::SetReadOnly(bool readOnly) { SendMessageW(hwnd(), EM_SETREADONLY, readOnly, 0); }

void EditBox::PutCaretAtEnd() {
  int end = GetWindowTextLengthW(hwnd());
  Select(end, end);
  SendMessageW(hwnd(), EM_SCROLLCARET, 0, 0);
}

void EditBox::ScrollToLastLine() {
  LRESULT lines = SendMessageW(hwnd(), EM_GETLINECOUNT, 0, 0);
  SendMessageW(hwnd(), EM_LINESCROLL, 0, lines);
}

std::string EditBox::CaretLineText() const {
  int start = 0;
  GetSelection(&start, nullptr);
  LRESULT line = SendMessageW(hwnd(), EM_LINEFROMCHAR, static_cast<WPARAM>(start), 0);
  LRESULT lineStart = SendMessageW(hwnd(), EM_LINEINDEX, static_cast<WPARAM>(line), 0);
  LRESULT length = SendMessageW(hwnd(), EM_LINELENGTH, static_cast<WPARAM>(lineStart), 0);
  // EM_GETLINE counts its buffer in a WORD: a longer line is read from the whole text.
  std::wstring whole = WindowTextWide(hwnd());
  size_t from = std::min(static_cast<size_t>(lineStart), whole.size());
  return ToGbk(std::wstring_view(whole).substr(from, static_cast<size_t>(length))).text;
}

void EditBox::ReplaceSelection(std::string_view gbk) {
  std::wstring wide = ToWide(gbk).text;
  SendMessageW(hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace ui
