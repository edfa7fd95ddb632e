#include "items/slot_parser.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "items/texts.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

const Separators kCookies{";", "="};
const Separators kHttp{"\r\n", ":"};
const std::string kMark = texts::kSpecialColonMarker;

using test::Gbk;

SlotContext In(Slot slot, AnalysisMode mode = AnalysisMode::kCookies) { return {mode, slot}; }

std::vector<std::pair<Text, Text>> Items(const ParseOutcome& out) {
  std::vector<std::pair<Text, Text>> items;
  for (const Row& r : out.rows) items.emplace_back(r.Cell(1), r.Cell(2));
  return items;
}

using Items_ = std::vector<std::pair<Text, Text>>;

TEST(CutLine, NamesValuesAndRejections) {
  struct Case {
    const char* line;
    const char* sep;
    CutLine::Kind kind;
    const char* name;
    const char* value;
    bool emptyValue;
  } cases[] = {
      {"a=1", "=", CutLine::Kind::kItem, "a", "1", false},
      {"a=", "=", CutLine::Kind::kItem, "a", "", true},
      {"a", "=", CutLine::Kind::kNoSeparator, "", "", false},
      {"=1", "=", CutLine::Kind::kEmptyName, "", "", false},
      {"", "=", CutLine::Kind::kEmptyName, "", "", false},
      {"   ", "=", CutLine::Kind::kEmptyName, "", "", false},
      {"a=b=c", "=", CutLine::Kind::kItem, "a", "b=c", false},
      {"k=abc=", "=", CutLine::Kind::kItem, "k", "abc=", false},
      {"k=abc==", "=", CutLine::Kind::kItem, "k", "abc==", false},
      {"k==", "=", CutLine::Kind::kItem, "k", "==", false},
      {" a = hello world ", "=", CutLine::Kind::kItem, "a", "hello world", false},
      {":method:GET", ":", CutLine::Kind::kItem, ":method", "GET", false},
      {"Referer: a:b:c", ":", CutLine::Kind::kItem, "Referer", "a:b:c", false},
      // Separators longer than one byte compare their whole length.
      {"a=>", "=>", CutLine::Kind::kItem, "a", "", true},
      {"k=>x=>", "=>", CutLine::Kind::kItem, "k", "x=>", false},
      {"k=>x=>=>", "=>", CutLine::Kind::kItem, "k", "x=>=>", false},
      {"a=", "=>", CutLine::Kind::kNoSeparator, "", "", false},
      // A separator that overlaps itself gives back only what follows it.
      {"k===", "==", CutLine::Kind::kItem, "k", "=", false},
      {"k:::", "::", CutLine::Kind::kItem, "k", ":", false},
      {"k=>=>=", "=>=", CutLine::Kind::kItem, "k", ">=", false},
      // The euro byte stands alone and does not hide the separator.
      {"v=\x80", "=", CutLine::Kind::kItem, "v", "\x80", false},
  };
  for (const Case& c : cases) {
    CutLine cut = CutItemLine(c.line, c.sep);
    EXPECT_EQ(cut.kind, c.kind) << c.line;
    EXPECT_EQ(cut.name, c.name) << c.line;
    EXPECT_EQ(cut.value, c.value) << c.line;
    EXPECT_EQ(cut.emptyValue, c.emptyValue) << c.line;
  }
}

TEST(ParseSlot, CookiesStrings) {
  ParseOutcome out = ParseSlotText("a=1; b=2", kCookies, In(Slot::k1));
  EXPECT_EQ(out.stop, ParseOutcome::Stop::kParsed);
  EXPECT_EQ(Items(out), (Items_{{"a", "1"}, {"b", "2"}}));
  EXPECT_EQ(out.report, texts::kEmptyReport);
  EXPECT_EQ(out.status, texts::kStatusPrefix);
  EXPECT_EQ(out.notes, "");

  EXPECT_EQ(Items(ParseSlotText("a=hello world", kCookies, In(Slot::k1))), (Items_{{"a", "hello world"}}));
  EXPECT_EQ(Items(ParseSlotText("a=1;b=2;", kCookies, In(Slot::k1))), (Items_{{"a", "1"}, {"b", "2"}}));
  // A string pasted over several lines is one line once CR and LF are gone.
  EXPECT_EQ(Items(ParseSlotText("a=1;\r\n b=2", kCookies, In(Slot::k1))), (Items_{{"a", "1"}, {"b", "2"}}));
}

