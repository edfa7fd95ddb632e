// Every command and option of the companion, one row each. Parsing, the
// help texts and the shell completion scripts are all made from these rows,
// so a new option is one row and one small function.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"

namespace cli {

// Which commands take an option: a set of these bits.
enum CommandBit : unsigned {
  kOnCompare = 1u << 0,
  kOnSessions = 1u << 1,
  kOnConvert = 1u << 2,
  kOnJar = 1u << 3,
  kOnSanitize = 1u << 4,
};

struct CommandRow {
  std::string_view name;
  Options::Command command;
  unsigned bit;                   // 0 for the commands that take no options
  size_t minOperands, maxOperands;  // SIZE_MAX: any number
  std::string_view operands;      // as the usage line shows them
  std::string_view operandNoun;   // "file", "shell", "command"
  std::vector<std::string> (*operandWords)();  // the operands allowed, or nullptr for any
  std::string_view help;          // what the command does, lines of at most 100 columns
};

enum class ValueKind { kSwitch, kText, kNumber, kWord };

struct OptionRow {
  std::string_view name;
  ValueKind kind;
  std::string_view valueName;  // TEXT, N, FORMAT…; the words themselves when there are few
  unsigned commands;           // CommandBit set
  // The words a kWord value may be; the formats of --to depend on the mode.
  std::vector<std::string> (*words)(bool httpMode);
  bool wordsByMode;
  // Stores the value (or the switch) into the options.
  void (*take)(Options& o, const std::string& value);
  std::string_view help;       // lines of at most 100 columns
};

std::span<const CommandRow> Commands();
std::span<const OptionRow> OptionRows();
const CommandRow* CommandNamed(std::string_view name);
// The row of `name` that `command` (a CommandBit) takes; else the first
// row of that name, which it does not take; nullptr for an unknown name.
// --mask is a switch on the reports and takes a pattern on sanitize.
const OptionRow* OptionFor(std::string_view name, unsigned command);

// "A or B" for two words, "one of A|B|C" for more.
std::string WordsForMessage(const std::vector<std::string>& words);

// dualsieve-cli --help, and the help of one command (exactly its options).
std::string GeneralHelp();
std::string CommandHelp(const CommandRow& command);
// The option lines of one command's help, one per row, without the usage.
std::vector<std::string> OptionHelpLines(const CommandRow& command);

}  // namespace cli
