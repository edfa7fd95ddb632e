#include "items/sentence.h"

namespace ds {

namespace {

// Calls `take(words, blank)` for the words before each blank that `find`
// knows (its index), then once with the words after the last and -1.
template <typename Find, typename Take>
void WalkSentence(std::string_view sentence, Find find, Take take) {
  size_t literal = 0;  // the words since the last blank go out in one piece
  for (size_t i = 0; i < sentence.size();) {
    if (sentence[i] == '{') {
      size_t close = sentence.find('}', i + 1);
      if (close != std::string_view::npos) {
        int hit = find(sentence.substr(i + 1, close - i - 1));
        if (hit >= 0) {
          take(sentence.substr(literal, i - literal), hit);
          i = literal = close + 1;
          continue;
        }
      }
    }
    i += CharLength(sentence, i);
  }
  take(sentence.substr(literal), -1);
}

// The last of the names that matches, as the blanks were always looked up.
template <typename Names, typename NameOf>
int FindName(const Names& names, NameOf nameOf, std::string_view name) {
  int hit = -1, index = 0;
  for (const auto& n : names) {
    if (nameOf(n) == name) hit = index;
    ++index;
  }
  return hit;
}

}  // namespace

void AppendFilledIn(Text& out, std::string_view sentence, std::initializer_list<Blank> blanks) {
  WalkSentence(
      sentence, [&](std::string_view name) { return FindName(blanks, [](const Blank& b) { return b.name; }, name); },
      [&](std::string_view words, int blank) {
        out.append(words);
        if (blank >= 0) out += blanks.begin()[blank].value;
      });
}

PreparedSentence::PreparedSentence(std::string_view sentence, std::initializer_list<std::string_view> names) {
  WalkSentence(
      sentence, [&](std::string_view name) { return FindName(names, [](std::string_view n) { return n; }, name); },
      [this](std::string_view words, int blank) { pieces_.push_back({words, blank}); });
}

void PreparedSentence::Append(Text& out, std::initializer_list<std::string_view> values) const {
  for (const Piece& piece : pieces_) {
    out += piece.words;
    if (piece.blank >= 0 && static_cast<size_t>(piece.blank) < values.size()) out += values.begin()[piece.blank];
  }
}

Text FillIn(std::string_view sentence, std::initializer_list<Blank> blanks) {
  Text out;
  out.reserve(sentence.size() + 32);
  AppendFilledIn(out, sentence, blanks);
  return out;
}

}  // namespace ds
