#include "import/code_literals.h"

#include <algorithm>
#include <cctype>

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
  notConstant_ = bytes_ = false;
  std::string out;
  for (;;) {
    if (!ReadLiteral(&out)) return std::nullopt;
    // Python joins literals that follow each other: ('a' 'b').
    if (language_ != CodeLanguage::kPython) break;
    size_t before = at_;
    SkipBlanks();
    if (!StartsString()) {
      at_ = before;
      break;
    }
  }
  return out;
}

// One literal, appended to `out`; false when it never ends.
bool CodeScanner::ReadLiteral(std::string* out) {
  bool raw = false, formatted = false;
  for (; t_[at_] != '"' && t_[at_] != '\'' && t_[at_] != '`'; ++at_) {
    char prefix = LowerAscii(t_[at_]);
    raw = raw || prefix == 'r';
    formatted = formatted || prefix == 'f';
    bytes_ = bytes_ || prefix == 'b';
  }
  char quote = t_[at_];
  bool triple = language_ == CodeLanguage::kPython && t_.substr(at_, 3) == std::string(3, quote);
  bool inTemplate = language_ == CodeLanguage::kJavaScript && quote == '`';
  at_ += triple ? 3 : 1;
  // PowerShell's single quotes and Python's raw strings know no escapes.
  bool escapes = !(raw || (language_ == CodeLanguage::kPowerShell && quote == '\''));
  for (;;) {
    if (at_ >= t_.size()) {
      broken_ = true;
      return false;
    }
    char c = t_[at_];
    if (c == quote) {
      if (triple) {
        if (t_.substr(at_, 3) == std::string(3, quote)) {
          at_ += 3;
          return true;
        }
      } else if (language_ == CodeLanguage::kPowerShell && at_ + 1 < t_.size() && t_[at_ + 1] == quote) {
        out->push_back(quote);  // '' inside '…', "" inside "…"
        at_ += 2;
        continue;
      } else {
        ++at_;
        return true;
      }
    }
    if (size_t n = LineBreakAt(t_, at_); n && language_ != CodeLanguage::kPowerShell) {
      if (!triple && !inTemplate) {
        broken_ = true;  // only a template or a triple quote goes on past a line's end
        return false;
      }
      out->push_back('\n');  // both languages read a line break in the source as LF
      at_ += n;
      continue;
    }
    if (escapes && language_ == CodeLanguage::kPowerShell) {
      if (!ReadPowerShellSpecial(quote, out)) out->push_back(t_[at_++]);
      continue;
    }
    if ((formatted && (c == '{' || c == '}')) || (inTemplate && t_.substr(at_, 2) == "${")) {
      if (formatted && at_ + 1 < t_.size() && t_[at_ + 1] == c) {
        out->push_back(c);  // {{ and }} are the braces themselves
        at_ += 2;
        continue;
      }
      notConstant_ = true;  // a field: its value is known only when the code runs
      out->push_back(c);
      ++at_;
      continue;
    }
    if (c == '\\' && at_ + 1 < t_.size()) {
      if (!escapes) {  // a raw string still cannot end on an escaped quote
        bool brace = formatted && (t_[at_ + 1] == '{' || t_[at_ + 1] == '}');
        out->append(t_.substr(at_, brace ? 1 : 2));
        at_ += brace ? 1 : 2;
        continue;
      }
      ++at_;
      if (language_ == CodeLanguage::kPython) ReadPythonEscape(out);
      else ReadJsEscape(out, inTemplate);
      continue;
    }
    out->push_back(c);
    ++at_;
  }
}

