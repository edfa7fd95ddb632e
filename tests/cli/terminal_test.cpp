// What the companion does on a terminal: colour, and where it marks it.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "cli/compare_session.h"
#include "cli/console_text.h"
#include "cli/output.h"
#include "cli/progress.h"
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
  size_t begin = text.rfind('\n', at) + 1, end = std::min(text.find('\n', at), text.size());
  if (end > begin && text[end - 1] == '\r') --end;  // Windows line ends
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

TEST(CliProgress, OnlyALargeInputOnATerminalWithoutQuiet) {
  const size_t large = kProgressFrom + 1;
  EXPECT_TRUE(ShowProgress(large, true, false));
  EXPECT_FALSE(ShowProgress(kProgressFrom, true, false));  // 20 MB itself is read at once
  EXPECT_FALSE(ShowProgress(large, false, false));          // a pipe or a file
  EXPECT_FALSE(ShowProgress(large, true, true));            // --quiet
  EXPECT_FALSE(ShowProgress(0, true, false));               // a pipe's size is not known ahead
  EXPECT_EQ(ProgressText(12 * 1024 * 1024 + 400 * 1024, 50 * 1024 * 1024), "12.4 MB of 50.0 MB (24%)");
  EXPECT_EQ(ProgressText(50 * 1024 * 1024, 50 * 1024 * 1024), "50.0 MB of 50.0 MB (100%)");
}

// Blocks arrive every 30 ms; the line is written at most every 100 ms and
// erased at the end with as many spaces as its longest text.
TEST(CliProgress, TenLinesASecondAtMostThenErased) {
  for (bool terminal : {true, false}) {
    long long now = 1000;
    std::vector<std::string> written;
    {
      ProgressLine line(terminal, false, [&now] { return now; },
                        [&written](std::string_view t) { written.emplace_back(t); });
      const size_t total = 40u * 1024 * 1024, block = total / 20;
      for (size_t done = block; done <= total; done += block, now += 30) line.Update(done, total);
      line.Stage("comparing", total);
      line.Stage("comparing", kProgressFrom);  // a small input says nothing
    }
    if (!terminal) {
      EXPECT_TRUE(written.empty());
      continue;
    }
    // 20 blocks over 570 ms: at 0, 120, 240, 360, 480 ms; the step, padded
    // over the longer line before it; then the erasing.
    ASSERT_EQ(written.size(), 7u);
    EXPECT_EQ(written[0], "\rreading 2.0 MB of 40.0 MB (5%)");
    EXPECT_EQ(written[1], "\rreading 10.0 MB of 40.0 MB (25%)");
    EXPECT_EQ(written[5], "\rcomparing 40.0 MB" + std::string(written[4].size() - 18, ' '));
    EXPECT_EQ(written[6], "\r" + std::string(written[4].size() - 1, ' ') + "\r");
  }
}

TEST(CliConsole, OnlyAWindowsConsoleTakesUtf16) {
  EXPECT_EQ(HowToWrite(true, true), StreamWrite::kConsoleUtf16);
  EXPECT_EQ(HowToWrite(false, true), StreamWrite::kBytes);  // redirected: the bytes of --encoding
  EXPECT_EQ(HowToWrite(true, false), StreamWrite::kBytes);
  EXPECT_EQ(HowToWrite(false, false), StreamWrite::kBytes);
}

// 中 is E4 B8 AD in UTF-8 and D6 D0 in GBK; 😀 takes four bytes and two units.
TEST(CliConsole, ACharacterCutBetweenPiecesComesOutWhole) {
  const struct {
    Encoding encoding;
    std::vector<std::string_view> pieces;
    std::u16string expected;
  } cases[] = {
      {Encoding::kUtf8, {"a\xE4", "\xB8", "\xAD" "b"}, u"a\u4e2db"},
      {Encoding::kUtf8, {"\xF0\x9F\x98", "\x80\n"}, u"\U0001F600\n"},
      {Encoding::kGbk, {"x\xD6", "\xD0y"}, u"x\u4e2dy"},
      {Encoding::kGbk, {"\xD6\xD0", "\xD6\xD0"}, u"\u4e2d\u4e2d"},  // a trail byte in the lead range ends its piece
      {Encoding::kUtf8, {"ok\n"}, u"ok\n"},
  };
  for (const auto& c : cases) {
    ConsoleText text(c.encoding);
    std::u16string out;
    for (std::string_view piece : c.pieces) out += text(piece);
    EXPECT_EQ(out, c.expected) << c.pieces[0];
  }
  ConsoleText held(Encoding::kUtf8);
  EXPECT_EQ(held("a\xE4\xB8"), u"a");  // nothing is written half
}

}  // namespace
}  // namespace cli
