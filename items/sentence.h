// The program's sentences are kept whole in the texts lists, with named
// blanks ("{mode}") that are filled in here, rather than glued from pieces.
#pragma once

#include <initializer_list>
#include <string_view>

#include "items/text.h"

namespace ds {

struct Blank {
  std::string_view name;   // without the braces
  std::string_view value;  // GBK; not searched for blanks again
};

// A "{" inside a double-byte character is no blank; an unknown name stays as
// it is written.
Text FillIn(std::string_view sentence, std::initializer_list<Blank> blanks);
// The same, added to the end of `out`: many sentences into one text without
// a text of their own each.
void AppendFilledIn(Text& out, std::string_view sentence, std::initializer_list<Blank> blanks);

}  // namespace ds
