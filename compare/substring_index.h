// The first row whose name contains (or begins with) a sought text, for many
// sought texts against one list: a fuzzy comparison of two big lists would
// otherwise scan one list once per name of the other.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace ds {

class SubstringIndex {
 public:
  // `names` must outlive the index. With `prefixesOnly` a name matches only
  // when it begins with the sought text (bytes); otherwise when the sought
  // text stands anywhere in it, starting a character.
  SubstringIndex(const std::vector<std::string_view>& names, bool prefixesOnly);
  int FirstRowWith(std::string_view sought) const;  // -1 when no row has it

  // Suffixes a list may have before an index costs more than scanning it.
  static size_t SuffixCount(const std::vector<std::string_view>& names, bool prefixesOnly);

 private:
  struct Suffix {
    uint32_t row;
    uint32_t offset;
  };
  std::string_view Of(const Suffix& s) const { return names_[s.row].substr(s.offset); }

  const std::vector<std::string_view>& names_;
  std::vector<Suffix> suffixes_;   // sorted by their bytes
  std::vector<uint32_t> minRow_;   // a tree of the smallest row over ranges of suffixes
};

}  // namespace ds
