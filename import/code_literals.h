// Literals of the languages that browsers and converters write captures in:
// JavaScript (fetch copies), Python (requests dicts) and PowerShell
// (Invoke-WebRequest copies). Enough of each to read string literals with
// their escapes and flat dicts of them, skipping comments and anything nested.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/capture.h"

namespace ds {

enum class CodeLanguage { kJavaScript, kPython, kPowerShell };

class CodeScanner {
 public:
  CodeScanner(std::string_view text, CodeLanguage language) : t_(text), language_(language) {}

  size_t at() const { return at_; }
  bool AtEnd() const { return at_ >= t_.size(); }
  // A quote or bracket was left open: the text is cut off.
  bool broken() const { return broken_; }

  // Spaces, line breaks and comments; in PowerShell also a backtick that
  // continues the line.
  void SkipBlanks();
  // `token` at the cursor (ASCII letters in any case when `anyCase`), taken.
  bool Take(std::string_view token, bool anyCase = false);

  void Advance() { ++at_; }
  void Seek(size_t at) { at_ = at; }
  bool AtString() const { return StartsString(); }
  // The character before the cursor could end a name: a word starts here.
  bool AtWordStart() const;

  // A string literal at the cursor, its escapes resolved; nullopt when none
  // starts here (and `broken` set when one starts but never ends).
  std::optional<std::string> String();
  // A value: a string, or a number, word or name as written; nullopt for a
  // null or a structure, which is skipped.
  std::optional<std::string> ScalarValue();
  // A flat dict at the cursor ({…}, or @{…} in PowerShell): its pairs whose
  // values are scalars, in order. nullopt when none starts here.
  std::optional<std::vector<Field>> Dict();
  // A key of a dict or object: a string, or a bare name.
  std::optional<std::string> Key();

 private:
  bool StartsString() const;
  std::string Word();
  void SkipStructure();
  void SkipStructureOrString();
  size_t CharLengthUtf8(size_t i) const;
  void ReadJsEscape(std::string* out);
  void ReadPythonEscape(std::string* out);
  bool ReadPowerShellSpecial(char quote, std::string* out);

  std::string_view t_;
  CodeLanguage language_;
  size_t at_ = 0;
  bool broken_ = false;
};

}  // namespace ds
