#include "items/rows.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace ds {
namespace {

size_t LengthSize(size_t n) {
  size_t bytes = 1;
  for (; n >= 0x80; n >>= 7) ++bytes;
  return bytes;
}

char* PutLength(char* at, size_t n) {
  for (; n >= 0x80; n >>= 7) *at++ = static_cast<char>((n & 0x7F) | 0x80);
  *at++ = static_cast<char>(n);
  return at;
}

size_t GetLength(std::string_view packed, size_t& at) {
  size_t n = 0;
  for (int shift = 0;; shift += 7) {
    unsigned char b = static_cast<unsigned char>(packed[at++]);
    n |= static_cast<size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) return n;
  }
}

// Cells are mostly a few bytes: a loop beats a call to memmove for each.
char* PutBytes(char* at, std::string_view bytes) {
  if (bytes.size() > 16) return std::copy(bytes.begin(), bytes.end(), at);
  for (char c : bytes) *at++ = c;
  return at;
}

}  // namespace

template <typename CellList>
void Row::Pack(const CellList& cells, size_t count) {
  size_t total = LengthSize(count);
  for (std::string_view cell : cells) total += LengthSize(cell.size()) + cell.size();
  // The size is kept in 31 bits; only the 64-bit companion could be handed more.
  if (total > INT32_MAX) throw std::length_error("a row of more than 2 GB");
  // Written apart first when this row has bytes: the cells may be views
  // into them. A new row is written in place.
  char small[kInline];
  char* to = total > kInline ? new char[total] : size_ == 0 ? inline_ : small;
  char* at = PutLength(to, count);
  for (std::string_view cell : cells) at = PutLength(at, cell.size());
  for (std::string_view cell : cells) at = PutBytes(at, cell);
  if (to == inline_) {
    size_ = static_cast<uint32_t>(total);
    return;
  }
  Release();
  if (total > kInline)
    heap_ = to;
  else
    std::copy(small, small + total, inline_);
  size_ = static_cast<uint32_t>(total);
}

Row::Row(std::initializer_list<std::string_view> cells, int32_t tag_, bool checked) : checked_(checked), tag(tag_) {
  Pack(cells, cells.size());
}

Row& Row::operator=(const Row& other) {
  if (this != &other) {
    Release();
    Adopt(other.Packed());
    tag = other.tag;
    checked_ = other.checked_;
  }
  return *this;
}

Row& Row::operator=(Row&& other) noexcept {
  if (this != &other) {
    Release();
    Steal(other);
    tag = other.tag;
    checked_ = other.checked_;
  }
  return *this;
}

void Row::Adopt(std::string_view packed) {  // packed comes from a row: below 2 GB
  char* to = packed.size() > kInline ? (heap_ = new char[packed.size()]) : inline_;
  std::copy(packed.begin(), packed.end(), to);
  size_ = static_cast<uint32_t>(packed.size());
}

void Row::Steal(Row& other) noexcept {
  // The whole union in one fixed copy: the pointer or the bytes, whichever it holds.
  std::memcpy(static_cast<void*>(inline_), other.inline_, kInline);
  size_ = other.size_;
  other.size_ = 0;
}

void Row::Release() noexcept {
  if (size_ > kInline) delete[] heap_;
  size_ = 0;
}

size_t Row::CellCount() const {
  size_t at = 0;
  return size_ == 0 ? 0 : GetLength(Packed(), at);
}

std::string_view Row::WalkedCell(size_t column) const {
  if (size_ == 0) return {};
  std::string_view packed = Packed();
  size_t at = 0;
  size_t count = GetLength(packed, at);
  if (column >= count) return {};
  size_t offset = 0, length = 0;
  for (size_t c = 0; c < count; ++c) {
    size_t n = GetLength(packed, at);
    if (c < column) offset += n;
    if (c == column) length = n;
  }
  return packed.substr(at + offset, length);
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
  // The views point into this row's bytes, which Pack replaces only at its end.
  Pack(cells, cells.size());
}

void Renumber(RowTable& table) {
  for (size_t r = 0; r < table.rows.size(); ++r) table.rows[r].SetCell(0, Digits(static_cast<long long>(r + 1)));
}

}  // namespace ds
