#include "items/rows.h"

#include <random>

#include <gtest/gtest.h>

namespace ds {
namespace {

// Cells share one buffer behind their lengths: a cell of 128 bytes or more
// takes a longer length, and a cell written from the row's own bytes must
// survive the buffer being rebuilt.
TEST(Row, CellsKeepTheirBytesThroughRewrites) {
  Text big(300, 'x');
  big[0] = '\0';
  Row row{"1", big, "", "\xD6\xD0"};
  ASSERT_EQ(row.CellCount(), 4u);
  EXPECT_EQ(row.Cell(1), big);
  EXPECT_EQ(row.Cell(2), "");
  EXPECT_EQ(row.Cell(3), "\xD6\xD0");
  EXPECT_EQ(row.Cell(9), "");

  row.SetCell(2, row.Cell(1));  // a view into the row itself
  row.SetCell(1, "n");
  EXPECT_EQ(row.Cells(), (std::vector<Text>{"1", "n", big, "\xD6\xD0"}));

  Row grown;
  grown.SetCell(3, "late");  // the cells before it come in empty
  EXPECT_EQ(grown.Cells(), (std::vector<Text>{"", "", "", "late"}));
}

// Up to six cells of lengths around the one-byte bound: each reads back
// whole, wherever the lengths before it put it.
TEST(Row, EveryCellReadsBackWhateverTheLengthsBeforeIt) {
  const size_t lengths[] = {0, 1, 127, 128, 200};
  std::mt19937 random(3);
  for (int round = 0; round < 300; ++round) {
    std::vector<Text> cells(random() % 7);
    for (size_t c = 0; c < cells.size(); ++c) cells[c] = Text(lengths[random() % 5], static_cast<char>('a' + c));
    Row row;
    for (size_t c = cells.size(); c-- > 0;) row.SetCell(c, cells[c]);
    for (size_t c = 0; c < cells.size(); ++c) ASSERT_EQ(row.Cell(c), cells[c]) << round << " cell " << c;
    EXPECT_EQ(row.Cell(cells.size()), "") << round;
  }
}

// Short rows keep their bytes inside the row, long ones outside: rows that
// cross between the two, are copied or moved either way, or take a cell
// from their own bytes must come out whole, the check mark (kept beside the
// size) included.
TEST(Row, ShortAndLongRowsCopyAndMoveWhole) {
  Row row{"1", "sid", "x"};
  row.SetCell(2, row.Cell(1));  // short, from its own bytes
  EXPECT_EQ(row.Cells(), (std::vector<Text>{"1", "sid", "sid"}));
  row.SetChecked(true);
  row.SetCell(2, Text(40, 'v'));  // now long
  Row copy = row;
  row.SetCell(2, "y");  // short again, and the copy keeps its own bytes
  EXPECT_EQ(copy.Cell(2), Text(40, 'v'));
  EXPECT_EQ(row.Cells(), (std::vector<Text>{"1", "sid", "y"}));

  std::vector<Row> rows{copy, row, Row{}, Row{"2", Text(30, 'n'), ""}};
  rows.reserve(100);  // every row moves
  Row moved = std::move(rows[0]);
  rows[0] = rows[1];
  rows[1] = std::move(rows[3]);
  rows[2] = rows[2];
  EXPECT_EQ(moved.Cell(2), Text(40, 'v'));
  EXPECT_TRUE(moved.Checked() && rows[0].Checked());
  EXPECT_FALSE(rows[1].Checked());
  EXPECT_EQ(rows[0].Cell(2), "y");
  EXPECT_EQ(rows[1].Cells(), (std::vector<Text>{"2", Text(30, 'n'), ""}));
  EXPECT_EQ(rows[2].CellCount(), 0u);
}

}  // namespace
}  // namespace ds
