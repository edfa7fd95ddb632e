// Literals of the languages that browsers and converters write captures in:
// JavaScript (fetch copies), Python (requests dicts) and PowerShell
// (Invoke-WebRequest copies). Enough of each to read string literals with
// their escapes and flat dicts of them, skipping comments; a value that is
// no constant is refused, not taken as written.
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
  // A quote or bracket was left open (the text is cut off), or an item was
  // refused: either way the reading stops.
  bool broken() const { return broken_; }

  // An item whose name or value is no constant text: a variable, a call, a
  // null, a concatenation, a template with fields. Taking it as written
  // would import another value than the code sends.
  struct Refusal {
    std::string name;  // UTF-8: the item's name, or the name as written
    bool ofName = false;
  };
  const std::optional<Refusal>& refusal() const { return refusal_; }

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

  // A string literal at the cursor, its escapes resolved (Python's adjacent
  // literals joined); nullopt when none starts here (and `broken` set when
  // one starts but never ends). Fields of a template or f-string are kept
  // as written: only Constant tells a constant.
  std::optional<std::string> String();

  // Where a value stands: in a dict, a PowerShell command's argument list,
  // or a call's arguments.
  enum class Place { kItem, kArgument, kCall };
  // The text of the value at the cursor when the language makes it a
  // constant: a string literal (a template or f-string without fields, in
  // parentheses or not), an integer, a PowerShell bare word argument, and
  // the two spellings that send a literal's UTF-8 bytes. Otherwise nullopt,
  // the value refused under the item's name `item` (a name refused as
  // written when `isName`).
  std::optional<std::string> Constant(std::string_view item, Place place = Place::kItem, bool isName = false);
  // A value that holds no item (a fetch option), whatever it is.
  void SkipValue();
  // A flat dict at the cursor ({…}, or @{…} in PowerShell): its pairs in
  // order. nullopt when none starts here, or when a pair is no constant
  // (see refusal).
  std::optional<std::vector<Field>> Dict();
  // A key of a dict or object, with its ":" (PowerShell "=") after it
  // still to take: a constant, or a bare name where the language makes one
  // a string. nullopt and refused otherwise.
  std::optional<std::string> Key();

 private:
  // What may follow a value for it to stand alone.
  enum class End { kItem, kArgument, kCall, kKey };
  bool ReadValue(End end, std::string* text);
  bool ValueEnds(End end);
  bool TakeUtf8BytesChain(std::string* text);
  bool TakeLatin1Chain();
  bool ReadLiteral(std::string* out);
  bool StartsString() const;
  std::string Word();
  std::string BareArgument();
  void SkipStructure();
  void SkipTo(std::string_view stops);
  void Refuse(std::string name, bool ofName);
  std::string Written(size_t from, std::string_view stops);
  size_t CharLengthUtf8(size_t i) const;
  void ReadJsEscape(std::string* out, bool inTemplate);
  void ReadPythonEscape(std::string* out);
  bool ReadPowerShellSpecial(char quote, std::string* out);

  std::string_view t_;
  CodeLanguage language_;
  size_t at_ = 0;
  bool broken_ = false;
  // Of the last String: it had fields, or an escape that cannot be read
  // as written; it was a Python bytes literal.
  bool notConstant_ = false;
  bool bytes_ = false;
  std::optional<Refusal> refusal_;
};

}  // namespace ds
