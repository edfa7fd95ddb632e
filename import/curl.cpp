// A cURL command as browsers copy it, for a POSIX shell ("Copy as cURL
// (bash)") or for cmd.exe ("(cmd)"): split into words as that shell would,
// then the options that carry headers and cookies are read.
#include <algorithm>
#include <iterator>

#include "import/capture.h"
#include "import/text_decode.h"
#include "import/escapes.h"
#include "import/lines.h"
#include "import/texts.h"

namespace ds {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A UTF-8 character's bytes from `at`: continuation bytes never look like
// ASCII, so a quote or backslash is always its own character.
size_t CharLength(std::string_view t, size_t at) {
  size_t n = 1;
  while (at + n < t.size() && (static_cast<unsigned char>(t[at + n]) & 0xC0) == 0x80) ++n;
  return n;
}

// A run of \xNN escapes in $'…'. When its bytes form UTF-8 they are that
// text; otherwise each is the character U+0080 to U+00FF, as Firefox writes
// "é" as \xe9.
size_t HexByteRun(std::string_view t, size_t i, std::string* word) {
  std::string bytes;
  size_t used = 0;
  char32_t value = 0;
  while (t.substr(i + used, 2) == "\\x" && HexRun(t, i + used + 2, 2, &value) > 0) {
    bytes.push_back(static_cast<char>(value));
    used += 2 + HexRun(t, i + used + 2, 2, &value);
  }
  if (IsUtf8(bytes)) {
    word->append(bytes);
    return used;
  }
  for (char b : bytes) AppendUtf8(static_cast<unsigned char>(b), word);
  return used;
}

// The escapes of $'…' that copies use, after the backslash; others stay as
// written.
size_t AnsiCEscape(std::string_view t, size_t i, std::string* word) {
  char c = t[i];
  char32_t value = 0;
  switch (c) {
    case 'n': word->push_back('\n'); return 1;
    case 't': word->push_back('\t'); return 1;
    case 'r': word->push_back('\r'); return 1;
    case '\\': case '\'': case '"': case '?': word->push_back(c); return 1;
    case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': {
      size_t n = 0;
      for (; n < 3 && i + n < t.size() && t[i + n] >= '0' && t[i + n] <= '7'; ++n) value = value * 8 + (t[i + n] - '0');
      AppendUtf8(value & 0xFF, word);
      return n;
    }
    case 'x':
      if (size_t n = HexByteRun(t, i - 1, word)) return n - 1;
      break;
    case 'u':
    case 'U': {
      size_t n = HexRun(t, i + 1, c == 'u' ? 4 : 8, &value);
      if (n == 0) break;
      // Copies write a character beyond U+FFFF as two escaped surrogates.
      Utf16Joiner units(word);
      units.Unit(value);
      size_t used = 1 + n;
      char32_t low = 0;
      if (value >= 0xD800 && value < 0xDC00 && t.substr(i + used, 2) == "\\u" && HexRun(t, i + used + 2, 4, &low) == 4) {
        units.Unit(low);
        used += 6;
      }
      return used;
    }
    default: break;
  }
  word->push_back('\\');
  return 0;
}

using Command = std::vector<std::string>;

// The commands and words a splitter has made, and the word it is in.
struct Words {
  std::vector<Command> commands;
  Command done;
  std::string word;
  bool inWord = false;

  void End() {
    if (inWord) done.push_back(std::move(word));
    word.clear();
    inWord = false;
  }
  // "Copy all as cURL" joins its commands with ";" (or "&" for cmd).
  void EndCommand() {
    End();
    if (!done.empty()) commands.push_back(std::move(done));
    done.clear();
  }
  size_t Copy(std::string_view t, size_t at) {
    size_t n = CharLength(t, at);
    word.append(t.substr(at, n));
    return n;
  }
};

