// The rows of a report list as plain data. The list control owns one RowTable
// and draws from it, so the core's row operations work on the only copy.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "items/text.h"

namespace ds {

constexpr int kNoImage = -1;

struct Row {
  std::vector<Text> cells;  // column 0 is the row number
  intptr_t tag = 0;
  bool checked = false;
  std::vector<int> images;  // per cell; missing entries mean kNoImage

  const Text& Cell(size_t column) const {
    static const Text kEmpty;
    return column < cells.size() ? cells[column] : kEmpty;
  }
  void SetCell(size_t column, Text value) {
    if (cells.size() <= column) cells.resize(column + 1);
    cells[column] = std::move(value);
  }
  int Image(size_t column) const { return column < images.size() ? images[column] : kNoImage; }
};

struct RowTable {
  std::vector<Row> rows;
  int selected = -1;  // 0-based, -1 for none

  const Row* SelectedRow() const {
    return selected >= 0 && selected < static_cast<int>(rows.size()) ? &rows[selected] : nullptr;
  }
};

// Column 0 of every row becomes its 1-based position.
void Renumber(RowTable& table);

}  // namespace ds