// A paste cuts its lines as the single-line cut does, whichever way each
// line takes through the parser: one separator or several, at an end, after
// a byte that starts a double-byte character or after a character's second
// byte, spaces around, nothing on one side.
TEST(ParseSlot, EveryLineIsCutAsALoneLineWouldBe) {
  const std::vector<std::string> lines = {
      "a=1", " a = 1 ", "a==", "a=b=c", "k===", "=1", "a=", "a", "\xD6=1", "\xD6\xD0=1", "x\xD6\xD0=\xD6\xD0",
      "\xA1\xA1" "a=1\xA1\xA1", "a =", " =b", "n=v=", "\x81==", "Z\x81=q=r", "ab\xD6\xD0\xD6=x"};
  for (const Separators& seps : {kCookies, Separators{";", "|"}, Separators{"\r\n", ":"}}) {
    Text text;
    Items_ expected;
    int rejected = 0;
    for (std::string line : lines) {
      for (char& c : line)
        if (c == '=') c = seps.value[0];
      text += line + seps.line;
      CutLine cut = CutItemLine(line, seps.value);
      if (cut.kind == CutLine::Kind::kItem)
        expected.emplace_back(cut.name, cut.value);
      else
        ++rejected;
    }
    text += "last" + seps.value + "1";
    expected.emplace_back("last", "1");
    ParseOutcome out = ParseSlotText(text, seps, In(Slot::k1));
    Items_ got = Items(out);
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected) << seps.value;
    EXPECT_EQ(out.emptyNames + out.noSeparator, rejected) << seps.value;
  }
}

TEST(ParseSlot, SortsAndRenumbers) {
  ParseOutcome out = ParseSlotText("b=1;A=2;a=3", kCookies, In(Slot::k1));
  EXPECT_EQ(Items(out), (Items_{{"a", "3"}, {"A", "2"}, {"b", "1"}}));
  for (size_t i = 0; i < out.rows.size(); ++i) EXPECT_EQ(out.rows[i].Cell(0), ToText(static_cast<long long>(i + 1)));
}

TEST(ParseSlot, ReportsEachKindOfMalformedLine) {
  ParseOutcome tail1 = ParseSlotText("a=1;b", kCookies, In(Slot::k1));
  EXPECT_EQ(Items(tail1), (Items_{{"a", "1"}}));
  const std::string tailReport = Gbk("Cookies1号尾部数据不全,已过滤!\r\n请检查完整性! [错误数:1]\r\n\r\n");
  EXPECT_EQ(tail1.report, tailReport);
  EXPECT_EQ(tail1.status, texts::kStatusPrefix + tailReport);
  EXPECT_EQ(ParseSlotText("a=1;b", kCookies, In(Slot::k2)).report,
            Gbk("Cookies2号尾部数据不全,已过滤!\r\n请检查完整性! [错误数:1]\r\n\r\n"));

  ParseOutcome mixed = ParseSlotText("a=1;x;=2;=3;y;b=2", kCookies, In(Slot::k1));
  EXPECT_EQ(Items(mixed), (Items_{{"a", "1"}, {"b", "2"}}));
  EXPECT_EQ(mixed.report, Gbk("检查到Cookies文本有错误!\r\n请检查多余＝号! [错误数:2]\r\n\r\n"
                              "检查到Cookies文本有错误!\r\nCookies或值为空 [错误数:2]\r\n\r\n"));
  // An empty name alone: the other count stays 0 and its message is absent.
  ParseOutcome emptyName = ParseSlotText("=1", kCookies, In(Slot::k1));
  EXPECT_EQ(emptyName.emptyNames, 1);
  EXPECT_EQ(emptyName.noSeparator, 0);
  EXPECT_EQ(emptyName.report, Gbk("检查到Cookies文本有错误!\r\n请检查多余＝号! [错误数:1]\r\n\r\n"));
  // Two line separators in a row leave an empty line: an empty name.
  EXPECT_EQ(ParseSlotText("a=1;;b=2", kCookies, In(Slot::k1)).emptyNames, 1);
}

TEST(ParseSlot, EmptyValuesAreKeptWithANote) {
  ParseOutcome out = ParseSlotText("b=;a=1", kCookies, In(Slot::k1));
  EXPECT_EQ(Items(out), (Items_{{"a", "1"}, {"b", ""}}));
  EXPECT_EQ(out.notes, Gbk("Cookies[b]的值为(空)\r\n"));
  // The note names the item as listed, never the internal colon marker.
  ParseOutcome http = ParseSlotText(":path:\r\nHost: x", kHttp, In(Slot::k1, AnalysisMode::kHttp));
  EXPECT_EQ(Items(http), (Items_{{":path", ""}, {"Host", "x"}}));
  EXPECT_EQ(http.notes, Gbk("Http协议[:path]的值为(空)\r\n"));
  EXPECT_EQ(http.notes.find(kMark), std::string::npos);
}

