#include "import/code_literals.h"

#include "import/escapes.h"
#include "import/lines.h"
#include "import/text_decode.h"

namespace ds {
namespace {

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.' || c == '$' || c == '+' || static_cast<unsigned char>(c) >= 0x80;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

void CodeScanner::SkipBlanks() {
  while (at_ < t_.size()) {
    char c = t_[at_];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
      ++at_;
    } else if (language_ == CodeLanguage::kPowerShell && c == '`' && LineBreakAt(t_, at_ + 1)) {
      at_ += 1 + LineBreakAt(t_, at_ + 1);
    } else if (language_ == CodeLanguage::kPython && c == '\\' && LineBreakAt(t_, at_ + 1)) {
      at_ += 1 + LineBreakAt(t_, at_ + 1);
    } else if ((c == '#' && language_ != CodeLanguage::kJavaScript) ||
               (language_ == CodeLanguage::kJavaScript && t_.substr(at_, 2) == "//")) {
      while (at_ < t_.size() && !LineBreakAt(t_, at_)) ++at_;
    } else if (language_ == CodeLanguage::kJavaScript && t_.substr(at_, 2) == "/*") {
      size_t end = t_.find("*/", at_ + 2);
      at_ = end == std::string_view::npos ? t_.size() : end + 2;
    } else if (language_ == CodeLanguage::kPowerShell && t_.substr(at_, 2) == "<#") {
      size_t end = t_.find("#>", at_ + 2);
      at_ = end == std::string_view::npos ? t_.size() : end + 2;
    } else {
      return;
    }
  }
}

bool CodeScanner::Take(std::string_view token, bool anyCase) {
  if (t_.size() - at_ < token.size()) return false;
  for (size_t k = 0; k < token.size(); ++k) {
    char c = t_[at_ + k];
    if (anyCase ? LowerAscii(c) != LowerAscii(token[k]) : c != token[k]) return false;
  }
  at_ += token.size();
  return true;
}

bool CodeScanner::AtWordStart() const {
  return at_ == 0 || !(IsWordChar(t_[at_ - 1]) || t_[at_ - 1] == '.' || t_[at_ - 1] == '$');
}

bool CodeScanner::StartsString() const {
  size_t i = at_;
  if (language_ == CodeLanguage::kPython)  // prefixes: r, b, u, f and pairs of them
    for (int k = 0; k < 2 && i < t_.size() && std::string_view("rRbBuUfF").find(t_[i]) != std::string_view::npos; ++k)
      ++i;
  if (i >= t_.size()) return false;
  char c = t_[i];
  if (i > at_ && c != '\'' && c != '"') return false;
  return c == '"' || c == '\'' || (language_ == CodeLanguage::kJavaScript && c == '`');
}

std::optional<std::string> CodeScanner::String() {
  if (!StartsString()) return std::nullopt;
  bool raw = false;
  for (; t_[at_] != '"' && t_[at_] != '\'' && t_[at_] != '`'; ++at_) raw = raw || LowerAscii(t_[at_]) == 'r';
  char quote = t_[at_];
  bool triple = language_ == CodeLanguage::kPython && t_.substr(at_, 3) == std::string(3, quote);
  at_ += triple ? 3 : 1;
  std::string out;
  // PowerShell's single quotes and Python's raw strings know no escapes.
  bool escapes = !(raw || (language_ == CodeLanguage::kPowerShell && quote == '\''));
  for (;;) {
    if (at_ >= t_.size()) {
      broken_ = true;
      return std::nullopt;
    }
    char c = t_[at_];
    if (c == quote) {
      if (triple) {
        if (t_.substr(at_, 3) == std::string(3, quote)) {
          at_ += 3;
          break;
        }
      } else if (language_ == CodeLanguage::kPowerShell && at_ + 1 < t_.size() && t_[at_ + 1] == quote) {
        out.push_back(quote);  // '' inside '…', "" inside "…"
        at_ += 2;
        continue;
      } else {
        ++at_;
        break;
      }
    }
    if (!triple && language_ != CodeLanguage::kPowerShell && quote != '`' && LineBreakAt(t_, at_)) {
      broken_ = true;  // only a template or a triple quote goes on past a line's end
      return std::nullopt;
    }
    if (escapes && language_ == CodeLanguage::kPowerShell) {
      if (!ReadPowerShellSpecial(quote, &out)) out.push_back(t_[at_++]);
      continue;
    }
    if (c == '\\' && at_ + 1 < t_.size()) {
      if (!escapes) {  // a raw string still cannot end on an escaped quote
        out.append(t_.substr(at_, 2));
        at_ += 2;
        continue;
      }
      ++at_;
      if (language_ == CodeLanguage::kPython) ReadPythonEscape(&out);
      else ReadJsEscape(&out);
      continue;
    }
    out.push_back(c);
    ++at_;
  }
  // Python joins literals that follow each other: ('a' 'b').
  if (language_ == CodeLanguage::kPython) {
    size_t before = at_;
    SkipBlanks();
    if (StartsString()) {
      std::optional<std::string> more = String();
      if (!more) return std::nullopt;
      return out + *more;
    }
    at_ = before;
  }
  return out;
}

// After the backslash.
void CodeScanner::ReadJsEscape(std::string* out) {
  Utf16Joiner units(out);
  for (;;) {
    char c = t_[at_];
    char32_t value = 0;
    if (size_t n = LineBreakAt(t_, at_)) {
      units.Flush();
      at_ += n;
    } else if (c == 'u' && at_ + 1 < t_.size() && t_[at_ + 1] == '{') {
      size_t n = HexRun(t_, at_ + 2, 6, &value);
      if (n == 0 || at_ + 2 + n >= t_.size() || t_[at_ + 2 + n] != '}') {
        units.Flush();
        out->push_back(c);
        ++at_;
      } else {
        units.Unit(value);
        at_ += 3 + n;
      }
    } else if ((c == 'u' && HexRun(t_, at_ + 1, 4, &value) == 4) || (c == 'x' && HexRun(t_, at_ + 1, 2, &value) == 2)) {
      units.Unit(value);
      at_ += c == 'u' ? 5 : 3;
    } else {
      units.Flush();
      const std::string_view from = "nrtbfv0", to("\n\r\t\b\f\v\0", 7);
      size_t k = from.find(c);
      size_t n = k == std::string_view::npos ? CharLengthUtf8(at_) : 1;
      if (k != std::string_view::npos) out->push_back(to[k]);
      else out->append(t_.substr(at_, n));
      at_ += n;
    }
    // A pair of \u escapes makes one character beyond U+FFFF.
    if (t_.substr(at_, 2) != "\\u") return;
    ++at_;
  }
}

void CodeScanner::ReadPythonEscape(std::string* out) {
  Utf16Joiner units(out);
  char c = t_[at_];
  char32_t value = 0;
  if (size_t n = LineBreakAt(t_, at_)) {
    at_ += n;
  } else if (c == 'x' && HexRun(t_, at_ + 1, 2, &value) == 2) {
    units.Unit(value);
    at_ += 3;
  } else if (c == 'u' && HexRun(t_, at_ + 1, 4, &value) == 4) {
    units.Unit(value);
    at_ += 5;
  } else if (c == 'U' && HexRun(t_, at_ + 1, 8, &value) == 8) {
    units.Unit(value);
    at_ += 9;
  } else if (c >= '0' && c <= '7') {
    size_t n = 0;
    for (; n < 3 && at_ + n < t_.size() && t_[at_ + n] >= '0' && t_[at_ + n] <= '7'; ++n)
      value = value * 8 + (t_[at_ + n] - '0');
    units.Unit(value);
    at_ += n;
  } else {
    const std::string_view from = "nrtbfva\\'\"", to = "\n\r\t\b\f\v\a\\'\"";
    size_t k = from.find(c);
    if (k != std::string_view::npos) {
      out->push_back(to[k]);
      ++at_;
    } else {  // Python keeps an unknown escape as written
      out->push_back('\\');
    }
  }
}

// PowerShell's double quotes: backtick escapes, and the $([char]N) that
// browsers write for every character outside printable ASCII.
bool CodeScanner::ReadPowerShellSpecial(char quote, std::string* out) {
  if (quote != '"') return false;
  char c = t_[at_];
  if (c == '`' && at_ + 1 < t_.size()) {
    char e = t_[at_ + 1];
    const std::string_view from = "0abefnrtv", to = std::string_view("\0\a\b\x1b\f\n\r\t\v", 9);
    size_t k = from.find(e);
    char32_t value = 0;
    if (e == 'u' && t_.substr(at_ + 2, 1) == "{") {
      size_t n = HexRun(t_, at_ + 3, 6, &value);
      if (n > 0 && t_.substr(at_ + 3 + n, 1) == "}") {
        Utf16Joiner(out).Unit(value);
        at_ += 4 + n;
        return true;
      }
    }
    if (k != std::string_view::npos) out->push_back(to[k]);
    else out->append(t_.substr(at_ + 1, CharLengthUtf8(at_ + 1)));
    at_ += 1 + (k != std::string_view::npos ? 1 : CharLengthUtf8(at_ + 1));
    return true;
  }
  constexpr std::string_view kChar = "$([char]";
  if (c != '$' || t_.substr(at_, kChar.size()) != kChar) return false;
  Utf16Joiner units(out);
  size_t start = at_;
  // Consecutive units: a surrogate pair comes as two of them.
  while (t_.substr(at_, kChar.size()) == kChar) {
    size_t i = at_ + kChar.size(), n = 0;
    char32_t value = 0;
    if (t_.substr(i, 2) == "0x") {
      n = HexRun(t_, i + 2, 6, &value);
      i += 2;
    } else {
      for (; n < 7 && i + n < t_.size() && t_[i + n] >= '0' && t_[i + n] <= '9'; ++n) value = value * 10 + (t_[i + n] - '0');
    }
    if (n == 0 || t_.substr(i + n, 1) != ")") break;
    units.Unit(value);
    at_ = i + n + 1;
  }
  return at_ != start;  // else the "$" is only itself
}

size_t CodeScanner::CharLengthUtf8(size_t i) const {
  size_t n = 1;
  while (i + n < t_.size() && (static_cast<unsigned char>(t_[i + n]) & 0xC0) == 0x80) ++n;
  return n;
}

std::string CodeScanner::Word() {
  size_t start = at_;
  while (at_ < t_.size() && IsWordChar(t_[at_])) ++at_;
  return std::string(t_.substr(start, at_ - start));
}

void CodeScanner::SkipStructure() {
  int depth = 0;
  while (at_ < t_.size()) {
    SkipBlanks();
    if (at_ >= t_.size()) break;
    if (StartsString()) {
      if (!String()) return;
      continue;
    }
    char c = t_[at_++];
    if (c == '{' || c == '[' || c == '(') ++depth;
    else if ((c == '}' || c == ']' || c == ')') && --depth <= 0) return;
  }
  broken_ = true;
}

std::optional<std::string> CodeScanner::ScalarValue() {
  SkipBlanks();
  if (StartsString()) return String();
  if (at_ < t_.size() && (t_[at_] == '{' || t_[at_] == '[' || t_[at_] == '(' || t_[at_] == '@')) {
    if (t_[at_] == '@') ++at_;
    SkipStructure();
    return std::nullopt;
  }
  std::string word = Word();
  if (word.empty() || word == "null" || word == "None" || word == "$null" || word == "undefined") return std::nullopt;
  return word;
}

std::optional<std::string> CodeScanner::Key() {
  SkipBlanks();
  if (StartsString()) return String();
  std::string word = Word();
  if (word.empty()) return std::nullopt;
  return word;
}

std::optional<std::vector<Field>> CodeScanner::Dict() {
  SkipBlanks();
  bool powerShell = language_ == CodeLanguage::kPowerShell;
  if (!Take(powerShell ? "@{" : "{")) return std::nullopt;
  std::vector<Field> fields;
  for (;;) {
    SkipBlanks();
    if (Take("}")) return fields;
    if (AtEnd() || broken_) {
      broken_ = true;
      return std::nullopt;
    }
    if (Take(",") || Take(";")) continue;
    std::optional<std::string> key = Key();
    SkipBlanks();
    if (!key || !Take(powerShell ? "=" : ":")) {
      // Not a pair this reader knows (a spread, a method): skip to the next.
      while (!AtEnd() && !broken_ && t_[at_] != ',' && t_[at_] != ';' && t_[at_] != '}' && !LineBreakAt(t_, at_)) {
        if (t_[at_] == '{' || t_[at_] == '[' || t_[at_] == '(' || StartsString()) SkipStructureOrString();
        else ++at_;
      }
      continue;
    }
    std::optional<std::string> value = ScalarValue();
    if (broken_) return std::nullopt;
    if (value) fields.push_back({std::move(*key), std::move(*value)});
  }
}

void CodeScanner::SkipStructureOrString() {
  if (StartsString()) String();
  else SkipStructure();
}

}  // namespace ds
