// Owner-data report list. The wrapper owns the rows (ds::RowTable) and the
// list view asks for cells as it draws, so there is one copy of the items and
// a fill of 100,000 rows costs no more than setting the count.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "items/rows.h"
#include "ui/control.h"

namespace ui {

struct Column {
  std::string title;  // GBK
  int width = 100;
};

class ListView : public Control {
 public:
  struct Args : CreateArgs {
    std::vector<Column> columns;
    bool checkBoxes = false;
  };

  bool Create(const Args& args);

  // The rows; after changing them call Refresh(), which also re-applies
  // rows().selected to the control, or Redraw() when only cells changed.
  ds::RowTable& rows() {
    NoteRowsMayChange();
    return table_;
  }
  const ds::RowTable& rows() const { return table_; }
  // Changes with every access that could change the rows, and is never the
  // same for two lists: what is worked out from the rows holds while it stays.
  uint64_t RowsRevision() const { return revision_; }
  int RowCount() const { return static_cast<int>(table_.rows.size()); }
  void Refresh();
  void Clear();
  void AppendRow(ds::Row row);

  int ColumnCount() const { return columnCount_; }
  void SetColumnTitle(int column, std::string_view gbk);
  std::string ColumnTitle(int column) const;
  int ColumnWidth(int column) const;
  void SetColumnWidth(int column, int width);
  // kToContent: the widest cell or title, each with the cell padding;
  // kAsHeaderSizing: as the list view's own LVSCW_AUTOSIZE_USEHEADER.
  enum class Fit { kToContent, kAsHeaderSizing };
  int FittedWidth(int column, Fit fit);
  void FitColumn(int column) { SetColumnWidth(column, FittedWidth(column, Fit::kToContent)); }
  void QueueFitColumn(int column);  // FitColumn, once pending messages run
  void FitColumnToHeader(int column) { SetColumnWidth(column, FittedWidth(column, Fit::kAsHeaderSizing)); }

  // Single selection, read from and written to the control.
  int SelectedRow() const;
  void SelectRow(int row);  // -1 clears; also makes it the focused row
  void ClearSelection() { SelectRow(-1); }
  void ScrollIntoView(int row);

  std::function<void()> onSelectionChanged;  // the current row changed
  std::function<void()> onClick;
  std::function<void()> onDoubleClick;
  std::function<void(int x, int y)> onRightClick;  // screen coordinates
  // The menu key or Shift+F10; (x, y) on the screen: the selected row's
  // lower left corner, or the list's top left when none is selected.
  std::function<void(int x, int y)> onMenuKey;

  LRESULT OnNotify(NMHDR* header) override;
  void Redraw() override;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int WidestCell(HDC dc, int column);
  bool StepWithKey(UINT key);
  void FillDisplayInfo(NMLVDISPINFOW* info);

  void NoteRowsMayChange();

  ds::RowTable table_;
  uint64_t revision_ = 0;
  int columnCount_ = 0;
  std::wstring cellBuffer_;  // kept alive until the next request
  // Each column's widest cell in pixels, -1 until measured, for the rows of
  // widestRevision_: the rows and the font, not the window's size, decide it,
  // and a resize refits 100,000 rows.
  std::vector<int> widestCell_;
  uint64_t widestRevision_ = 0;
};

}  // namespace ui