// Words as a POSIX shell splits them; nullopt when a quote is left open.
std::optional<std::vector<Command>> SplitBashWords(std::string_view t) {
  Words w;
  std::string& word = w.word;
  size_t i = 0;
  while (i < t.size()) {
    char c = t[i];
    if (IsBlank(c)) {
      w.End();
      ++i;
      continue;
    }
    if (c == ';' || c == '&' || c == '|') {
      w.EndCommand();
      ++i;
      continue;
    }
    w.inWord = true;
    if (c == '\\') {
      if (size_t n = LineBreakAt(t, i + 1)) {
        i += 1 + n;
        if (word.empty()) w.inWord = false;
        continue;
      }
      if (i + 1 < t.size()) i += 1 + w.Copy(t, i + 1);
      else ++i;
    } else if (c == '\'') {
      size_t end = t.find('\'', i + 1);
      if (end == std::string_view::npos) return std::nullopt;
      word.append(t.substr(i + 1, end - i - 1));
      i = end + 1;
    } else if (c == '$' && i + 1 < t.size() && t[i + 1] == '\'') {
      for (i += 2;; ) {
        if (i >= t.size()) return std::nullopt;
        if (t[i] == '\'') break;
        if (t[i] == '\\' && i + 1 < t.size()) i += 1 + AnsiCEscape(t, i + 1, &word);
        else i += w.Copy(t, i);
      }
      ++i;
    } else if (c == '"') {
      for (++i;; ) {
        if (i >= t.size()) return std::nullopt;
        if (t[i] == '"') break;
        if (t[i] == '\\' && i + 1 < t.size()) {
          char next = t[i + 1];
          if (size_t n = LineBreakAt(t, i + 1)) {
            i += 1 + n;
          } else if (next == '$' || next == '`' || next == '"' || next == '\\') {
            word.push_back(next);
            i += 2;
          } else {
            word.push_back('\\');
            ++i;
          }
        } else {
          i += w.Copy(t, i);
        }
      }
      ++i;
    } else {
      i += w.Copy(t, i);
    }
  }
  w.EndCommand();
  return std::move(w.commands);
}

// cmd.exe's part: "^" takes the next character literally (a line break is
// dropped), except inside cmd's own double quotes.
std::string RemoveCarets(std::string_view t) {
  std::string out;
  out.reserve(t.size());
  bool quoted = false;
  for (size_t i = 0; i < t.size();) {
    char c = t[i];
    if (c == '^' && !quoted) {
      if (size_t n = LineBreakAt(t, i + 1)) {
        i += 1 + n;
        continue;
      }
      if (++i >= t.size()) break;
      size_t n = CharLength(t, i);
      out.append(t.substr(i, n));
      i += n;
      continue;
    }
    if (c == '"') quoted = !quoted;
    size_t n = CharLength(t, i);
    out.append(t.substr(i, n));
    i += n;
  }
  return out;
}

// The program's own part, as the C runtime splits a command line: quotes
// group, backslashes count only before a quote, "" inside quotes is a quote.
std::optional<std::vector<Command>> SplitCmdWords(std::string_view raw) {
  std::string t = RemoveCarets(raw);
  Words w;
  std::string& word = w.word;
  bool quoted = false;
  for (size_t i = 0; i < t.size();) {
    char c = t[i];
    if (IsBlank(c) && !quoted) {
      w.End();
      ++i;
      continue;
    }
    if (c == '&' && !quoted) {
      w.EndCommand();
      ++i;
      continue;
    }
    w.inWord = true;
    if (c == '\\') {
      size_t n = 0;
      while (i + n < t.size() && t[i + n] == '\\') ++n;
      if (i + n < t.size() && t[i + n] == '"') {
        word.append(n / 2, '\\');
        if (n % 2 == 1) {
          word.push_back('"');
          i += n + 1;
        } else {
          i += n;  // the quote is read next
        }
      } else {
        word.append(n, '\\');
        i += n;
      }
    } else if (c == '"') {
      if (quoted && i + 1 < t.size() && t[i + 1] == '"') {
        word.push_back('"');
        i += 2;
      } else {
        quoted = !quoted;
        ++i;
      }
    } else {
      i += w.Copy(t, i);
    }
  }
  if (quoted) return std::nullopt;
  w.EndCommand();
  return std::move(w.commands);
}