// After the backslash.
void CodeScanner::ReadJsEscape(std::string* out, bool inTemplate) {
  Utf16Joiner units(out);
  auto digit = [this](size_t i, char last) { return i < t_.size() && t_[i] >= '0' && t_[i] <= last; };
  for (;;) {
    char c = t_[at_];
    char32_t value = 0;
    if (size_t n = LineBreakAt(t_, at_)) {
      units.Flush();
      at_ += n;
    } else if (digit(at_, '9') && !(c == '0' && !digit(at_ + 1, '9'))) {
      // Octal escapes (\12, \101) are the old syntax of plain strings; a
      // template has none.
      units.Flush();
      if (inTemplate) notConstant_ = true;
      if (c >= '8') {
        out->push_back(c);
        ++at_;
      } else {
        size_t most = c <= '3' ? 3 : 2, n = 0;
        for (; n < most && digit(at_ + n, '7'); ++n) value = value * 8 + (t_[at_ + n] - '0');
        units.Unit(value);
        at_ += n;
      }
    } else if (c == 'u' && at_ + 1 < t_.size() && t_[at_ + 1] == '{') {
      size_t n = HexRun(t_, at_ + 2, 6, &value);
      if (n == 0 || at_ + 2 + n >= t_.size() || t_[at_ + 2 + n] != '}') {
        units.Flush();
        notConstant_ = true;  // a syntax error where the code runs
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
      if (c == 'u' || c == 'x') notConstant_ = true;  // too few hex digits: a syntax error
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
  } else if (c == 'N' && !bytes_) {
    notConstant_ = true;  // \N{NAME}: a character by its Unicode name, which is not known here
    out->push_back('\\');
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
  if (c != '$') return false;
  if (t_.substr(at_, kChar.size()) != kChar) {
    // "$name", "${…}" and "$(…)" put in what the variable or the code
    // holds when it runs; a "$" before anything else is itself.
    char next = at_ + 1 < t_.size() ? t_[at_ + 1] : ' ';
    if (std::isalnum(static_cast<unsigned char>(next)) || std::string_view("_{(?^$:").find(next) != std::string_view::npos)
      notConstant_ = true;
    return false;
  }
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
  if (at_ == start) notConstant_ = true;  // $([char]…) that is no number: code
  return at_ != start;
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

bool CodeScanner::ValueEnds(End end) {
  if (language_ != CodeLanguage::kPowerShell) {
    SkipBlanks();
    if (AtEnd()) return end != End::kKey;
    char c = t_[at_];
    return end == End::kKey ? c == ':' : c == ',' || c == '}' || c == ')' || c == ']' || c == ';';
  }
  // PowerShell ends a statement at the line's end: only spaces come first.
  while (at_ < t_.size() && (t_[at_] == ' ' || t_[at_] == '\t')) ++at_;
  if (end == End::kKey) {
    SkipBlanks();
    return !AtEnd() && t_[at_] == '=';
  }
  if (AtEnd() || LineBreakAt(t_, at_)) return true;
  char c = t_[at_];
  if (end == End::kCall) return c == ',' || c == ')';
  if (c == ';' || c == '}' || c == ')' || c == '|' || c == '#') return true;
  if (c == '`' && LineBreakAt(t_, at_ + 1)) return true;
  return end == End::kArgument && c == '-';  // the command's next parameter
}

// After a str literal and a ".": encode().decode('latin-1'), which makes
// the literal's UTF-8 bytes characters U+0000..U+00FF, which requests sends
// as those very bytes. True when the whole chain is there.
bool CodeScanner::TakeLatin1Chain() {
  auto take = [this](std::string_view token) {
    SkipBlanks();
    return Take(token);
  };
  auto codec = [this](std::initializer_list<std::string_view> names) {
    SkipBlanks();
    std::optional<std::string> name = StartsString() ? String() : std::nullopt;
    if (!name || notConstant_ || bytes_) return false;
    for (std::string_view n : names)
      if (ToLowerAscii(*name) == n) return true;
    return false;
  };
  if (!take("encode") || !take("(")) return false;
  if (!take(")") && !(codec({"utf-8", "utf8", "utf_8"}) && take(")"))) return false;
  return take(".") && take("decode") && take("(") &&
         codec({"latin-1", "latin1", "latin_1", "iso-8859-1", "iso8859-1", "iso_8859_1"}) && take(")");
}

// unescape(encodeURIComponent("…")): JavaScript's way to the same bytes,
// the literal's text into `text`.
bool CodeScanner::TakeUtf8BytesChain(std::string* text) {
  auto take = [this](std::string_view token) {
    SkipBlanks();
    return Take(token);
  };
  if (!take("unescape") || !take("(") || !take("encodeURIComponent") || !take("(")) return false;
  SkipBlanks();
  std::optional<std::string> literal = StartsString() ? String() : std::nullopt;
  if (!literal || notConstant_ || !take(")") || !take(")")) return false;
  *text = std::move(*literal);
  return true;
}

bool CodeScanner::ReadValue(End end, std::string* text) {
  SkipBlanks();
  if (AtEnd()) return false;
  char c = t_[at_];
  if (c == '(') {  // a value in parentheses is the value
    ++at_;
    if (!ReadValue(End::kCall, text)) return false;
    SkipBlanks();
    return Take(")") && ValueEnds(end);
  }
  if (StartsString()) {
    std::optional<std::string> literal = String();
    if (!literal || notConstant_) return false;
    if (language_ == CodeLanguage::kPython && !bytes_) {
      size_t before = at_;
      SkipBlanks();
      if (!Take(".")) at_ = before;
      else if (!TakeLatin1Chain()) return false;
    }
    if (!ValueEnds(end)) return false;
    *text = std::move(*literal);
    return true;
  }
  if (language_ == CodeLanguage::kJavaScript && t_.substr(at_, 9) == "unescape(")
    return TakeUtf8BytesChain(text) && ValueEnds(end);
  if (language_ == CodeLanguage::kPowerShell && end == End::kArgument) {
    // A command's argument is a string as it stands, unless it holds code.
    std::string word = BareArgument();
    if (word.empty() || word[0] == '-' || word.find_first_of("$('\"`@{[") != std::string::npos) return false;
    *text = std::move(word);
    return ValueEnds(end);
  }
  auto digit = [](char d) { return d >= '0' && d <= '9'; };
  if (digit(c) || (c == '-' && at_ + 1 < t_.size() && digit(t_[at_ + 1]))) {
    // An integer as every language prints it again; a float, hex, a signed
    // zero or more digits than a double keeps would come back otherwise.
    std::string number = Word();
    size_t first = number[0] == '-' ? 1 : 0, n = number.size() - first;
    bool plain = n >= 1 && n <= 15 && (number[first] != '0' || (n == 1 && first == 0));
    for (size_t i = first; plain && i < number.size(); ++i) plain = digit(number[i]);
    if (!plain || !ValueEnds(end)) return false;
    *text = std::move(number);
    return true;
  }
  return false;  // a name, null, a call, a structure: known only when the code runs
}

std::optional<std::string> CodeScanner::Constant(std::string_view item, Place place, bool isName) {
  End end = place == Place::kArgument ? End::kArgument : place == Place::kCall ? End::kCall : End::kItem;
  std::string text;
  if (ReadValue(end, &text)) return text;
  if (!broken_) Refuse(std::string(item), isName);
  return std::nullopt;
}

std::optional<std::string> CodeScanner::Key() {
  SkipBlanks();
  if (AtEnd()) {
    broken_ = true;
    return std::nullopt;
  }
  size_t start = at_;
  char c = t_[at_];
  std::string text;
  if (StartsString() || c == '(' || c == '-' || (c >= '0' && c <= '9')) {
    if (ReadValue(End::kKey, &text)) return text;
  } else if (language_ != CodeLanguage::kPython) {
    // A bare name is the key itself in JavaScript and PowerShell; in Python
    // it is a variable.
    std::string word = Word();
    bool name = language_ == CodeLanguage::kPowerShell ? !word.empty() && word[0] != '$'
                                                        : !word.empty() && word.find_first_of("-.+") == std::string::npos;
    if (name && ValueEnds(End::kKey)) return word;
  }
  if (broken_) return std::nullopt;
  std::string written = Written(start, language_ == CodeLanguage::kPowerShell ? "=;}" : ":,}");
  Refuse(std::move(written), true);
  return std::nullopt;
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
    // A spread, a method or a computed name is refused as a name: it
    // brings items this reader cannot see.
    std::optional<std::string> key = Key();
    if (!key) return std::nullopt;
    SkipBlanks();
    Take(powerShell ? "=" : ":");
    std::optional<std::string> value = Constant(*key);
    if (!value) return std::nullopt;
    fields.push_back({std::move(*key), std::move(*value)});
  }
}

void CodeScanner::SkipValue() {
  SkipTo(",})]");
  if (AtEnd()) broken_ = true;
}

void CodeScanner::SkipTo(std::string_view stops) {
  for (;;) {
    SkipBlanks();
    if (AtEnd() || broken_ || stops.find(t_[at_]) != std::string_view::npos) return;
    char c = t_[at_];
    if (StartsString()) String();
    else if (c == '(' || c == '[' || c == '{') SkipStructure();
    else ++at_;
  }
}

std::string CodeScanner::BareArgument() {
  size_t start = at_;
  while (at_ < t_.size() && std::string_view(" \t\r\n;)}|,").find(t_[at_]) == std::string_view::npos) ++at_;
  return std::string(t_.substr(start, at_ - start));
}

// What a refused name looks like in the code: its first line, cut short.
std::string CodeScanner::Written(size_t from, std::string_view stops) {
  at_ = from;
  SkipTo(stops);
  std::string_view written = t_.substr(from, at_ - from);
  written = written.substr(0, std::min(written.find_first_of("\r\n"), written.find_last_not_of(" \t") + 1));
  constexpr size_t kMost = 40;
  if (written.size() <= kMost) return std::string(written);
  size_t cut = kMost;
  while (cut > 0 && (static_cast<unsigned char>(written[cut]) & 0xC0) == 0x80) --cut;
  return std::string(written.substr(0, cut)) + "...";
}

void CodeScanner::Refuse(std::string name, bool ofName) {
  refusal_ = Refusal{std::move(name), ofName};
  broken_ = true;
}

}  // namespace ds
