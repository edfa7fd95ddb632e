#include "items/sentence.h"

namespace ds {

Text FillIn(std::string_view sentence, std::initializer_list<Blank> blanks) {
  Text out;
  out.reserve(sentence.size() + 32);
  for (size_t i = 0; i < sentence.size();) {
    size_t n = CharLength(sentence, i);
    if (sentence[i] == '{') {
      size_t close = sentence.find('}', i + 1);
      if (close != std::string_view::npos) {
        std::string_view name = sentence.substr(i + 1, close - i - 1);
        const Blank* hit = nullptr;
        for (const Blank& b : blanks)
          if (b.name == name) hit = &b;
        if (hit) {
          out += hit->value;
          i = close + 1;
          continue;
        }
      }
    }
    out.append(sentence.substr(i, n));
    i += n;
  }
  return out;
}

}  // namespace ds
