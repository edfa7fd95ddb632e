// What the companion does on a terminal: colour, and where it marks it.
#include <gtest/gtest.h>

#include <regex>

#include "cli/compare_session.h"
#include "cli/output.h"
#include "cli/terminal.h"
#include "items/texts.h"

namespace cli {
namespace {

TEST(CliColor, AutoColoursOnlyATerminalWithoutNoColor) {
  const struct {
    ColorChoice choice;
    bool terminal;
    const char* noColor;
    bool colored;
  } cases[] = {
      {ColorChoice::kAuto, true, nullptr, true},   {ColorChoice::kAuto, true, "", true},
      {ColorChoice::kAuto, true, "1", false},      {ColorChoice::kAuto, false, nullptr, false},
      {ColorChoice::kAlways, false, "1", true},    {ColorChoice::kNever, true, nullptr, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UseColor(c.choice, c.terminal, c.noColor), c.colored)
        << static_cast<int>(c.choice) << c.terminal << (c.noColor ? c.noColor : "(unset)");
}

std::string Report(SessionInput in, bool color) {
  SessionResult r = RunSession(std::move(in));
  r.slot1.rows = {};
  r.slot2.rows = {};
  std::string out;
  WriteText(r, Encoding::kUtf8, [&out](std::string_view piece) { out += piece; }, color);
  return out;
}

SessionInput Sample() {
  SessionInput in;
  in.lineSeparatorBox = ";";
  in.valueSeparatorBox = "=";
  // a's value holds an escape of its own, which stays spelled out.
  in.slot1Text = "a=1\x1b[31m; gone=x; s=%7B%22k%22%3A1%7D";
  in.slot2Text = "a=2; new=y; s=%7B%22k%22%3A2%7D";
  in.decode = true;
  return in;
}

std::string LineWith(const std::string& text, const std::string& part) {
  size_t at = text.find(part);
  if (at == std::string::npos) return "(no line with " + part + ")";
  size_t begin = text.rfind('\n', at) + 1, end = text.find('\n', at);
  return text.substr(begin, end - begin);
}

TEST(CliColor, SidesMissingRowsAndDecodedDifferencesAreMarked) {
  std::string plain = Report(Sample(), false), colored = Report(Sample(), true);
  EXPECT_EQ(plain.find('\x1b'), std::string::npos);
  // Taking the marks out gives the plain report back, byte for byte.
  EXPECT_EQ(std::regex_replace(colored, std::regex("\x1b\\[[0-9;]*m"), ""), plain);
  const std::string slot1 = EncodeOutput(ds::texts::kSlot1Label, Encoding::kUtf8);
  const std::string slot2 = EncodeOutput(ds::texts::kSlot2Label, Encoding::kUtf8);
  EXPECT_EQ(LineWith(colored, slot1 + " a="), "\x1b[31m" + slot1 + " a=1\\x1b[31m;\x1b[0m");
  EXPECT_EQ(LineWith(colored, slot2 + " a="), "\x1b[32m" + slot2 + " a=2;\x1b[0m");
  EXPECT_EQ(LineWith(colored, "gone=x"), "\x1b[31mgone=x;\x1b[0m");  // slot 1's own row, missing in slot 2
  EXPECT_EQ(LineWith(colored, "new=y"), "\x1b[32mnew=y;\x1b[0m");
  std::string decoded = LineWith(colored, "  ");
  EXPECT_EQ(decoded.rfind("\x1b[33m  ", 0), 0u) << decoded;
  EXPECT_EQ(LineWith(colored, "== ").rfind("\x1b[1m== ", 0), 0u);
}

}  // namespace
}  // namespace cli
