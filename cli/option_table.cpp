#include "cli/option_table.h"

#include "compare/ignore_list.h"
#include "export/exporters.h"

namespace cli {
namespace {

constexpr unsigned kOnReports = kOnCompare | kOnSessions | kOnJar;
constexpr size_t kHelpColumn = 29;
constexpr size_t kHelpWidth = 100;

std::vector<std::string> Split(const std::string& joined) {
  std::vector<std::string> words;
  for (size_t from = 0; from <= joined.size();) {
    size_t bar = joined.find('|', from);
    if (bar == std::string::npos) bar = joined.size();
    words.push_back(joined.substr(from, bar - from));
    from = bar + 1;
  }
  return words;
}

std::vector<std::string> CommandNames() {
  std::vector<std::string> names;
  for (const CommandRow& c : Commands()) names.emplace_back(c.name);
  return names;
}

const CommandRow kCommands[] = {
    {"compare", Options::Command::kCompare, kOnCompare, 2, 2, "[options] FILE1 FILE2", "file", nullptr,
     "compares FILE1 (the Slot 1 text) with FILE2 (the Slot 2 text) as the window's\n"
     "Analyse action does; '-' reads standard input (one of them at most)."},
    {"sessions", Options::Command::kSessions, kOnSessions, 2, 2, "[options] A.har B.har", "file", nullptr,
     "pairs the requests of two HAR files (method, host, path, query names, in order)\n"
     "and compares each pair's cookies (or headers with --mode http), query parameters,\n"
     "Set-Cookie items and status; the volatile preset is always on there."},
    {"convert", Options::Command::kConvert, kOnConvert, 1, 1, "--to FORMAT [options] FILE", "file", nullptr,
     "prints the items of FILE (read as --from says, auto unless told) in FORMAT."},
    {"jar", Options::Command::kJar, kOnJar, 1, 1, "[options] SESSION.har", "file", nullptr,
     "replays SESSION.har through a browser's cookie store, in time order, and shows for\n"
     "each request (or the one --entry N or --url TEXT picks) the cookies it should have\n"
     "sent, how that differs from what it sent, the stored cookies kept back and the\n"
     "Set-Cookie lines refused, each with its rule."},
    {"sanitize", Options::Command::kSanitize, kOnSanitize, 1, SIZE_MAX, "[options] FILE.har... [-o DIR]", "file",
     nullptr,
     "writes a copy of each HAR fit to share: every cookie value, Authorization, and headers,\n"
     "query and form parameters whose names look like credentials (token, session, sid, auth,\n"
     "key, secret, password, passwd, code, ticket, csrf, xsrf, jwt, signature) and JWTs anywhere\n"
     "become a stand-in such as 《masked:3f9a1c0e:32》 (a keyed hash and the length), so equal\n"
     "values stay equal; bodies are dropped. One file goes to standard output, several into DIR\n"
     "under their own names."},
    {"help", Options::Command::kHelp, 0, 0, 1, "[COMMAND]", "command", CommandNames,
     "prints the options of COMMAND (the same as COMMAND --help), or this text."},
    {"completion", Options::Command::kCompletion, 0, 1, 1, "bash|zsh|powershell", "shell",
     [] { return std::vector<std::string>{"bash", "zsh", "powershell"}; },
     "prints a script that completes commands, options and their words in that shell."},
};

std::vector<std::string> Two(const char* a, const char* b) { return {a, b}; }

const OptionRow kOptions[] = {
    {"--mode", ValueKind::kWord, "cookies|http", kOnCompare | kOnSessions | kOnConvert,
     [](bool) { return Two("cookies", "http"); }, false,
     [](Options& o, const std::string& v) { o.httpMode = v == "http"; },
     "analysis mode and its default separators (cookies)"},
    {"--line-sep", ValueKind::kText, "TEXT", kOnCompare | kOnSessions | kOnConvert, nullptr, false,
     [](Options& o, const std::string& v) { o.lineSeparator = v; },
     "line separator as typed into its box"},
    {"--value-sep", ValueKind::kText, "TEXT", kOnCompare | kOnSessions | kOnConvert, nullptr, false,
     [](Options& o, const std::string& v) { o.valueSeparator = v; },
     "value separator as typed into its box"},
    {"--ignore-case", ValueKind::kSwitch, "", kOnCompare | kOnSessions, nullptr, false,
     [](Options& o, const std::string&) { o.ignoreCase = true; },
     "names match without regard to letter case"},
    {"--fuzzy", ValueKind::kSwitch, "", kOnCompare | kOnSessions, nullptr, false,
     [](Options& o, const std::string&) { o.fuzzy = true; },
     "names match by prefix or containment, not equality"},
    {"--duplicates", ValueKind::kWord, "keep|remove", kOnCompare, [](bool) { return Two("keep", "remove"); }, false,
     [](Options& o, const std::string& v) { o.removeDuplicates = v == "remove"; },
     "answer to the duplicate question (keep)"},
    {"--encoding", ValueKind::kWord, "utf-8|gbk", kOnReports | kOnConvert, [](bool) { return Two("utf-8", "gbk"); },
     false, [](Options& o, const std::string& v) { o.encoding = v == "gbk" ? Encoding::kGbk : Encoding::kUtf8; },
     "encoding of the files and of the output, not of the arguments (utf-8)"},
    {"--json", ValueKind::kSwitch, "", kOnReports, nullptr, false,
     [](Options& o, const std::string&) { o.json = true; },
     "print a JSON document instead of the text report"},
    {"--from", ValueKind::kWord, "FORMAT", kOnCompare | kOnConvert,
     [](bool) { return Split(ds::CaptureFormatNames()); }, false,
     [](Options& o, const std::string& v) {
       o.from = *ds::CaptureFormatNamed(v);
       o.fromGiven = true;
     },
     "what the files hold: plain (as pasted), auto (recognise)\n"
     "or a capture's shape;\n"
     "the capture's cookies or headers are taken (plain; convert: auto)"},
    {"--har-entry", ValueKind::kNumber, "N", kOnCompare | kOnConvert, nullptr, false,
     [](Options& o, const std::string& v) { o.harEntry = std::stoll(v); },
     "the HAR entry (or curl -v exchange) to take, from 1\n(the first with a Cookie header)"},
    {"--har-url", ValueKind::kText, "TEXT", kOnCompare | kOnConvert, nullptr, false,
     [](Options& o, const std::string& v) { o.harUrl = v; },
     "the first HAR entry whose URL contains TEXT"},
    {"--entry", ValueKind::kNumber, "N", kOnJar, nullptr, false,
     [](Options& o, const std::string& v) { o.jarEntry = std::stoll(v); },
     "the entry shown, from 1"},
    {"--url", ValueKind::kText, "TEXT", kOnJar, nullptr, false,
     [](Options& o, const std::string& v) { o.jarUrl = v; },
     "the first entry whose URL contains TEXT"},
    {"--decode", ValueKind::kSwitch, "", kOnCompare, nullptr, false,
     [](Options& o, const std::string&) { o.decode = true; },
     "decode both values of each difference (URL encoding, Base64, JWT, JSON)\n"
     "and show where they differ"},
    {"--ignore", ValueKind::kText, "PATTERN", kOnCompare | kOnSessions, nullptr, false,
     [](Options& o, const std::string& v) { o.ignore.push_back(v); },
     "leave names matching PATTERN (* and ?) out of the lists; repeatable"},
    {"--ignore-preset", ValueKind::kWord, "analytics|volatile", kOnCompare | kOnSessions,
     [](bool) { return Two("analytics", "volatile"); }, false,
     [](Options& o, const std::string& v) {
       std::vector<ds::Text> preset = *ds::IgnorePreset(v);
       o.presetIgnore.insert(o.presetIgnore.end(), preset.begin(), preset.end());
     },
     "the same for a set of names"},
    {"--to", ValueKind::kWord, "FORMAT", kOnCompare | kOnConvert,
     [](bool http) { return Split(ds::ExporterNames(http ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies)); },
     true, [](Options& o, const std::string& v) { o.to = v; },
     "print the items in FORMAT instead of a report\n(compare: with --completed)"},
    {"--completed", ValueKind::kWord, "1|2", kOnCompare, [](bool) { return Two("1", "2"); }, false,
     [](Options& o, const std::string& v) { o.completed = v == "2" ? 2 : 1; },
     "the slot printed with --to, completed with the items it lacks"},
    {"--mask", ValueKind::kSwitch, "", kOnReports | kOnConvert, nullptr, false,
     [](Options& o, const std::string&) { o.mask = true; },
     "mask the values printed as sanitize does\n(with --key, --key-file and --keep)"},
    {"--mask", ValueKind::kText, "NAME", kOnSanitize, nullptr, false,
     [](Options& o, const std::string& v) { o.maskNames.push_back(v); },
     "mask the values of names matching NAME (* and ?); repeatable"},
    {"--keep", ValueKind::kText, "NAME", kOnReports | kOnConvert | kOnSanitize, nullptr, false,
     [](Options& o, const std::string& v) { o.keepNames.push_back(v); },
     "leave the values of names matching NAME (* and ?) as they are;\nrepeatable"},
    {"--key", ValueKind::kText, "TEXT", kOnReports | kOnConvert | kOnSanitize, nullptr, false,
     [](Options& o, const std::string& v) { o.key = v; },
     "the key of the masking hash\n(a random one per run if neither --key nor --key-file)"},
    {"--key-file", ValueKind::kText, "FILE", kOnReports | kOnConvert | kOnSanitize, nullptr, false,
     [](Options& o, const std::string& v) { o.keyFile = v; },
     "the key of the masking hash, read from FILE"},
    {"--keep-bodies", ValueKind::kSwitch, "", kOnSanitize, nullptr, false,
     [](Options& o, const std::string&) { o.keepBodies = true; },
     "keep request and response bodies, their secrets masked"},
    {"-o", ValueKind::kText, "DIR", kOnSanitize, nullptr, false,
     [](Options& o, const std::string& v) { o.outputDir = v; },
     "write into DIR"},
    {"--color", ValueKind::kWord, "auto|always|never", kOnCompare,
     [](bool) { return std::vector<std::string>{"auto", "always", "never"}; }, false,
     [](Options& o, const std::string& v) {
       o.color = v == "always" ? ColorChoice::kAlways : v == "never" ? ColorChoice::kNever : ColorChoice::kAuto;
     },
     "colour the report: auto only on a terminal and without NO_COLOR (auto)"},
    {"--quiet", ValueKind::kSwitch, "", kOnReports | kOnConvert | kOnSanitize, nullptr, false,
     [](Options& o, const std::string&) { o.quiet = true; },
     "no progress line on standard error for large inputs"},
};

// Words joined by ", " on lines that start at the help column.
void AppendWrapped(const std::string& lead, const std::vector<std::string>& words, std::string& out) {
  std::string line(kHelpColumn, ' ');
  line += lead;
  for (size_t i = 0; i < words.size(); ++i) {
    std::string word = words[i] + (i + 1 < words.size() ? "," : "");
    if (line.size() + 1 + word.size() > kHelpWidth) {
      out += line + "\n";
      line = std::string(kHelpColumn + 2, ' ') + word;
    } else {
      line += " " + word;
    }
  }
  out += line + "\n";
}

std::string OptionLine(const OptionRow& row) {
  std::string head = "  " + std::string(row.name);
  if (row.kind != ValueKind::kSwitch) head += " " + std::string(row.valueName);
  if (head.size() + 1 < kHelpColumn) head.resize(kHelpColumn, ' ');
  else head += "\n" + std::string(kHelpColumn, ' ');
  std::string out = head;
  for (char c : row.help) out += c == '\n' ? "\n" + std::string(kHelpColumn, ' ') : std::string(1, c);
  out += "\n";
  if (row.words && row.valueName.find('|') == std::string_view::npos) {
    if (row.wordsByMode) {
      AppendWrapped("cookies mode:", row.words(false), out);
      AppendWrapped("http mode:", row.words(true), out);
    } else {
      AppendWrapped("one of", row.words(false), out);
    }
  }
  return out;
}

std::string UsageLine(const CommandRow& c) {
  return "dualsieve-cli " + std::string(c.name) + " " + std::string(c.operands);
}

}  // namespace

std::span<const CommandRow> Commands() { return kCommands; }
std::span<const OptionRow> OptionRows() { return kOptions; }

const CommandRow* CommandNamed(std::string_view name) {
  for (const CommandRow& c : kCommands)
    if (c.name == name) return &c;
  return nullptr;
}

const OptionRow* OptionFor(std::string_view name, unsigned command) {
  const OptionRow* named = nullptr;
  for (const OptionRow& row : kOptions) {
    if (row.name != name) continue;
    if (row.commands & command) return &row;
    if (!named) named = &row;
  }
  return named;
}

std::string WordsForMessage(const std::vector<std::string>& words) {
  if (words.size() == 2) return words[0] + " or " + words[1];
  std::string joined;
  for (const std::string& w : words) joined += (joined.empty() ? "" : "|") + w;
  return "one of " + joined;
}

std::vector<std::string> OptionHelpLines(const CommandRow& command) {
  std::vector<std::string> lines;
  for (const OptionRow& row : kOptions)
    if (row.commands & command.bit) lines.push_back(OptionLine(row));
  return lines;
}

std::string CommandHelp(const CommandRow& command) {
  std::string out = "usage: " + UsageLine(command) + "\n\n" + std::string(command.help) + "\n";
  std::vector<std::string> lines = OptionHelpLines(command);
  if (!lines.empty()) out += "\noptions:\n";
  for (const std::string& line : lines) out += line;
  if (command.bit & kOnReports) out += "\nExit status: 0 no differences, 1 differences, 2 error.\n";
  return out;
}

std::string GeneralHelp() {
  std::string out;
  for (const CommandRow& c : kCommands) out += (out.empty() ? "usage: " : "       ") + UsageLine(c) + "\n";
  out += "       dualsieve-cli --help | --version\n\n";
  for (const CommandRow& c : kCommands) {
    out += std::string(c.name) + " ";
    for (char ch : c.help) out += ch == '\n' ? std::string("\n  ") : std::string(1, ch);
    out += "\n";
  }
  out += "\noptions (dualsieve-cli help COMMAND lists those of one command):\n";
  for (const OptionRow& row : kOptions) out += OptionLine(row);
  out += "\nExit status: 0 no differences, 1 differences, 2 error.\n";
  return out;
}

}  // namespace cli
