#include "ui/list_view.h"

#include <commctrl.h>

#include <algorithm>
#include <unordered_map>

#include "items/text.h"
#include "ui/text_convert.h"

namespace ui {
namespace {

constexpr UINT kFitColumnMessage = WM_APP + 1;
constexpr int kCellPadding = 12;

int TextWidth(HDC dc, std::string_view gbk) {
  std::wstring wide = ToWide(gbk).text;
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

// The widest cell in the control's own font, without measuring every cell
// through GDI: a text is as wide as its characters' advances added up, and
// each character is measured once. The texts that are not plain ASCII are
// then measured whole, widest sum first, while one could still be the widest.
class WidestText {
 public:
  explicit WidestText(HDC dc) : dc_(dc) { GetCharWidth32W(dc, kFirst, kLast, ascii_); }

  void Add(std::string_view text) {
    int sum = 0;
    bool ascii = true;
    for (size_t i = 0; i < text.size();) {
      auto b = static_cast<unsigned char>(text[i]);
      if (b >= kFirst && b <= kLast) {  // most cells: a table, no lookup
        sum += ascii_[b - kFirst];
        ++i;
        continue;
      }
      size_t n = ds::CharLength(text, i);
      unsigned code = n == 2 ? (b << 8 | static_cast<unsigned char>(text[i + 1])) : b;
      ascii = false;
      auto it = width_.find(code);
      if (it == width_.end()) it = width_.emplace(code, TextWidth(dc_, text.substr(i, n))).first;
      sum += it->second;
      i += n;
    }
    if (ascii)
      widest_ = std::max(widest_, sum);
    else
      others_.push_back({sum, text});
  }

  int Widest() {
    std::sort(others_.begin(), others_.end(), [](const Other& a, const Other& b) { return a.sum > b.sum; });
    for (const Other& other : others_) {
      if (other.sum <= widest_) break;
      widest_ = std::max(widest_, TextWidth(dc_, other.text));
    }
    others_.clear();
    return widest_;
  }

 private:
  static constexpr unsigned kFirst = 0x20, kLast = 0x7E;
  struct Other {
    int sum;
    std::string_view text;
  };
  HDC dc_;
  int ascii_[kLast - kFirst + 1] = {};
  std::unordered_map<unsigned, int> width_;  // other characters: byte, or lead and trail byte
  int widest_ = 0;
  std::vector<Other> others_;
};

}  // namespace

bool ListView::Create(const Args& a) {
  DWORD style = WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
  if (!CreateWindowOf(WC_LISTVIEWW, a, style)) return false;
  DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_DOUBLEBUFFER;
  if (a.checkBoxes) ex |= LVS_EX_CHECKBOXES;
  SendMessageW(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
  for (const Column& c : a.columns) {
    std::wstring title = ToWide(c.title).text;
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = title.data();
    col.cx = c.width;
    col.iSubItem = columnCount_;
    SendMessageW(hwnd(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(columnCount_), reinterpret_cast<LPARAM>(&col));
    ++columnCount_;
  }
  return true;
}

void ListView::NoteRowsMayChange() {
  static uint64_t lastRevision = 0;
  revision_ = ++lastRevision;
}

void ListView::Refresh() {
  NoteRowsMayChange();
  SendMessageW(hwnd(), LVM_SETITEMCOUNT, table_.rows.size(), LVSICF_NOSCROLL);
  InvalidateRect(hwnd(), nullptr, TRUE);
  SelectRow(table_.selected);
}

void ListView::Clear() {
  NoteRowsMayChange();
  table_.rows.clear();
  table_.selected = -1;
  Refresh();
}

void ListView::AppendRow(ds::Row row) {
  NoteRowsMayChange();
  table_.rows.push_back(std::move(row));
  SendMessageW(hwnd(), LVM_SETITEMCOUNT, table_.rows.size(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void ListView::SetColumnTitle(int column, std::string_view gbk) {
  std::wstring title = ToWide(gbk).text;
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT;
  col.pszText = title.data();
  SendMessageW(hwnd(), LVM_SETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
}

std::string ListView::ColumnTitle(int column) const {
  wchar_t buffer[256] = {};
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT;
  col.pszText = buffer;
  col.cchTextMax = 255;
  SendMessageW(hwnd(), LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
  return ToGbk(buffer).text;
}

int ListView::ColumnWidth(int column) const {
  return static_cast<int>(SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

void ListView::SetColumnWidth(int column, int width) {
  if (ColumnWidth(column) == width) return;
  SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

// The list view's own LVSCW_AUTOSIZE_USEHEADER gives the widest cell + 12 or
// the title + 11; it would fetch every row of an owner-data list to find the
// widest (100,000 rows: a second), so it is measured here.
int ListView::FittedWidth(int column, Fit fit) {
  int titlePadding = fit == Fit::kToContent ? kCellPadding : kCellPadding - 1;
  // A memory DC measures as a window DC does, without a round trip to the display.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
  int width = std::max(TextWidth(dc, ColumnTitle(column)) + titlePadding, WidestCell(dc, column) + kCellPadding);
  SelectObject(dc, old);
  DeleteDC(dc);
  return width;
}

int ListView::WidestCell(HDC dc, int column) {
  size_t c = static_cast<size_t>(column);
  if (widestRevision_ != revision_) {
    widestCell_.clear();
    widestRevision_ = revision_;
  }
  if (widestCell_.size() <= c) widestCell_.resize(c + 1, -1);
  if (widestCell_[c] < 0) {
    WidestText widest(dc);
    for (const ds::Row& row : table_.rows) widest.Add(row.Cell(c));
    widestCell_[c] = widest.Widest();
  }
  return widestCell_[c];
}

void ListView::Redraw() {
  NoteRowsMayChange();
  Control::Redraw();
}

void ListView::QueueFitColumn(int column) { PostMessageW(hwnd(), kFitColumnMessage, static_cast<WPARAM>(column), 0); }

// The row last seen selected is asked about first, and an empty selection is
// told by the count: asked for the selected row, Wine walks an owner-data
// list from its top (at row 60,000: 1 ms). One row at most is selected.
int ListView::SelectedRow() const {
  if (table_.selected >= 0 &&
      (SendMessageW(hwnd(), LVM_GETITEMSTATE, static_cast<WPARAM>(table_.selected), LVIS_SELECTED) & LVIS_SELECTED))
    return table_.selected;
  if (SendMessageW(hwnd(), LVM_GETSELECTEDCOUNT, 0, 0) == 0) return -1;
  return static_cast<int>(SendMessageW(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::SelectRow(int row) {
  if (row >= RowCount()) row = -1;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  // Row by row: the one selected and the one focused. Sent for all rows at
  // once, Wine walks every row of an owner-data list (100,000 rows: 90 ms).
  for (UINT which : {LVNI_SELECTED, LVNI_FOCUSED}) {
    int at = which == LVNI_SELECTED
                 ? SelectedRow()
                 : static_cast<int>(SendMessageW(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), which));
    if (at >= 0) SendMessageW(hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
  }
  table_.selected = row;
  if (row >= 0) {
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
}

void ListView::ScrollIntoView(int row) {
  if (row >= 0) SendMessageW(hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void ListView::FillDisplayInfo(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (item.iItem < 0 || item.iItem >= RowCount()) return;
  const ds::Row& row = table_.rows[static_cast<size_t>(item.iItem)];
  size_t column = static_cast<size_t>(item.iSubItem);
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    cellBuffer_ = ToWide(row.Cell(column)).text;
    lstrcpynW(item.pszText, cellBuffer_.c_str(), item.cchTextMax);
  }
  if (item.mask & LVIF_IMAGE) item.iImage = -1;  // no images
  if ((item.mask & LVIF_STATE) && column == 0) {
    item.state = INDEXTOSTATEIMAGEMASK(row.Checked() ? 2 : 1);
    item.stateMask = LVIS_STATEIMAGEMASK;
  }
}

LRESULT ListView::OnNotify(NMHDR* header) {
  switch (header->code) {
    case LVN_GETDISPINFOW:
      FillDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
      return 0;
    case LVN_ITEMCHANGED: {
      auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
          !(change->uOldState & LVIS_SELECTED)) {
        table_.selected = change->iItem;
        if (onSelectionChanged) onSelectionChanged();
      } else if ((change->uChanged & LVIF_STATE) && !(change->uNewState & LVIS_SELECTED) &&
                 (change->uOldState & LVIS_SELECTED)) {
        table_.selected = SelectedRow();
      }
      return 0;
    }
    case NM_CLICK: {
      auto* activate = reinterpret_cast<NMITEMACTIVATE*>(header);
      LVHITTESTINFO hit{};
      hit.pt = activate->ptAction;
      int row = static_cast<int>(SendMessageW(hwnd(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (row >= 0 && row < RowCount() && (hit.flags & LVHT_ONITEMSTATEICON)) {
        table_.rows[static_cast<size_t>(row)].SetChecked(!table_.rows[static_cast<size_t>(row)].Checked());
        SendMessageW(hwnd(), LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
      }
      if (onClick) onClick();
      return 0;
    }
    case NM_DBLCLK:
      if (onDoubleClick) onDoubleClick();
      return 0;
    case NM_RCLICK:
      if (onRightClick) {
        POINT p;
        GetCursorPos(&p);
        onRightClick(p.x, p.y);
      }
      return 0;
    default:
      return 0;
  }
}

LRESULT ListView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kFitColumnMessage) {
    FitColumn(static_cast<int>(wp));
    return 0;
  }
  // From the keyboard the point is (-1, -1); a right click is NM_RCLICK's.
  if (msg == WM_CONTEXTMENU && lp == static_cast<LPARAM>(-1) && onMenuKey) {
    POINT p{0, 0};
    int row = SelectedRow();
    ScrollIntoView(row);
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (row >= 0 && SendMessageW(hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)))
      p = {r.left, r.bottom};
    ClientToScreen(hwnd(), &p);
    onMenuKey(p.x, p.y);
    return 0;
  }
  if (msg == WM_KEYDOWN && StepWithKey(static_cast<UINT>(wp))) return 0;
  if (msg == WM_SETFONT) widestCell_.clear();
  return Control::HandleMessage(msg, wp, lp);
}

// Up and Down move the one selected row as the list view would; Wine's own
// handling walks every row of an owner-data list on each press (100,000
// rows: 40 ms a key). Keys with Shift or Ctrl go to the list view.
bool ListView::StepWithKey(UINT key) {
  if ((key != VK_UP && key != VK_DOWN) || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 ||
      RowCount() == 0)
    return false;
  if (onKeyDown) onKeyDown(key);
  int focused = static_cast<int>(SendMessageW(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  int target = focused < 0 ? 0 : std::clamp(focused + (key == VK_DOWN ? 1 : -1), 0, RowCount() - 1);
  if (target != focused || SelectedRow() != target) SelectRow(target);
  ScrollIntoView(target);
  return true;
}

}  // namespace ui
