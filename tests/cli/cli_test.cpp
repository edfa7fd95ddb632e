#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "cli/compare_session.h"
#include "cli/encoding.h"
#include "cli/options.h"
#include "cli/texts.h"
#include "compare/ignore_list.h"
#include "compare/texts.h"
#include "cli/output.h"
#include "items/texts.h"
#include "platform/codepage.h"

namespace cli {
namespace {

SessionInput Cookies(std::string slot1, std::string slot2) {
  SessionInput in;
  in.lineSeparatorBox = ";";
  in.valueSeparatorBox = "=";
  in.slot1Text = std::move(slot1);
  in.slot2Text = std::move(slot2);
  return in;
}

TEST(CliJson, SmallCookiesComparison) {
  SessionResult r = RunSession(Cookies("b=2; a=1; c=", "a=1; b=3; d=4"));
  EXPECT_EQ(FormatJson(r, false, Encoding::kUtf8),
            "{\"mode\": \"cookies\", "
            "\"slot1\": {\"parsed\": [[\"a\", \"1\"], [\"b\", \"2\"], [\"c\", \"\"]], \"report\": \"\xE7\xA9\xBA\", "
            "\"notes\": \"Cookies[c]\xE7\x9A\x84\xE5\x80\xBC\xE4\xB8\xBA(\xE7\xA9\xBA)\\r\\n\", "
            "\"rows\": [[\"a\", \"1\"], [\"b\", \"2\"], [\"c\", \"\"]]}, "
            "\"slot2\": {\"parsed\": [[\"a\", \"1\"], [\"b\", \"3\"], [\"d\", \"4\"]], \"report\": \"\xE7\xA9\xBA\", "
            "\"notes\": \"\", \"rows\": [[\"a\", \"1\"], [\"b\", \"3\"], [\"d\", \"4\"]]}, "
            "\"duplicates\": \"\", \"missing_in_slot1\": [[\"d\", \"4\"]], \"missing_in_slot2\": [[\"c\", \"\"]], "
            "\"different\": [[\"b\", \"2\", \"3\"]], "
            "\"summary\": \"\xE5\x88\x86\xE6\x9E\x90\xE6\x8F\x90\xE7\xA4\xBA:[1\xE5\x8F\xB7]\xE7\xBC\xBA\xE5\xB0\x91:1"
            "\xE9\xA1\xB9   [2\xE5\x8F\xB7]\xE7\xBC\xBA\xE5\xB0\x91:1\xE9\xA1\xB9   Cookies\xE5\x80\xBC\xE5\xBC\x82"
            "\xE5\x90\x8C:1\xE9\xA1\xB9\", "
            "\"reports\": [{\"report\": \"1\xE5\x8F\xB7\xE5\x80\xBC \xE6\x96\x87\xE6\x9C\xAC\xE9\x95\xBF\xE5\xBA\xA6:1"
            "\\r\\n2\xE5\x8F\xB7\xE5\x80\xBC \xE6\x96\x87\xE6\x9C\xAC\xE9\x95\xBF\xE5\xBA\xA6:1\\r\\n\\r\\n"
            "1\xE5\x8F\xB7\xE5\x80\xBC Base64\xE7\xBC\x96\xE7\xA0\x81:\xE5\x90\xA6\\r\\n"
            "2\xE5\x8F\xB7\xE5\x80\xBC Base64\xE7\xBC\x96\xE7\xA0\x81:\xE5\x90\xA6\\r\\n\\r\\n"
            "1\xE5\x8F\xB7\xE5\x80\xBC URL\xE7\xBC\x96\xE7\xA0\x81:\xE5\x90\xA6\\r\\n"
            "2\xE5\x8F\xB7\xE5\x80\xBC URL\xE7\xBC\x96\xE7\xA0\x81:\xE5\x90\xA6\\r\\n\\r\\n"
            "\xE5\xAF\xB9\xE6\xAF\x94" "Cookies\xE5\x80\xBC:\xE7\x9B\xB8\xE5\x90\x8C\", "
            "\"content\": \"a=1;\\r\\n\\r\\na=1;\\r\\n\"}, "
            "{\"report\": \"1\xE5\x8F\xB7\xE5\x80\xBC \xE6\x96\x87\xE6\x9C\xAC\xE9\x95\xBF\xE5\xBA\xA6:1"
            "\\r\\n2\xE5\x8F\xB7\xE5\x80\xBC \xE6\x96\x87\xE6\x9C\xAC\xE9\x95\xBF\xE5\xBA\xA6:1\\r\\n\\r\\n"
            "1\xE5\x8F\xB7\xE5\x80\xBC Base64\xE7\xBC\x96\xE7\xA0\x81:\xE5\x90\xA6\\r\\n"
            "2\xE5\x8F\xB7\xE5\x80\xBC Base64\xE7\xBC\x96\xE7\xA0\x81:\xE5\x90\xA6\\r\\n\\r\\n"
            "1\xE5\x8F\xB7\xE5\x80\xBC URL\xE7\xBC\x96\xE7\xA0\x81:\xE5\x90\xA6\\r\\n"
            "2\xE5\x8F\xB7\xE5\x80\xBC URL\xE7\xBC\x96\xE7\xA0\x81:\xE5\x90\xA6\\r\\n\\r\\n"
            "\xE5\xAF\xB9\xE6\xAF\x94" "Cookies\xE5\x80\xBC:\xE4\xB8\x8D\xE5\x90\x8C\", "
            "\"content\": \"b=2;\\r\\n\\r\\nb=3;\\r\\n\"}, "
            "{\"report\": \"Cookies2\xE5\x8F\xB7\xE4\xB8\xAD\xE6\x97\xA0\xE5\xAF\xB9\xE5\xBA\x94"
            "Cookies\xE9\xA1\xB9\", \"content\": \"c=;\\r\\n\"}]}\n");
}

TEST(CliJson, EmptyInputsStopSilently) {
  SessionResult r = RunSession(Cookies("", ""));
  std::string json = FormatJson(r, false, Encoding::kUtf8);
  EXPECT_NE(json.find("\"report\": null, \"notes\": \"\""), std::string::npos);
  EXPECT_NE(json.find("\"duplicates\": null"), std::string::npos);
  EXPECT_NE(json.find("\"summary\": null, \"reports\": []}"), std::string::npos);
  EXPECT_FALSE(r.HasDifferences());
}

// Only a text that is the placeholder and nothing more is refused, in either
// slot; a longer one is compared.
TEST(CliSession, OnlyTheWholePlaceholderIsRefused) {
  for (ds::Slot slot : {ds::Slot::k1, ds::Slot::k2}) {
    std::string placeholder = ds::PlaceholderText("Cookies", slot);
    bool first = slot == ds::Slot::k1;
    EXPECT_TRUE(RunSession(first ? Cookies(placeholder, "a=1") : Cookies("a=1", placeholder)).refusal);
    SessionResult longer = RunSession(first ? Cookies(placeholder + "a=1", "a=1") : Cookies("a=1", placeholder + "a=1"));
    EXPECT_FALSE(longer.refusal);
    EXPECT_EQ(longer.stop, ds::AnalyseStop::kRan);
  }
}

TEST(CliSession, ReportsAreNullWhenSlot2IsEmptyAndDuplicatesFollowTheAnswer) {
  SessionInput in = Cookies("a=1;a=2", "");
  in.removeDuplicates = true;
  SessionResult r = RunSession(in);
  ASSERT_TRUE(r.duplicates.has_value());
  EXPECT_EQ(r.slot1.parsed.size(), 2u);
  EXPECT_EQ(r.slot1.rows.rows.size(), 1u);
  std::vector<std::optional<ItemReportText>> reports;
  ForEachItemReport(r, [&reports](const std::optional<ItemReportText>& report) { reports.push_back(report); });
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_FALSE(reports[0].has_value());
  EXPECT_TRUE(r.HasDifferences());
}

TEST(CliEncoding, ArgumentsFollowTheConsolesCharacterSet) {
  for (const char* gbk : {"GBK", "gb2312", "GB18030", "cp936", "EUC-CN"}) EXPECT_EQ(ConsoleEncoding(gbk), Encoding::kGbk) << gbk;
  for (const char* utf8 : {"UTF-8", "utf8", "ANSI_X3.4-1968", ""}) EXPECT_EQ(ConsoleEncoding(utf8), Encoding::kUtf8) << utf8;
}

TEST(CliSession, HttpModeWithTheWordForLineBreaks) {
  SessionInput in;
  in.httpMode = true;
  in.lineSeparatorBox = ds::texts::kLineBreakWord;
  in.valueSeparatorBox = ":";
  in.slot1Text = WindowsLineBreaks("Host: a\nAccept: */*\n");
  in.slot2Text = WindowsLineBreaks("Host: b\n");
  SessionResult r = RunSession(in);
  ASSERT_EQ(r.lists.different.size(), 1u);
  auto [row1, row2] = r.lists.different[0];
  EXPECT_EQ(r.Slot1Row(row1).Cells(), (std::vector<std::string>{"2", "Host", "a"}));
  EXPECT_EQ(r.Slot2Row(row2).Cells(), (std::vector<std::string>{"1", "Host", "b"}));
  std::vector<std::optional<ItemReportText>> reports;
  ForEachItemReport(r, [&reports](const std::optional<ItemReportText>& report) { reports.push_back(report); });
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1]->content, "Host:a\r\n\r\nHost:b\r\n");
}

