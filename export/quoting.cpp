#include "export/quoting.h"

#include <cstdio>
#include <initializer_list>

namespace ds {
namespace {

// Calls `each` with every character: one byte, or a lead and trail byte.
template <typename Each>
void ForEachChar(std::string_view text, Each each) {
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLength(text, i);
    each(text.substr(i, n));
    i += n;
  }
}

bool IsControl(std::string_view c) {
  return c.size() == 1 && (static_cast<unsigned char>(c[0]) < 0x20 || c[0] == 0x7F);
}

void AppendHex(Text& out, const char* format, unsigned value) {
  char code[16];
  std::snprintf(code, sizeof code, format, value);
  out += code;
}

// Between quotes: the characters in `prefixed` behind the escape
// character, line breaks and tabs as escape letters, other control
// characters by the code `control` writes.
void AppendEscapedQuoted(Text& out, std::string_view text, char quote, char escape,
                         std::initializer_list<std::string_view> prefixed, const char* control) {
  out += quote;
  ForEachChar(text, [&](std::string_view c) {
    bool prefix = false;
    for (std::string_view p : prefixed) prefix = prefix || c == p;
    const char* letter = c == "\n" ? "n" : c == "\r" ? "r" : c == "\t" ? "t" : nullptr;
    if (prefix || letter) {
      out += escape;
      out += prefix ? c : std::string_view(letter);
    } else if (IsControl(c)) {
      AppendHex(out, control, static_cast<unsigned char>(c[0]));
    } else {
      out += c;
    }
  });
  out += quote;
}

}  // namespace

void AppendBashQuoted(Text& out, std::string_view text) {
  out += '\'';
  ForEachChar(text, [&out](std::string_view c) { out += c == "'" ? std::string_view("'\\''") : c; });
  out += '\'';
}

void AppendCmdQuoted(Text& out, std::string_view text) {
  // The C runtime's part first: backslashes count only before a quote.
  Text word;
  size_t backslashes = 0;
  ForEachChar(text, [&](std::string_view c) {
    if (c == "\\") {
      ++backslashes;
      return;
    }
    word.append(c == "\"" ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    word += c;
  });
  word.append(2 * backslashes, '\\');  // before the closing quote
  // Then cmd's: it sees no quotes (all are behind carets), so everything it
  // could act on gets one; a caret after "%" keeps %NAME% from expanding.
  out += "^\"";
  bool afterPercent = false;
  ForEachChar(word, [&](std::string_view c) {
    unsigned char b = static_cast<unsigned char>(c[0]);
    bool plain = c.size() == 2 || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
                 std::string_view(" -_.:/=,;+~@*'#$[]{}`?").find(c[0]) != std::string_view::npos;
    if (!plain || afterPercent) out += '^';
    out += c;
    afterPercent = c == "%";
  });
  out += "^\"";
}

void AppendPowerShellQuoted(Text& out, std::string_view text) {
  // PowerShell closes a double-quoted string at typographic quotes too.
  AppendEscapedQuoted(out, text, '"', '`', {"`", "\"", "$", "\xA1\xB0", "\xA1\xB1"}, "$([char]%u)");
}

void AppendPythonQuoted(Text& out, std::string_view text) {
  AppendEscapedQuoted(out, text, '\'', '\\', {"\\", "'"}, "\\x%02x");
}

void AppendJsonQuoted(Text& out, std::string_view text) {
  AppendEscapedQuoted(out, text, '"', '\\', {"\\", "\""}, "\\u%04x");
}

}  // namespace ds
