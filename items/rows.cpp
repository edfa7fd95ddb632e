#include "items/rows.h"

namespace ds {

void Renumber(RowTable& table) {
  for (size_t r = 0; r < table.rows.size(); ++r) table.rows[r].SetCell(0, ToText(static_cast<long long>(r + 1)));
}

}  // namespace ds
