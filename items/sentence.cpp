#include "items/sentence.h"

namespace ds {

void AppendFilledIn(Text& out, std::string_view sentence, std::initializer_list<Blank> blanks) {
  size_t literal = 0;  // the words since the last blank go out in one piece
  for (size_t i = 0; i < sentence.size();) {
    if (sentence[i] == '{') {
      size_t close = sentence.find('}', i + 1);
      if (close != std::string_view::npos) {
        std::string_view name = sentence.substr(i + 1, close - i - 1);
        const Blank* hit = nullptr;
        for (const Blank& b : blanks)
          if (b.name == name) hit = &b;
        if (hit) {
          out.append(sentence.substr(literal, i - literal));
          out += hit->value;
          i = literal = close + 1;
          continue;
        }
      }
    }
    i += CharLength(sentence, i);
  }
  out.append(sentence.substr(literal));
}

Text FillIn(std::string_view sentence, std::initializer_list<Blank> blanks) {
  Text out;
  out.reserve(sentence.size() + 32);
  AppendFilledIn(out, sentence, blanks);
  return out;
}

}  // namespace ds
