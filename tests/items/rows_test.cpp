#include "items/rows.h"

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

}  // namespace
}  // namespace ds
