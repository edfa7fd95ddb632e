#include <gtest/gtest.h>

#include "items/sentence.h"
#include "items/texts.h"
#include "platform/codepage.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

// The GBK literals are generated at build time; check a few against the
// code page converter so a broken generator cannot pass unnoticed.
TEST(GbkTexts, LiteralsAreCodePage936) {
  EXPECT_EQ(std::string(texts::kLineBreakWord), test::Gbk("换行"));
  EXPECT_EQ(std::string(texts::kModeWordHttp), test::Gbk("Http协议"));
  EXPECT_NE(std::string(texts::kEmptyNameReport).find("\xA3\xBD"), std::string::npos);  // full-width equals
  EXPECT_EQ(std::string(texts::kPlaceholder), test::Gbk("请填入{mode} {slot}数据"));
}

TEST(Sentences, BlanksAreFilledOnceAndOnlyAtCharacterStarts) {
  EXPECT_EQ(FillIn("{mode}[{name}]", {{"mode", "Cookies"}, {"name", "a"}}), "Cookies[a]");
  // A value is not searched again, and an unknown blank stays as written.
  EXPECT_EQ(FillIn("{a}{b}{c}", {{"a", "{b}"}, {"b", "2"}}), "{b}2{c}");
  // 0x7B is also the second byte of a double-byte character: no blank there.
  EXPECT_EQ(FillIn("\x81{mode}", {{"mode", "X"}}), "\x81{mode}");
  EXPECT_EQ(FillIn("\xD6\xD0{mode}", {{"mode", "X"}}), "\xD6\xD0X");
  EXPECT_EQ(FillIn("{mode", {{"mode", "X"}}), "{mode");
}

// Prepared once and filled many times, a sentence reads as FillIn gives it.
TEST(Sentences, APreparedSentenceFillsInAsFillInDoes) {
  struct Case {
    const char* sentence;
    const char* filled;
  } cases[] = {
      {"{mode}[{name}]:{count}\r\n", "M[n]:3\r\n"},
      {"{count}{name}{count}", "3n3"},              // a blank twice, blanks side by side
      {"{other}{mode", "{other}{mode"},             // unknown and unclosed blanks stay
      {"\x81{mode}\xD6\xD0{name}", "\x81{mode}\xD6\xD0n"},  // 0x7B as a second byte is no blank
      {"", ""},
      {"}{", "}{"},
  };
  PreparedSentence none("[{name}]", {});
  Text out = "x";
  none.Append(out, {});
  EXPECT_EQ(out, "x[{name}]");
  for (const Case& c : cases) {
    PreparedSentence prepared(c.sentence, {"mode", "name", "count"});
    Text twice = "<";
    prepared.Append(twice, {"M", "n", "3"});
    prepared.Append(twice, {"M", "n", "3"});
    EXPECT_EQ(twice, "<" + Text(c.filled) + c.filled) << c.sentence;
    EXPECT_EQ(FillIn(c.sentence, {{"mode", "M"}, {"name", "n"}, {"count", "3"}}), c.filled) << c.sentence;
  }
}

TEST(CodePage, RoundTripsGbkAndFlagsWhatItCannotHold) {
  std::string gbk = "a\xD6\xD0\x80";
  std::u16string wide = platform::ToUtf16(gbk, platform::kCodePageGbk);
  EXPECT_EQ(wide, (std::u16string{u'a', 0x4E2D, 0x20AC}));
  bool lossy = true;
  EXPECT_EQ(platform::FromUtf16(wide, platform::kCodePageGbk, &lossy), gbk);
  EXPECT_FALSE(lossy);
  // Pinyin letters are in code page 936; Thai is not.
  EXPECT_EQ(platform::FromUtf16(u"\x00e9\x0101", platform::kCodePageGbk, &lossy), "\xA8\xA6\xA8\xA1");
  EXPECT_FALSE(lossy);
  EXPECT_EQ(platform::FromUtf16(u"\x0E01", platform::kCodePageGbk, &lossy), "?");
  EXPECT_TRUE(lossy);
  // No look-alike stands in for a missing letter: ő is not "o".
  EXPECT_EQ(platform::FromUtf16(u"a\x0151", platform::kCodePageGbk, &lossy), "a?");
  EXPECT_TRUE(lossy);
}

}  // namespace
}  // namespace ds