// Copies for cmd escape with carets (^" around words, ^ before line breaks),
// or, in older ones, quote with double quotes only; copies for a POSIX shell
// quote with single quotes and continue lines with a backslash. The first
// word's quote tells first: a value quoted for bash may hold ^".
bool LooksLikeCmd(std::string_view t) {
  size_t start = t.find_first_not_of(" \t\r\n");
  size_t first = start == std::string_view::npos ? t.size() : t.find_first_of(" \t\r\n", start);
  first = first == std::string_view::npos ? t.size() : t.find_first_not_of(" \t", first);
  if (first != std::string_view::npos && first < t.size()) {
    if (t[first] == '\'' || t.substr(first, 2) == "$'") return false;
    if (t.substr(first, 2) == "^\"") return true;
  }
  bool singleQuote = false, backslashBreak = false;
  for (size_t i = 0; i < t.size(); i += CharLength(t, i)) {
    if (t[i] == '^' && (i + 1 < t.size() && (t[i + 1] == '"' || LineBreakAt(t, i + 1)))) return true;
    singleQuote = singleQuote || t[i] == '\'';
    backslashBreak = backslashBreak || (t[i] == '\\' && LineBreakAt(t, i + 1));
  }
  return !singleQuote && !backslashBreak;
}

bool StartsWithCurl(std::string_view t) {
  size_t start = 0;
  while (start < t.size() && IsBlank(t[start])) ++start;
  t.remove_prefix(start);
  for (std::string_view name : {"curl.exe", "curl"}) {
    if (t.size() >= name.size() && ToLowerAscii(t.substr(0, name.size())) == name &&
        (t.size() == name.size() || IsBlank(t[name.size()]) || t[name.size()] == '^' || t[name.size()] == '\\'))
      return true;
  }
  return false;
}

// Options whose value is the next word; the value of any other is not read.
constexpr std::string_view kLongWithValue[] = {
    "--data", "--data-raw", "--data-binary", "--data-urlencode", "--data-ascii", "--json", "--form",
    "--form-string", "--output", "--user", "--proxy", "--proxy-user", "--max-time", "--connect-timeout",
    "--cert", "--key", "--cacert", "--capath", "--resolve", "--connect-to", "--retry", "--limit-rate",
    "--range", "--upload-file", "--write-out", "--config", "--interface", "--max-redirs", "--request-target",
    "--oauth2-bearer", "--unix-socket", "--cookie-jar", "--dump-header", "--trace", "--trace-ascii",
    "--stderr", "--ciphers", "--variable", "--aws-sigv4", "--referer", "--user-agent", "--request",
    "--header", "--cookie"};
constexpr char kUrlOption = 1;  // --url has no short form
constexpr std::string_view kShortWithValue = "HbAeXdFouxTrmwKEYyzCcDUQtP";

struct Header {
  Text name;
  std::optional<Text> value;  // nullopt: a header curl is told to remove, or a file
};

// -H's text: "Name: value"; "Name;" sends an empty header.
Header HeaderOption(std::string_view text) {
  if (!text.empty() && text[0] == '@') return {};
  size_t colon = text.find(':', text.empty() || text[0] != ':' ? 0 : 1);
  if (colon == std::string_view::npos) {
    if (!text.empty() && text.back() == ';') return {Text(text.substr(0, text.size() - 1)), Text()};
    return {};
  }
  std::string_view value = text.substr(colon + 1);
  while (!value.empty() && (value[0] == ' ' || value[0] == '\t')) value.remove_prefix(1);
  if (value.empty()) return {};
  return {Text(text.substr(0, colon)), Text(value)};
}