TEST(CliEncoding, RejectsWhatCodePage936CannotHoldAtItsOffset) {
  EXPECT_EQ(DecodeInput("a=\xE4\xB8\xAD", Encoding::kUtf8).gbk, "a=\xD6\xD0");
  EXPECT_EQ(DecodeInput("\xEF\xBB\xBF" "a=1", Encoding::kUtf8).gbk, "a=1");
  const struct {
    std::string_view bytes;
    Encoding encoding;
    std::optional<size_t> badOffset;
  } cases[] = {
      {"a=1;b=\xE0\xB8\x81", Encoding::kUtf8, 6},              // Thai
      {"ab\xFF", Encoding::kUtf8, 2},                            // not UTF-8
      {"\xEF\xBB\xBF" "a=\xE0\xB8\x81", Encoding::kUtf8, 5},  // counted from the file's start, mark included
      {"a=1;b=\x81\"x", Encoding::kGbk, 6},                      // a lead byte before a quote
      {"k=\xD6\xD0\x81", Encoding::kGbk, 4},                     // a lead byte at the end
      {"ab\xFF", Encoding::kGbk, 2},
      {"k=\xD6\xD0\x80\x95\x5C", Encoding::kGbk, std::nullopt},  // the euro sign alone, a trail byte 0x5C
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeInput(c.bytes, c.encoding).badOffset, c.badOffset) << c.bytes;
  EXPECT_EQ(EncodeOutput("\xD6\xD0", Encoding::kUtf8), "\xE4\xB8\xAD");
  // A long output converts in pieces: none may cut a character or lose one.
  std::string gbk, utf8;
  for (int i = 0; gbk.size() < 300000; ++i) {
    std::string line = std::string(static_cast<size_t>(i % 97), 'x') + (i % 2 ? "\xD6\xD0\r\n" : "\xD6\xD0");
    gbk += line;
    utf8 += std::string(static_cast<size_t>(i % 97), 'x') + (i % 2 ? "\xE4\xB8\xAD\r\n" : "\xE4\xB8\xAD");
  }
  EXPECT_EQ(EncodeOutput(gbk, Encoding::kUtf8), utf8);
  // ASCII passes through untouched; the rest must read as the whole text
  // does, trail bytes that look like ASCII and stray lead bytes included.
  // One encoder over every round, as a report has: the stretches it keeps
  // must never stand in for others.
  std::mt19937 random(7);
  const char alphabet[] = {'a', '\n', '\x40', '\x5C', '\x7F', '\x80', '\x81', '\xD0', '\xD6', '\xFE', '\xFF'};
  OutputEncoder report(Encoding::kUtf8);
  for (int round = 0; round < 400; ++round) {
    std::string bytes;
    for (int k = static_cast<int>(random() % 40); k > 0; --k) bytes += alphabet[random() % sizeof alphabet];
    std::string whole = ds::platform::FromUtf16(ds::platform::ToUtf16(bytes, ds::platform::kCodePageGbk),
                                                ds::platform::kCodePageUtf8);
    EXPECT_EQ(EncodeOutput(bytes, Encoding::kUtf8), whole) << round;
    EXPECT_EQ(report(bytes), whole) << round;
  }
  EXPECT_EQ(WindowsLineBreaks("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
}

TEST(CliJson, GbkOutputKeepsTrailBytesThatLookLikeBackslashes) {
  SessionResult r = RunSession(Cookies("k=\x95\x5C", "k=\x95\x5C"));
  std::string json = FormatJson(r, false, Encoding::kGbk);
  EXPECT_NE(json.find("[\"k\", \"\x95\x5C\"]"), std::string::npos);
}

TEST(CliJson, StaysValidWhateverBytesReachIt) {
  SessionResult r;
  r.summary = "\x81\"x\x95\r\n\xFF\x01\t\x80\xD6\xD0\x1F\x1E\x7F";
  // JSON escapes every byte below 0x20, the last of them too; DEL it allows.
  EXPECT_NE(FormatJson(r, true, Encoding::kGbk)
                .find("\"summary\": \"\\ufffd\\\"x\\ufffd\\r\\n\\ufffd\\u0001\\t\x80\xD6\xD0\\u001f\\u001e\x7F\""),
            std::string::npos);
  std::string utf8 = FormatJson(r, true, Encoding::kUtf8);
  for (size_t i = 0; i + 1 < utf8.size(); ++i) EXPECT_GE(static_cast<unsigned char>(utf8[i]), 0x20) << i;
}

TEST(CliJson, DecodedRowsAndIgnoredNamesOnlyWhenAskedFor) {
  SessionInput in = Cookies("_ga=1; s=%7B%22a%22%3A1%7D; t=abc", "_ga=2; s=%7B%22a%22%3A2%7D; t=abd");
  std::string plain = FormatJson(RunSession(in), false, Encoding::kUtf8);
  EXPECT_EQ(plain.find("\"decoded\""), std::string::npos);
  EXPECT_EQ(plain.find("\"ignored\""), std::string::npos);

  in.decode = true;
  in.ignorePatterns = {"_G*"};  // case matters: nothing is left out
  SessionResult r = RunSession(in);
  ASSERT_EQ(r.decoded.size(), 3u);
  std::string json = FormatJson(r, false, Encoding::kUtf8);
  EXPECT_NE(json.find("\"ignored\": [], \"summary\""), std::string::npos);
  EXPECT_NE(json.find("{\"name\": \"s\", \"layers1\": [\"percent-utf8\", \"json\"], \"text1\": \"{\\\"a\\\":1}\""),
            std::string::npos);
  EXPECT_NE(json.find("\"fields\": [{\"kind\": \"different\", \"path\": \"a\", \"value1\": \"1\", \"value2\": \"2\", "
                      "\"date1\": null, \"date2\": null}], \"fields_left_out\": 0, \"first_difference\": null}"),
            std::string::npos);
  EXPECT_NE(json.find("\"first_difference\": {\"offset\": 2, "), std::string::npos);

  in.rule.caseSensitive = false;
  r = RunSession(in);
  EXPECT_EQ(r.lists.different.size(), 2u);
  EXPECT_EQ(r.ignored, (std::vector<std::string>{"_ga"}));
  std::string text;
  WriteText(r, Encoding::kUtf8, [&text](std::string_view piece) { text += piece; });
  std::erase(text, '\r');  // Windows keeps CR LF
  EXPECT_NE(text.find("  \xE9\xA6\x96\xE4\xB8\xAA\xE4\xB8\x8D\xE5\x90\x8C"), std::string::npos);  // "  首个不同"
  EXPECT_NE(text.find("(1) ==\n_ga\n"), std::string::npos);

  SessionInput same = Cookies("a=1", "a=1");
  same.decode = true;
  EXPECT_NE(FormatJson(RunSession(same), false, Encoding::kUtf8).find("\"decoded\": []"), std::string::npos);
}

// The document goes out in pieces as it is made, never held whole, and the
// rows right after parsing go once written.
TEST(CliJson, LongDocumentsGoOutInPieces) {
  std::string slot1, slot2;
  for (int i = 0; i < 20000; ++i) {
    slot1 += "name" + std::to_string(i) + "=a;";
    slot2 += "name" + std::to_string(i) + "=b;";
  }
  SessionResult r = RunSession(Cookies(slot1, slot2));
  std::string whole = FormatJson(r, false, Encoding::kUtf8);
  std::string joined;
  size_t pieces = 0, largest = 0;
  WriteJson(r, false, Encoding::kUtf8, [&](std::string_view piece) {
    ++pieces;
    largest = std::max(largest, piece.size());
    joined += piece;
  });
  EXPECT_EQ(joined, whole);
  EXPECT_GT(pieces, whole.size() / (128 * 1024));
  EXPECT_LT(largest, 128u * 1024);
  EXPECT_TRUE(r.slot1.parsed.empty() && r.slot2.parsed.empty());
  EXPECT_EQ(r.slot1.rows.rows.size(), 20000u);
}

// A long report is written in two halves that meet inside Slot 2's missing
// list: every item must come out once, in order, under its own heading.
TEST(CliText, LongReportsComeOutWholeAndInOrder) {
  for (size_t missing1 : {0, 30000}) {
    SessionResult r;
    // Each slot's rows, and every one of them in a list: Slot 1 lacks Slot
    // 2's "a" rows, Slot 2 lacks Slot 1's "b" rows, and the "d" rows differ.
    auto add = [](std::vector<ds::Row>& rows, std::vector<int>& places, size_t n, const char* prefix) {
      for (size_t i = 0; i < n; ++i) {
        places.push_back(static_cast<int>(rows.size()));
        rows.push_back(ds::Row{"", prefix + std::to_string(i), "v"});
      }
    };
    r.separators = {";", "="};
    add(r.slot2.rows.rows, r.lists.missingInSlot1, missing1, "a");
    add(r.slot1.rows.rows, r.lists.missingInSlot2, 25000, "b");
    std::vector<int> different1, different2;
    add(r.slot1.rows.rows, different1, 3, "d");
    add(r.slot2.rows.rows, different2, 3, "d");
    for (size_t i = 0; i < 3; ++i) r.lists.different.emplace_back(different1[i], different2[i]);
    r.duplicates = "x\r\ny";  // a text of two lines
    // A line that ends on a lead byte keeps its line end.
    r.ignoring = true;
    r.ignored = {"a\xD6", "b"};
    std::string text;
    WriteText(r, Encoding::kUtf8, [&text](std::string_view piece) { text += piece; });
#ifdef _WIN32
    EXPECT_NE(text.find("\r\nx\r\ny\r\n"), std::string::npos);
    std::erase(text, '\r');
#else
    EXPECT_EQ(text.find('\r'), std::string::npos);  // the platform's line ends, inside a text too
#endif
    EXPECT_NE(text.find("\nx\ny\n"), std::string::npos);
    EXPECT_NE(text.find("\nb\n"), std::string::npos);
    std::vector<std::string> expected;
    for (int place : r.lists.missingInSlot1) expected.push_back(std::string(r.Slot2Row(place).Cell(1)) + "=v;");
    for (int place : r.lists.missingInSlot2) expected.push_back(std::string(r.Slot1Row(place).Cell(1)) + "=v;");
    std::vector<std::string> got;
    size_t differences = text.find(" (3) ==\n");
    ASSERT_NE(differences, std::string::npos);
    std::istringstream lines(text.substr(0, differences));
    for (std::string line; std::getline(lines, line);)
      if (line.find("=v;") != std::string::npos) got.push_back(line);
    EXPECT_EQ(got, expected) << missing1;
    // Each heading once, right before its list, wherever the halves meet.
    std::string title2 = "\n== " + EncodeOutput(ds::texts::kTitleSlot2Missing, Encoding::kUtf8);
    EXPECT_NE(text.find(title2 + " (25000) ==\nb0=v;"), std::string::npos) << missing1;
    EXPECT_EQ(text.find(title2), text.rfind(title2)) << missing1;
    EXPECT_NE(text.find("=v;\n== "), std::string::npos);  // the differences' heading follows the last item
  }
}

// Texts far longer than a piece (the duplicate notes, a value of 100 KB) go
// out in pieces of bounded size, and no line is cut, doubled or converted
// apart from its neighbours where one piece ends and the next begins.
TEST(CliText, LongTextsGoOutInBoundedPiecesLineByLine) {
  auto utf8 = [](std::string_view gbk) {
    return ds::platform::FromUtf16(ds::platform::ToUtf16(gbk, ds::platform::kCodePageGbk), ds::platform::kCodePageUtf8);
  };
  const std::string ming = "\xC3\xFB";  // 名
  std::string notes;
  std::vector<std::string> expected;
  for (int i = 0; i < 20000; ++i) {
    std::string name = ming + std::to_string(i);
    if (i == 12400) name += "\r";        // a lone CR, spelled wherever it falls
    if (i == 12401) name += "\x1b[2J";   // an escape sequence, spelled too
    std::string line = "[" + name + "]\xD6\xD8:" + std::to_string(i % 3 + 1);  // 重
    notes += line + "\r\n";
    std::string shown = line;
    if (i == 12400) shown.replace(shown.find('\r'), 1, "\\x0d");
    if (i == 12401) shown.replace(shown.find('\x1b'), 1, "\\x1b");
    expected.push_back(utf8(shown));
  }
  notes += ming;  // the last line ends on a double-byte character and its LF stays
  expected.push_back(utf8(ming));
  std::string value(100 * 1024, 'v');
  for (size_t at = 0; at < value.size(); at += 7001) value.replace(at, 2, "\xD6\xD0");  // 中 here and there
  SessionResult r;
  r.separators = {";", "="};
  r.duplicates = notes;
  r.slot1.rows.rows = {ds::Row{"", "long", value}};
  r.lists.missingInSlot2 = {0};
  std::string text;
  size_t largest = 0, pieces = 0;
  WriteText(r, Encoding::kUtf8, [&](std::string_view piece) {
    largest = std::max(largest, piece.size());
    ++pieces;
    text += piece;
  });
  std::erase(text, '\r');  // Windows keeps CR LF
  std::string heading = "== " + utf8(cli::texts::kDuplicatesHeading) + " ==\n";
  size_t at = text.find(heading);
  ASSERT_NE(at, std::string::npos);
  at += heading.size();
  for (const std::string& line : expected) {
    ASSERT_EQ(text.compare(at, line.size() + 1, line + "\n"), 0) << line << " at " << at;
    at += line.size() + 1;
  }
  EXPECT_EQ(text.compare(at, 3, "== "), 0);  // the next heading right after the last note
  EXPECT_NE(text.find("\nlong=" + utf8(value) + ";\n"), std::string::npos);
  // Notes of some 560 KB in UTF-8 come in many pieces, none near their size.
  EXPECT_GT(pieces, 4u);
  EXPECT_LT(largest, 256u * 1024);
}

// A capture's escape sequences reach no terminal through the report: control
// bytes show as "\x1b", TAB and line breaks stay what they are.
TEST(CliText, ControlBytesAreSpelledOut) {
  SessionResult r;
  r.separators = {";", "="};
  r.slot2.rows.rows = {ds::Row{"", "t\x1b]0;title\x07", "\x1b[31mred"}, ds::Row{"", "tab", "a\tb\x7f"},
                       ds::Row{"", "d", "\x9b"}};
  r.slot1.rows.rows = {ds::Row{"", "d", "\x01"}, ds::Row{"", "cr", "a\rb"}, ds::Row{"", "lead", "\xD6\x1b[0m\xD6\xD0"}};
  r.lists.missingInSlot1 = {0, 1};
  r.lists.missingInSlot2 = {1, 2};
  r.lists.different = {{0, 2}};
  r.duplicates = "[\x1b[2J]:1\r\n[x]:2\r\n";
  std::string text;
  WriteText(r, Encoding::kGbk, [&text](std::string_view piece) { text += piece; });
  std::erase(text, '\r');  // Windows keeps CR LF
  for (const char* shown : {"\n[\\x1b[2J]:1\n[x]:2\n", "\nt\\x1b]0;title\\x07=\\x1b[31mred;\n",
                            "\ntab=a\tb\\x7f;\n", "\ncr=a\\x0db;\n", "\nlead=\\xd6\\x1b[0m\xD6\xD0;\n", "=\\x01;\n"})
    EXPECT_NE(text.find(shown), std::string::npos) << shown;
  for (char c : text) EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 ? c != 0x7F : c == '\n' || c == '\t') << int(c);
}

TEST(CliOptions, ParsesAndRejects) {
  ParsedOptions p = ParseOptions({"compare", "--mode", "http", "--fuzzy", "--ignore-case", "--json", "--duplicates",
                                  "remove", "--line-sep", "", "x", "-"});
  ASSERT_EQ(p.error, "");
  EXPECT_TRUE(p.options.httpMode && p.options.fuzzy && p.options.ignoreCase && p.options.json);
  EXPECT_TRUE(p.options.removeDuplicates);
  EXPECT_EQ(p.options.lineSeparator, std::optional<std::string>(""));
  EXPECT_EQ(p.options.file2, "-");
  EXPECT_NE(ParseOptions({"compare", "-", "-"}).error, "");
  EXPECT_NE(ParseOptions({"compare", "a"}).error, "");
  EXPECT_NE(ParseOptions({"compare", "--mode", "xml", "a", "b"}).error, "");
  EXPECT_NE(ParseOptions({"compare", "--bogus", "a", "b"}).error, "");
  EXPECT_NE(ParseOptions({"compare", "a", "b", "--line-sep"}).error, "");
  EXPECT_EQ(ParseOptions({"--version"}).options.command, Options::Command::kVersion);
  ParsedOptions ignoring =
      ParseOptions({"compare", "--ignore", "a*", "--ignore", "b", "--ignore-preset", "volatile", "--decode", "x", "y"});
  ASSERT_EQ(ignoring.error, "");
  EXPECT_EQ(ignoring.options.ignore, (std::vector<std::string>{"a*", "b"}));
  EXPECT_EQ(ignoring.options.presetIgnore, *ds::IgnorePreset("volatile"));
  EXPECT_TRUE(ignoring.options.decode);
  EXPECT_NE(ParseOptions({"compare", "--ignore-preset", "noise", "a", "b"}).error, "");
}

// --mask names patterns for sanitize and is a switch elsewhere; the key
// options belong to both, the file options to sanitize alone.
TEST(CliOptions, SanitizeAndMask) {
  ParsedOptions s = ParseOptions({"sanitize", "--mask", "x*", "--keep", "sid", "--mask", "y", "--key-file", "k",
                                  "--keep-bodies", "a.har", "b.har", "-o", "out"});
  ASSERT_EQ(s.error, "");
  EXPECT_EQ(s.options.command, Options::Command::kSanitize);
  EXPECT_EQ(s.options.maskNames, (std::vector<std::string>{"x*", "y"}));
  EXPECT_EQ(s.options.keepNames, (std::vector<std::string>{"sid"}));
  EXPECT_FALSE(s.options.mask);
  EXPECT_TRUE(s.options.keepBodies);
  EXPECT_EQ(s.options.files, (std::vector<std::string>{"a.har", "b.har"}));
  EXPECT_EQ(s.options.outputDir, std::optional<std::string>("out"));
  EXPECT_EQ(ParseOptions({"sanitize", "a.har"}).error, "");
  ParsedOptions m = ParseOptions({"sessions", "--mask", "--key", "k", "--keep", "theme", "a", "b"});
  ASSERT_EQ(m.error, "");
  EXPECT_TRUE(m.options.mask);
  EXPECT_EQ(m.options.file2, "b");
  for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
           {"sanitize"},
           {"sanitize", "a.har", "b.har"},                    // several files need -o
           {"sanitize", "--key", "k", "--key-file", "f", "a.har"},
           {"sanitize", "--key", "", "a.har"},
           {"sanitize", "-", "-o", "out"},
           {"sanitize", "--json", "a.har"},
           {"compare", "--key", "k", "a", "b"},               // a key without --mask
           {"jar", "--keep", "sid", "x.har"},
           {"compare", "--mask", "--keep-bodies", "a", "b"},
           {"convert", "--to", "json", "--mask", "-o", "d", "a"},
           {"compare", "--mask", "--decode", "a", "b"},
           {"sessions", "--mask", "--key", "k", "--key-file", "f", "a", "b"}})
    EXPECT_NE(ParseOptions(bad).error, "") << bad[1];
}

}  // namespace
}  // namespace cli
