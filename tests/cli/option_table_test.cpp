// The option table against the parser and the help texts made from it.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "cli/option_table.h"

namespace cli {
namespace {

// The shortest good command line of each command, with room for one option.
std::vector<std::string> LineWith(const CommandRow& c, const OptionRow& row) {
  std::vector<std::string> args{std::string(c.name)};
  if (c.command == Options::Command::kConvert && row.name != "--to") args.insert(args.end(), {"--to", "json"});
  // compare takes --to and --completed only together.
  if (c.command == Options::Command::kCompare && row.name == "--to") args.insert(args.end(), {"--completed", "1"});
  if (c.command == Options::Command::kCompare && row.name == "--completed") args.insert(args.end(), {"--to", "json"});
  // The key options serve --mask outside sanitize.
  bool keyOption = row.name == "--key" || row.name == "--key-file" || row.name == "--keep";
  if (keyOption && (row.commands & c.bit) && c.command != Options::Command::kSanitize) args.emplace_back("--mask");
  args.emplace_back(row.name);
  if (row.kind == ValueKind::kNumber) args.emplace_back("1");
  if (row.kind == ValueKind::kText) args.emplace_back("x");
  if (row.kind == ValueKind::kWord) args.push_back(row.name == "--to" ? "json" : row.words(false).back());
  for (size_t i = 0; i < c.minOperands; ++i) args.push_back(c.operandWords ? c.operandWords()[0] : "f" + std::to_string(i));
  return args;
}

TEST(CliOptionTable, EveryOptionIsTakenWhereListedAndRefusedElsewhere) {
  int accepted = 0, refused = 0;
  for (const CommandRow& c : Commands()) {
    for (const OptionRow& row : OptionRows()) {
      if (OptionFor(row.name, c.bit) != &row && (OptionFor(row.name, c.bit)->commands & c.bit)) continue;
      std::vector<std::string> args = LineWith(c, row);
      std::string error = ParseOptions(args).error;
      if (row.commands & c.bit) {
        EXPECT_EQ(error, "") << c.name << " " << row.name;
        ++accepted;
      } else {
        EXPECT_EQ(error.rfind(std::string(row.name) + " belongs to ", 0), 0u) << c.name << " " << row.name << ": " << error;
        ++refused;
      }
    }
  }
  EXPECT_GT(accepted, 30);
  EXPECT_GT(refused, 30);
  EXPECT_EQ(ParseOptions({"sessions", "--decode", "a", "b"}).error, "--decode belongs to compare");
  EXPECT_EQ(ParseOptions({"jar", "--ignore", "x", "a"}).error, "--ignore belongs to compare and sessions");
  EXPECT_EQ(ParseOptions({"jar", "--mode", "http", "a"}).error, "--mode belongs to compare, sessions and convert");
}

// The option names a help text lists, in order.
std::vector<std::string> ListedOptions(const std::string& help) {
  std::vector<std::string> names;
  std::istringstream lines(help);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("  -", 0) == 0) names.push_back(line.substr(2, line.find(' ', 2) - 2));
  return names;
}

TEST(CliOptionTable, EachCommandsHelpListsExactlyItsOptions) {
  for (const CommandRow& c : Commands()) {
    std::vector<std::string> expected;
    for (const OptionRow& row : OptionRows())
      if (row.commands & c.bit) expected.emplace_back(row.name);
    EXPECT_EQ(ListedOptions(CommandHelp(c)), expected) << c.name;
    EXPECT_EQ(CommandHelp(c).rfind("usage: dualsieve-cli " + std::string(c.name) + " ", 0), 0u);
    for (const std::vector<std::string>& args : {std::vector<std::string>{std::string(c.name), "--help"},
                                                 std::vector<std::string>{"help", std::string(c.name)}}) {
      ParsedOptions p = ParseOptions(args);
      EXPECT_EQ(p.options.command, Options::Command::kHelp) << c.name;
      EXPECT_EQ(p.options.file1, c.name);
    }
  }
  EXPECT_EQ(ParseOptions({"compare", "--json", "--help", "--bogus"}).options.command, Options::Command::kHelp);
  EXPECT_EQ(ListedOptions(GeneralHelp()).size(), OptionRows().size());
  std::istringstream lines(GeneralHelp());
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 100u) << line;
}

TEST(CliOptionTable, OperandsOfHelpAndCompletion) {
  EXPECT_EQ(ParseOptions({"completion", "zsh"}).options.file1, "zsh");
  EXPECT_EQ(ParseOptions({"completion", "zsh"}).options.command, Options::Command::kCompletion);
  EXPECT_EQ(ParseOptions({"completion"}).error, "completion needs one shell, got 0");
  EXPECT_EQ(ParseOptions({"completion", "fish"}).error, "completion takes one of bash|zsh|powershell, not 'fish'");
  EXPECT_EQ(ParseOptions({"help", "jar", "compare"}).error, "help takes at most one command, got 2");
  EXPECT_EQ(ParseOptions({"help", "sort"}).error,
            "help takes one of compare|sessions|convert|jar|sanitize|help|completion, not 'sort'");
  EXPECT_EQ(ParseOptions({"sanitize"}).error, "sanitize needs at least one file");
  ParsedOptions general = ParseOptions({"help"});
  EXPECT_EQ(general.error, "");
  EXPECT_EQ(general.options.file1, "");
  EXPECT_EQ(ParseOptions({"help", "--json"}).error, "--json belongs to compare, sessions and jar");
}

TEST(CliOptionTable, NewOptionsTakeTheirWords) {
  const struct {
    const char* word;
    ColorChoice color;
  } colors[] = {{"auto", ColorChoice::kAuto}, {"always", ColorChoice::kAlways}, {"never", ColorChoice::kNever}};
  for (const auto& c : colors)
    EXPECT_EQ(ParseOptions({"compare", "--color", c.word, "a", "b"}).options.color, c.color) << c.word;
  EXPECT_EQ(ParseOptions({"compare", "--color", "yes", "a", "b"}).error, "--color takes one of auto|always|never, not 'yes'");
  EXPECT_FALSE(ParseOptions({"compare", "a", "b"}).options.quiet);
  EXPECT_TRUE(ParseOptions({"jar", "--quiet", "a"}).options.quiet);
  EXPECT_EQ(ParseOptions({"jar", "--entry", "12", "a"}).options.jarEntry, std::optional<long long>(12));
  EXPECT_EQ(ParseOptions({"compare", "--har-entry", "x1", "a", "b"}).error, "--har-entry takes an entry number from 1, not 'x1'");
}

}  // namespace
}  // namespace cli
