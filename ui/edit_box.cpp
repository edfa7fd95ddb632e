#include "ui/edit_box.h"

#include <shellapi.h>

#include <algorithm>

#include "ui/text_convert.h"

namespace ui {

namespace {

// Under Wine an edit control lays out every line it is given at some 10 to
// 15 microseconds a line, so long texts arrive in pieces.
constexpr int kLinesAtOnce = 2000;
constexpr int kLinesShownFirst = 300;
constexpr int kLinesPerPiece = 2000;
constexpr UINT_PTR kFillTimer = 0x4453;
// Up to this many characters a text is put in by replacing the whole content.
constexpr size_t kReplacedWhole = 4096;

// Where the last `lines` lines begin; a break at the very end closes the last
// line rather than starting one. 0 when the text has no more lines.
size_t StartOfLastLines(std::wstring_view text, int lines) {
  size_t at = text.empty() ? 0 : text.size() - 1;
  for (int seen = 0; at > 0; --at)
    if (text[at - 1] == L'\n' && ++seen == lines) return at;
  return 0;
}

// What reads the text or its layout, or moves about in it: such a message
// must see the whole text.
bool NeedsWholeText(UINT msg) {
  return (msg >= EM_GETSEL && msg <= EM_GETIMESTATUS) || msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH ||
         msg == WM_COPY || (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) ||
         (msg > WM_MOUSEMOVE && msg <= WM_MOUSELAST) || msg == WM_VSCROLL || msg == WM_HSCROLL ||
         msg == WM_CONTEXTMENU;
}

}  // namespace

bool EditBox::Create(const Args& a) {
  DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
  if (a.multiline) style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN;
  if (a.readOnly) style |= ES_READONLY;
  if (!CreateWindowOf(L"EDIT", a, style)) return false;
  verticalBar_ = a.multiline;
  // Pastes of whole captures must not be cut at the default 30,000 characters.
  SendMessageW(hwnd(), EM_SETLIMITTEXT, 0, 0);
  return true;
}

// Under Wine every text set into a box with a scroll bar draws that bar at
// once, through the theme (some 2 to 4 ms): a box that already shows the same
// text as a fresh set would leave it is left alone.
bool EditBox::SetText(std::string_view gbk) {
  WideText wide = ToWide(gbk);
  if (!ShowsAsSetFresh(wide.text)) {
    settingText_ = true;
    PutFresh(wide.text);
    settingText_ = false;
  }
  if (onChange) onChange();
  return wide.complete;
}

// WM_SETTEXT updates a scroll bar twice, and under Wine each update draws the
// bar through the theme at once (some 2 ms). When the box shows all its text
// and the new one fits as well, the whole content is replaced instead, which
// updates the bar once, and the box is left as a set leaves it: caret at the
// start, nothing to undo, not modified. Otherwise the replacement would
// scroll to the end and back, and selecting the old text would lay it all
// out: the text is set.
void EditBox::PutFresh(const std::wstring& text) {
  if (!verticalBar_ || text.size() > kReplacedWhole || !ShowsAllAndFits(text)) {
    SetWindowTextW(hwnd(), text.c_str());
    return;
  }
  StopFilling();
  SendMessageW(hwnd(), EM_SETSEL, 0, -1);
  SendMessageW(hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(hwnd(), EM_SETSEL, 0, 0);
  SendMessageW(hwnd(), EM_SCROLLCARET, 0, 0);
  SendMessageW(hwnd(), EM_EMPTYUNDOBUFFER, 0, 0);
  SendMessageW(hwnd(), EM_SETMODIFY, FALSE, 0);
}

bool EditBox::ShowsAllAndFits(std::wstring_view text) const {
  SCROLLINFO bar{};
  bar.cbSize = sizeof bar;
  bar.fMask = SIF_PAGE | SIF_RANGE;
  if (!GetScrollInfo(hwnd(), SB_VERT, &bar) || bar.nMax - bar.nMin + 1 > static_cast<int>(bar.nPage)) return false;
  RECT format{};
  SendMessageW(hwnd(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  auto lines = std::count(text.begin(), text.end(), L'\n') + 1;
  return lines * LineHeight() <= format.bottom - format.top;
}

// The text, from its start, with the caret before it, nothing to undo and
// not marked modified.
bool EditBox::ShowsAsSetFresh(const std::wstring& text) const {
  if (Filling() || GetWindowTextLengthW(hwnd()) != static_cast<int>(text.size())) return false;
  DWORD start = 1, end = 1;
  SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start != 0 || end != 0 || SendMessageW(hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0) != 0 ||
      SendMessageW(hwnd(), EM_CANUNDO, 0, 0) || SendMessageW(hwnd(), EM_GETMODIFY, 0, 0))
    return false;
  // Not scrolled sideways: the first character stands at the left edge.
  RECT format{};
  SendMessageW(hwnd(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  LRESULT first = SendMessageW(hwnd(), EM_POSFROMCHAR, 0, 0);
  if (first == -1 || static_cast<short>(LOWORD(first)) != format.left) return false;
  return WindowTextWide(hwnd()) == text;
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
  if (Filling() && !puttingPiece_ && NeedsWholeText(msg)) FinishFilling();
  switch (msg) {
    case WM_SETTEXT:
      StopFilling();
      break;
    case WM_TIMER:
      if (wp != kFillTimer) break;
      if (Filling()) {
        size_t from = StartOfLastLines(headToFill_, kLinesPerPiece);
        std::wstring piece = headToFill_.substr(from);
        headToFill_.resize(from);
        PutBefore(piece);
      }
      if (!Filling()) KillTimer(hwnd(), kFillTimer);
      return 0;
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

void EditBox::SetTextShowingEnd(std::string_view gbk) {
  StopFilling();
  std::wstring wide = ToWide(gbk).text;
  size_t tail = std::count(wide.begin(), wide.end(), L'\n') > kLinesAtOnce ? StartOfLastLines(wide, kLinesShownFirst) : 0;
  settingText_ = true;
  SetWindowTextW(hwnd(), wide.c_str() + tail);
  settingText_ = false;
  PutCaretAtEnd();
  wide.resize(tail);
  headToFill_ = std::move(wide);
  if (Filling()) SetTimer(hwnd(), kFillTimer, USER_TIMER_MINIMUM, nullptr);
  if (onChange) onChange();
}

void EditBox::FinishFilling() {
  std::wstring head = std::move(headToFill_);
  StopFilling();
  PutBefore(head);
}

void EditBox::StopFilling() {
  headToFill_.clear();
  KillTimer(hwnd(), kFillTimer);
}

// Inserts `piece` before the text, keeping the selection on the same
// characters and the same lines in view.
void EditBox::PutBefore(const std::wstring& piece) {
  if (piece.empty()) return;
  puttingPiece_ = true;
  settingText_ = true;
  DWORD start = 0, end = 0;
  SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  LRESULT top = SendMessageW(hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0);
  LRESULT lines = std::count(piece.begin(), piece.end(), L'\n');
  SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
  SendMessageW(hwnd(), EM_SETSEL, 0, 0);
  SendMessageW(hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
  SendMessageW(hwnd(), EM_SETSEL, start + piece.size(), end + piece.size());
  LRESULT now = SendMessageW(hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(hwnd(), EM_LINESCROLL, 0, top + lines - now);
  SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  settingText_ = false;
  puttingPiece_ = false;
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
