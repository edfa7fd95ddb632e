// The search of item names in both slots while the user types, and the name
// a line of its result stands for when clicked.
#pragma once

#include <string_view>

#include "compare/name_rule.h"
#include "items/rows.h"

namespace ds {

// The result box: a heading per slot, then every matching non-empty name of
// that slot in row order, each line ended by CR LF, an empty line between.
// The search reads the switches its own way: an exact search finds names
// that begin with the text, a fuzzy one names that contain it (stepping by
// character); without case sensitivity only ASCII letters fold.
Text SearchResult(const RowTable& slot1, const RowTable& slot2, std::string_view searchText, const NameRule& rule,
                  std::string_view modeWord);

// The name a clicked result line stands for: the line without its trailing
// spaces, so a heading or an empty line names nothing any list holds.
Text LocatedName(std::string_view line);

// The first row whose name equals `name` byte for byte, or -1.
int FirstRowNamed(const RowTable& table, std::string_view name);

}  // namespace ds
