// The rows of a report list as plain data. The list control owns one RowTable
// and draws from it, so the core's row operations work on the only copy.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "items/text.h"

namespace ds {

// A row keeps its cells back to back in one buffer, behind their lengths:
// inside the row when they are short, else in one allocation of their own.
// Lists of 100,000 rows would otherwise spend most of their memory and much
// of their time on per-cell strings.
class Row {
 public:
  Row() = default;
  Row(std::initializer_list<std::string_view> cells, int32_t tag = 0, bool checked = false);
  Row(const Row& other) : checked_(other.checked_), tag(other.tag) { Adopt(other.Packed()); }
  Row(Row&& other) noexcept : checked_(other.checked_), tag(other.tag) { Steal(other); }
  Row& operator=(const Row& other);
  Row& operator=(Row&& other) noexcept;
  // Nothing but the heap block: a list of rows goes in one pass of loads.
  ~Row() {
    if (size_ > kInline) delete[] heap_;
  }

  std::string_view Cell(size_t column) const {  // empty past the last cell
    // A few cells of short lengths, as item rows are: each length is one
    // byte, and the cell is found without a walk or a call.
    if (size_ != 0) {
      const auto* p = reinterpret_cast<const unsigned char*>(Bytes());
      size_t count = p[0];
      if (count <= 4 && column < count) {
        unsigned lengths = 0;
        for (size_t c = 1; c <= count; ++c) lengths |= p[c];
        if (lengths < 0x80) {
          size_t at = 1 + count;
          for (size_t c = 1; c <= column; ++c) at += p[c];
          return {reinterpret_cast<const char*>(p) + at, p[1 + column]};
        }
      }
    }
    return WalkedCell(column);
  }
  size_t CellCount() const;
  std::vector<Text> Cells() const;
  void SetCell(size_t column, std::string_view value);
  // Asks for the cells' bytes ahead of a pass that reads rows out of order.
  void Prefetch() const { __builtin_prefetch(Bytes()); }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; }

 private:
  template <typename CellList>
  void Pack(const CellList& cells, size_t count);
  const char* Bytes() const { return size_ > kInline ? heap_ : inline_; }
  std::string_view Packed() const { return {Bytes(), size_}; }
  void Adopt(std::string_view packed);  // a copy of packed bytes, which must not be this row's
  void Steal(Row& other) noexcept;      // other's bytes; other is left empty
  void Release() noexcept;
  std::string_view WalkedCell(size_t column) const;

  // The cell count, then each cell's length, seven bits a byte (high bit:
  // more follows), then the cells' bytes; nothing for a row of no cells.
  // The check mark shares the size's word: a row takes 32 bytes, not 40.
  static constexpr uint32_t kInline = 24;
  union {
    char inline_[kInline];
    char* heap_;
  };
  uint32_t size_ : 31 = 0;
  uint32_t checked_ : 1 = 0;

 public:
  int32_t tag = 0;  // the caller's mark; the sort uses it to find the selected row again
};
static_assert(sizeof(Row) == 32, "a row is meant to take 32 bytes");

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
