// The program's sentences are kept whole in the texts lists, with named
// blanks ("{mode}") that are filled in here, rather than glued from pieces.
#pragma once

#include <initializer_list>
#include <string_view>
#include <vector>

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

// One sentence filled in many times (a note for each of 100,000 rows): its
// blanks are found once. Append(out, values) is AppendFilledIn with the
// blanks named here, in this order, given these values.
class PreparedSentence {
 public:
  PreparedSentence(std::string_view sentence, std::initializer_list<std::string_view> names);
  void Append(Text& out, std::initializer_list<std::string_view> values) const;

 private:
  struct Piece {
    std::string_view words;  // the sentence's own words before the blank
    int blank;               // index into the values; -1 after the last blank
  };
  std::vector<Piece> pieces_;
};

}  // namespace ds