TEST(ParseSlot, TheMarkersBytesInANameGiveAColonBack) {
  // Every name goes through the marker's way back, also a name that holds
  // those bytes only once a dropped line break joins them.
  std::string split = kMark.substr(0, 4) + "\r\n" + kMark.substr(4);
  EXPECT_EQ(Items(ParseSlotText("x" + kMark + "y=1;b=2", kCookies, In(Slot::k1))),
            (Items_{{"b", "2"}, {"x:y", "1"}}));
  EXPECT_EQ(Items(ParseSlotText("x" + split + "y=1;b=2", kCookies, In(Slot::k1))),
            (Items_{{"b", "2"}, {"x:y", "1"}}));
}

TEST(ParseSlot, HttpHeaderBlocks) {
  ParseOutcome out = ParseSlotText(
      "Host: example\r\n:method: GET\r\nUser-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64)\r\nReferer: a:b:c\r\n",
      kHttp, In(Slot::k1, AnalysisMode::kHttp));
  EXPECT_EQ(Items(out), (Items_{{":method", "GET"},
                                {"Host", "example"},
                                {"Referer", "a:b:c"},
                                {"User-Agent", "Mozilla/5.0 (Windows NT 10.0; Win64; x64)"}}));
  EXPECT_EQ(out.report, texts::kEmptyReport);
}

TEST(ParseSlot, StopsWithoutTouchingRowsOrClearsThem) {
  EXPECT_EQ(ParseSlotText("", kCookies, In(Slot::k1)).stop, ParseOutcome::Stop::kUnchanged);
  EXPECT_EQ(ParseSlotText(Gbk("请填入Cookies 1号数据"), kCookies, In(Slot::k1)).stop, ParseOutcome::Stop::kUnchanged);

  ParseOutcome none = ParseSlotText("hello", kCookies, In(Slot::k1));
  EXPECT_EQ(none.stop, ParseOutcome::Stop::kErrorRowsKept);
  EXPECT_EQ(none.report, Gbk("检查到Cookies文本有错误!"));

  ParseOutcome onlyTail = ParseSlotText("abc;", kCookies, In(Slot::k1));
  EXPECT_EQ(onlyTail.stop, ParseOutcome::Stop::kErrorRowsCleared);
  EXPECT_EQ(onlyTail.report, none.report);
  EXPECT_EQ(ParseSlotText(" ; ", kCookies, In(Slot::k1)).stop, ParseOutcome::Stop::kErrorRowsCleared);
}

// A parse that finds no usable line empties the list but leaves the status
// bar and the content box as they were.
TEST(ParseSlot, UpdateOfAParseWithoutItemsClearsOnlyTheList) {
  SlotUpdate cleared = ParseSlot("abc;", kCookies, In(Slot::k2));
  ASSERT_TRUE(cleared.rows);
  EXPECT_TRUE(cleared.rows->empty());
  EXPECT_TRUE(cleared.report);
  EXPECT_FALSE(cleared.status || cleared.notes);
}

TEST(ParseSlot, HostileBytesNeverBreakIt) {
  std::string nul("a=\0b;c=d\0", 9);
  ParseOutcome out = ParseSlotText(nul, kCookies, In(Slot::k1));
  EXPECT_EQ(Items(out), (Items_{{"a", std::string("\0b", 2)}, {"c", std::string("d\0", 2)}}));
  // A lead byte at the very end, and a double-byte separator.
  EXPECT_EQ(Items(ParseSlotText("a=1;b=\xD6", kCookies, In(Slot::k1))), (Items_{{"a", "1"}, {"b", "\xD6"}}));
  Separators zhong{"\xD6\xD0", "="};
  EXPECT_EQ(Items(ParseSlotText("a=1\xD6\xD0" "b=2", zhong, In(Slot::k1))), (Items_{{"a", "1"}, {"b", "2"}}));
  std::string longLine = "k=" + std::string(1 << 20, 'v');
  EXPECT_EQ(ParseSlotText(longLine, kCookies, In(Slot::k1)).rows.at(0).Cell(2).size(), size_t{1} << 20);
}

TEST(ParseSlot, TenMegabytePasteKeepsEveryItem) {
  std::string paste;
  size_t items = 0;
  while (paste.size() < 10u << 20) {
    paste.append("name").append(std::to_string(items++)).append("=\xD6\xD0value\x80; ");
  }
  ParseOutcome out = ParseSlotText(paste, kCookies, In(Slot::k1));
  EXPECT_EQ(out.stop, ParseOutcome::Stop::kParsed);
  EXPECT_EQ(out.rows.size(), items);
  EXPECT_EQ(out.report, texts::kEmptyReport);
}

}  // namespace
}  // namespace ds
