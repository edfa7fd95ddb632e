#include "cli/options.h"

#include <algorithm>

#include "cli/option_table.h"
#include "export/exporters.h"

namespace cli {
namespace {

// "compare", "compare and sessions", "compare, sessions and jar".
std::string CommandsTaking(std::string_view option) {
  unsigned commands = 0;
  for (const OptionRow& row : OptionRows())
    if (row.name == option) commands |= row.commands;
  std::vector<std::string_view> names;
  for (const CommandRow& c : Commands())
    if (c.bit & commands) names.push_back(c.name);
  std::string out;
  for (size_t i = 0; i < names.size(); ++i)
    out += std::string(i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + std::string(names[i]);
  return out;
}

// Why the value does not fit the row, or empty. Words that depend on the
// mode are checked once the whole line is read.
std::string ValueError(const OptionRow& row, const std::string& v) {
  const std::string name(row.name);
  if (row.kind == ValueKind::kNumber) {
    bool digits = !v.empty() && v.find_first_not_of("0123456789") == std::string::npos && v.size() <= 9;
    if (!digits || std::stoll(v) < 1) return name + " takes an entry number from 1, not '" + v + "'";
  }
  if (row.kind == ValueKind::kWord && !row.wordsByMode) {
    std::vector<std::string> words = row.words(false);
    if (std::find(words.begin(), words.end(), v) == words.end())
      return name + " takes " + WordsForMessage(words) + ", not '" + v + "'";
  }
  return {};
}

std::string CountWord(size_t n, std::string_view noun) {
  return std::string(n == 1 ? "one " : "two ") + std::string(noun) + (n == 1 ? "" : "s");
}

std::string OperandError(const CommandRow& command, const std::vector<std::string>& operands) {
  const std::string name(command.name), got = ", got " + std::to_string(operands.size());
  if (operands.size() < command.minOperands || operands.size() > command.maxOperands)
    return command.minOperands == command.maxOperands ? name + " needs " + CountWord(command.minOperands, command.operandNoun) + got
           : operands.size() < command.minOperands    ? name + " needs at least " + CountWord(command.minOperands, command.operandNoun)
                                                      : name + " takes at most " + CountWord(command.maxOperands, command.operandNoun) + got;
  if (command.operandWords) {
    std::vector<std::string> words = command.operandWords();
    for (const std::string& o : operands)
      if (std::find(words.begin(), words.end(), o) == words.end())
        return name + " takes " + WordsForMessage(words) + ", not '" + o + "'";
  }
  return {};
}

// sanitize's files and the key options, and --mask's on the other commands.
std::string MaskingError(const Options& o, const std::vector<std::string>& files) {
  if (o.key && o.keyFile) return "--key and --key-file cannot be given together";
  if (o.command == Options::Command::kSanitize) {
    if (o.key && o.key->empty()) return "--key needs a text that is not empty";
    if (files.size() > 1 && !o.outputDir) return "sanitize writes several files into a folder: give -o DIR";
    for (const std::string& f : files)
      if (f == "-" && o.outputDir) return "standard input has no name to write under in -o DIR";
    return {};
  }
  const char* keyOption = !o.keepNames.empty() ? "--keep" : o.key ? "--key" : o.keyFile ? "--key-file" : nullptr;
  if (keyOption && !o.mask) return std::string(keyOption) + " belongs to sanitize and --mask";
  if (o.mask && o.decode) return "--mask and --decode cannot be given together: masked values hold nothing to decode";
  return {};
}

// What the options say together, once each was read.
std::string CombinationError(const Options& o) {
  ds::AnalysisMode mode = o.httpMode ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies;
  if (o.to && !ds::ExporterNamed(*o.to, mode))
    return "--to takes one of " + ds::ExporterNames(mode) + " in " + (o.httpMode ? "http" : "cookies") +
           " mode, not '" + *o.to + "'";
  if (o.jarEntry && o.jarUrl) return "--entry and --url cannot be given together";
  if (o.command == Options::Command::kConvert && !o.to) return "convert needs --to FORMAT";
  if (o.command == Options::Command::kCompare && o.to.has_value() != o.completed.has_value())
    return "compare takes --to and --completed together";
  if (o.to && o.json) return "--json and --to cannot be given together";
  if (o.harEntry && o.harUrl) return "--har-entry and --har-url cannot be given together";
  return {};
}

// The arguments after the command: options into `o`, the rest into
// `operands`. False with the error set, or when --help ends the line.
bool ReadArguments(const std::vector<std::string>& args, const CommandRow& command, ParsedOptions& p,
                   std::vector<std::string>& operands) {
  Options& o = p.options;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.command = Options::Command::kHelp;
      o.file1 = command.name;
      return false;
    }
    const OptionRow* row = OptionFor(a, command.bit);
    if (!row) {
      if (a.size() > 1 && a[0] == '-' && a != "-") {
        p.error = "unknown option '" + a + "'";
        return false;
      }
      operands.push_back(a);
      continue;
    }
    std::string value;
    if (row->kind != ValueKind::kSwitch) {
      if (i + 1 >= args.size()) {
        p.error = "option " + a + " needs a value";
        return false;
      }
      value = args[++i];
    }
    if (!(row->commands & command.bit)) p.error = a + " belongs to " + CommandsTaking(a);
    if (p.error.empty()) p.error = ValueError(*row, value);
    if (!p.error.empty()) return false;
    row->take(o, value);
  }
  return true;
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& args) {
  ParsedOptions p;
  Options& o = p.options;
  if (args.empty()) {
    p.error = "missing command";
    return p;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "--version") {
    o.command = args[0] == "--version" ? Options::Command::kVersion : Options::Command::kHelp;
    return p;
  }
  const CommandRow* command = CommandNamed(args[0]);
  if (!command) {
    p.error = "unknown command '" + args[0] + "'";
    return p;
  }
  o.command = command->command;
  std::vector<std::string> operands;
  if (!ReadArguments(args, *command, p, operands)) return p;
  p.error = OperandError(*command, operands);
  if (p.error.empty()) p.error = MaskingError(o, operands);
  if (p.error.empty()) p.error = CombinationError(o);
  if (p.error.empty() && operands.size() > 1 && operands[0] == "-" && operands[1] == "-")
    p.error = "standard input can stand for one of the files only";
  if (!p.error.empty()) return p;
  if (o.command == Options::Command::kConvert && !o.fromGiven) o.from = ds::CaptureFormat::kAuto;
  if (!operands.empty()) o.file1 = operands[0];
  if (operands.size() > 1) o.file2 = operands[1];
  o.files = std::move(operands);
  return p;
}

}  // namespace cli