void TakeOption(char option, const Text& value, HttpMessage* message) {
  switch (option) {
    case 'H': {
      Header h = HeaderOption(value);
      if (h.value) message->headers.push_back({h.name, *h.value});
      break;
    }
    case 'b':  // without "=" it names a cookie file
      if (value.find('=') != Text::npos) message->headers.push_back({"Cookie", value});
      break;
    case 'A': message->headers.push_back({"User-Agent", value}); break;
    case 'e': message->headers.push_back({"Referer", value}); break;
    case 'X': message->method = value; break;
    case kUrlOption: if (message->url.empty()) message->url = value; break;
    default: break;
  }
}

char ShortOf(std::string_view longName) {
  if (longName == "--header") return 'H';
  if (longName == "--cookie") return 'b';
  if (longName == "--user-agent") return 'A';
  if (longName == "--referer") return 'e';
  if (longName == "--request") return 'X';
  if (longName == "--url") return kUrlOption;
  return 0;
}

// One command's words as the request curl would send.
HttpMessage RequestOf(const Command& words) {
  HttpMessage message;
  bool positionalOnly = false, head = false, bodyInFile = false;
  // The data options' texts, joined as curl joins them; "@file" names a
  // file whose bytes the command does not hold.
  auto data = [&](const Text& text, bool fileAllowed) {
    if (message.method.empty()) message.method = "POST";
    bodyInFile = bodyInFile || (fileAllowed && !text.empty() && text[0] == '@');
    message.body = message.body ? *message.body + "&" + text : text;
  };
  for (size_t i = 1; i < words.size(); ++i) {
    const Text& w = words[i];
    auto next = [&]() -> Text { return i + 1 < words.size() ? words[++i] : Text(); };
    if (positionalOnly || w.size() < 2 || w[0] != '-') {
      if (message.url.empty()) message.url = w;
    } else if (w == "--") {
      positionalOnly = true;
    } else if (w[1] == '-') {
      if (char option = ShortOf(w)) {
        TakeOption(option, next(), &message);
      } else if (w == "--data" || w == "--data-ascii" || w == "--data-binary" || w == "--data-raw" ||
                 w == "--json") {
        data(next(), w != "--data-raw");
      } else if (w == "--head") {
        head = true;
      } else if (std::find(std::begin(kLongWithValue), std::end(kLongWithValue), w) != std::end(kLongWithValue)) {
        next();
        if (message.method.empty() && w.starts_with("--data")) message.method = "POST";
      }
    } else {
      // A cluster of short options; one that takes a value takes the rest.
      for (size_t k = 1; k < w.size(); ++k) {
        head = head || w[k] == 'I';
        if (kShortWithValue.find(w[k]) == std::string_view::npos) continue;
        Text value = k + 1 < w.size() ? w.substr(k + 1) : next();
        if (w[k] == 'd') data(value, true);
        else TakeOption(w[k], value, &message);
        break;
      }
    }
  }
  if (message.method.empty()) message.method = head ? "HEAD" : "GET";
  if (bodyInFile) message.body.reset();
  return message;
}

}  // namespace

// Several commands ("Copy all as cURL") are offered as a HAR's entries are.
std::optional<Capture> ReadCurl(std::string_view text, const ReadContext&) {
  if (!StartsWithCurl(text)) return std::nullopt;
  std::optional<std::vector<Command>> commands = LooksLikeCmd(text) ? SplitCmdWords(text) : SplitBashWords(text);
  Capture capture;
  capture.kind = CaptureKind::kCurl;
  if (!commands) {
    capture.error = texts::kCurlUnbalanced;
    return capture;
  }
  std::vector<HttpMessage> requests;
  for (const Command& words : *commands)
    if (!words.empty() && (ToLowerAscii(words[0]) == "curl" || ToLowerAscii(words[0]) == "curl.exe"))
      requests.push_back(RequestOf(words));
  if (requests.size() == 1) {
    capture.message = std::move(requests[0]);
  } else {
    for (HttpMessage& r : requests) capture.entries.push_back({std::move(r), {}});
  }
  return capture;
}

}  // namespace ds
