#include "items/rows.h"

namespace ds {
namespace {

void PutLength(Text& out, size_t n) {
  for (; n >= 0x80; n >>= 7) out.push_back(static_cast<char>((n & 0x7F) | 0x80));
  out.push_back(static_cast<char>(n));
}

size_t GetLength(std::string_view packed, size_t& at) {
  size_t n = 0;
  for (int shift = 0;; shift += 7) {
    unsigned char b = static_cast<unsigned char>(packed[at++]);
    n |= static_cast<size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) return n;
  }
}

}  // namespace

template <typename CellList>
void Row::Pack(const CellList& cells, size_t count) {
  Text packed;
  size_t bytes = 0;
  for (std::string_view cell : cells) bytes += cell.size();
  packed.reserve(1 + count * 2 + bytes);
  PutLength(packed, count);
  for (std::string_view cell : cells) PutLength(packed, cell.size());
  for (std::string_view cell : cells) packed.append(cell);
  packed_ = std::move(packed);
}

Row::Row(std::initializer_list<std::string_view> cells, int32_t tag_, bool checked_) : tag(tag_), checked(checked_) {
  Pack(cells, cells.size());
}

size_t Row::CellCount() const {
  size_t at = 0;
  return packed_.empty() ? 0 : GetLength(packed_, at);
}

std::string_view Row::Cell(size_t column) const {
  if (packed_.empty()) return {};
  size_t at = 0;
  size_t count = GetLength(packed_, at);
  if (column >= count) return {};
  size_t offset = 0, length = 0;
  for (size_t c = 0; c < count; ++c) {
    size_t n = GetLength(packed_, at);
    if (c < column) offset += n;
    if (c == column) length = n;
  }
  return std::string_view(packed_).substr(at + offset, length);
}

std::vector<Text> Row::Cells() const {
  std::vector<Text> cells;
  for (size_t c = 0, n = CellCount(); c < n; ++c) cells.emplace_back(Cell(c));
  return cells;
}

void Row::SetCell(size_t column, std::string_view value) {
  std::vector<std::string_view> cells;
  for (size_t c = 0, n = CellCount(); c < n; ++c) cells.push_back(Cell(c));
  if (cells.size() <= column) cells.resize(column + 1);
  cells[column] = value;
  // The views point into packed_, which Pack replaces only at its end.
  Pack(cells, cells.size());
}

void Renumber(RowTable& table) {
  for (size_t r = 0; r < table.rows.size(); ++r) table.rows[r].SetCell(0, ToText(static_cast<long long>(r + 1)));
}

}  // namespace ds
