#include "items/text.h"

#include <gtest/gtest.h>

namespace ds {
namespace {

// 中 is D6 D0 in code page 936; its trail byte D0 must never start a match.
constexpr char kZhong[] = "\xD6\xD0";

TEST(TextFind, StepsByCharacterAndHandlesEmptyTexts) {
  struct Case {
    std::string text, sought;
    int start;
    bool ignoreCase;
    int expected;
  } cases[] = {
      {"ab", "", 1, false, 1},
      {"", "", 1, false, -1},
      {"", "a", 1, false, -1},
      {"abcabc", "c", 1, false, 3},
      {"abcabc", "c", 4, false, 6},
      {"abcabc", "c", 7, false, -1},
      {"abc", "B", 1, false, -1},
      {"abc", "B", 1, true, 2},
      {std::string(kZhong), "\xD0", 1, false, -1},
      {std::string("a") + kZhong + "\xD0", "\xD0", 1, false, 4},
      {std::string(kZhong) + "=", "=", 1, false, 3},
      // 0x80 and 0xFF are single characters: the byte after them is free.
      {"\x80=1", "=", 1, false, 2},
      {"\xFF=1", "=", 1, false, 2},
      // A lead byte at the very end stands alone.
      {"a\xD6", "\xD6", 1, false, 2},
      // Only a letter that starts a character folds: 狝 (AA 41) is not 猘 (AA 61).
      {"\xAA\x61", "\xAA\x41", 1, true, -1},
      {"x\xAA\x41Y", "\xAA\x41y", 1, true, 2},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Find(c.text, c.sought, c.start, c.ignoreCase), c.expected) << c.text << " / " << c.sought;
}

TEST(TextSplit, KeepsEmptyPiecesBeforeSeparatorsButNotAfterTheLast) {
  using V = std::vector<Text>;
  EXPECT_EQ(Split("a=1;b=2;", ";"), (V{"a=1", "b=2"}));
  EXPECT_EQ(Split(";a=1", ";"), (V{"", "a=1"}));
  EXPECT_EQ(Split("a;;b", ";"), (V{"a", "", "b"}));
  EXPECT_EQ(Split("a;", ";"), (V{"a"}));
  EXPECT_EQ(Split("", ";"), V{});
  EXPECT_EQ(Split("a;b", ""), (V{"a;b"}));
  EXPECT_EQ(Split("a\r\nb\r\n", "\r\n"), (V{"a", "b"}));
  EXPECT_EQ(Split("a;b;c", ";", 2), (V{"a", "b"}));
  // A separator byte inside a double-byte character does not split it.
  EXPECT_EQ(Split(std::string("x") + kZhong + "y", "\xD0"), (V{std::string("x") + kZhong + "y"}));
  // A double-byte separator.
  EXPECT_EQ(Split(std::string("a") + kZhong + "b", kZhong), (V{"a", "b"}));
  // The euro byte does not swallow the separator after it.
  EXPECT_EQ(Split("v=\x80;b=2", ";"), (V{"v=\x80", "b=2"}));
}

TEST(TextReplace, RespectsStartCountAndCase) {
  EXPECT_EQ(Replace("a:b:c", ":", "-"), "a-b-c");
  EXPECT_EQ(Replace("a:b:c", ":", "-", 1, 1), "a-b:c");
  EXPECT_EQ(Replace("a:b:c", ":", "-", 3), "a:b-c");
  EXPECT_EQ(Replace("a:b:c", ":", "-", 9), "a:b:c");
  EXPECT_EQ(Replace("a:b:c", ":", "-", 1, 0), "a:b:c");
  EXPECT_EQ(Replace("a:b", "", "-"), "a:b");
  EXPECT_EQ(Replace("", ":", "-"), "");
  EXPECT_EQ(Replace("aAa", "a", "x", 1, -1, false), "xxx");
  EXPECT_EQ(Replace("aAa", "a", "x", 1, -1, true), "xAx");
  EXPECT_EQ(Replace("\xAA\x61", "\xAA\x41", "x", 1, -1, false), "\xAA\x61");
  EXPECT_EQ(Replace("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(Replace(std::string(kZhong) + "\xD0", "\xD0", "!"), std::string(kZhong) + "!");
}

TEST(TextSpaces, RemoveAndTrimAsciiAndIdeographicSpaces) {
  const std::string ideo = "\xA1\xA1";
  EXPECT_EQ(RemoveSpaces(" a b\t" + ideo + "c\r\n"), "ab\tc\r\n");
  EXPECT_EQ(Trim("  a b " + ideo), "a b");
  EXPECT_EQ(Trim(ideo + " x" + ideo + "y "), "x" + ideo + "y");
  EXPECT_EQ(Trim("   "), "");
  // B0 A1 | A1 41: the bytes A1 A1 straddle two characters and are no space.
  EXPECT_EQ(Trim("\xB0\xA1\xA1\x41"), "\xB0\xA1\xA1\x41");
  EXPECT_EQ(RemoveSpaces("\xB0\xA1\xA1\x41"), "\xB0\xA1\xA1\x41");
  EXPECT_EQ(Trim("\xB0\xA1\xA1\xA1"), "\xB0\xA1");
  // A lead byte takes the space after it as its second byte: nothing to trim.
  EXPECT_EQ(Trim("a\x81  "), "a\x81 ");
  EXPECT_EQ(Trim("a\xB0\xA1  "), "a\xB0\xA1");
}

TEST(TextSlices, LeftRightMidClampToTheText) {
  EXPECT_EQ(Left("abc", 2), "ab");
  EXPECT_EQ(Left("abc", 9), "abc");
  EXPECT_EQ(Left("abc", 0), "");
  EXPECT_EQ(Left("abc", -1), "");
  EXPECT_EQ(Right("abc", 2), "bc");
  EXPECT_EQ(Right("abc", 9), "abc");
  EXPECT_EQ(Right("abc", -3), "");
  EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid("abcdef", 5, 9), "ef");
  EXPECT_EQ(Mid("abcdef", 7, 1), "");
  EXPECT_EQ(Mid("abcdef", 0, 2), "");
  EXPECT_EQ(Mid("abcdef", 2, 0), "");
}

TEST(TextCase, MapsOnlyAsciiLetters) {
  // C1 is a lead byte whose trail 61 ('a') must stay as it is.
  EXPECT_EQ(ToUpperAscii("ab\xC1" "aZ"), "AB\xC1" "aZ");
  EXPECT_EQ(ToLowerAscii("AB\xC1" "AZ"), "ab\xC1" "Az");
  // Double-byte letters (ａ Ａ α Α) are left to the name order.
  EXPECT_EQ(ToUpperAscii("\xA3\xE1\xA6\xC1"), "\xA3\xE1\xA6\xC1");
  EXPECT_EQ(ToLowerAscii("\xA3\xC1\xA6\xA1"), "\xA3\xC1\xA6\xA1");
  EXPECT_EQ(Character(0), "");
  EXPECT_EQ(Character(65), "A");
  EXPECT_EQ(ToText(0), "0");
  EXPECT_EQ(ToText(-12), "-12");
}

TEST(TextCompareNames, FoldsCaseAndOrdersCharacters) {
  EXPECT_EQ(CompareNames("A", "a"), 0);
  EXPECT_LT(CompareNames("_", "a"), 0);   // 0x5F < 0x61 once A-Z are folded
  EXPECT_LT(CompareNames("_", "A"), 0);  // A compares as a
  EXPECT_LT(CompareNames("ab", "abc"), 0);
  EXPECT_GT(CompareNames("b", "ABC"), 0);
  EXPECT_LT(CompareNames("z", kZhong), 0);  // a double-byte character is above every single byte
  // Full-width letters fold too: ａ (A3 E1) equals Ａ (A3 C1).
  EXPECT_EQ(CompareNames("\xA3\xE1", "\xA3\xC1"), 0);
  EXPECT_LT(CompareBytes("B", "a"), 0);
  EXPECT_GT(CompareBytes("ab", "a"), 0);
}

// Full-width Latin, Greek and Cyrillic small letters compare as their
// capitals; the neighbours of each range do not move.
TEST(TextCompareNames, DoubleByteLettersFoldAtTheEndsOfTheirRanges) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"\xA3\xFA", "\xA3\xDA", 0}, {"\xA3\xFA", "\xA3\xDB", -1}, {"\xA3\xFB", "\xA3\xDB", 1},  // ｚ Ｚ ［; ｛
      {"\xA6\xC1", "\xA6\xA1", 0}, {"\xA6\xD8", "\xA6\xB8", 0}, {"\xA6\xD9", "\xA6\xB9", 1},  // α Α, ω Ω
      {"\xA7\xD1", "\xA7\xA1", 0}, {"\xA7\xF1", "\xA7\xC1", 0}, {"\xA7\xF2", "\xA7\xC2", 1},  // а А, я Я
  };
  for (const Case& c : cases) {
    int got = CompareNames(c.a, c.b);
    EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " vs " << c.b;
  }
}

TEST(TextCompareNames, SortKeysOrderAsTheNamesDo) {
  const char* names[] = {"", "a", "A", "_", "ab", "aB", "b", "\xD6\xD0", "\xA3\xE1", "\xA3\xC1x",
                         "\x80", "\xFF", "a\xD6", "Z", "[", "\xB0\xA1", "\xD6", "\x81", "\x81\x40", "\x7F", ("a\xFF" "b")};
  for (const char* a : names) {
    for (const char* b : names) {
      int byName = CompareNames(a, b);
      int byKey = CompareBytes(NameOrderKey(a), NameOrderKey(b));
      EXPECT_EQ(byName, byKey) << a << " vs " << b;
    }
  }
}

// A name shown in a one-line message: no byte of it can move the cursor,
// start an escape sequence or join the message's next character.
TEST(TextEscapeForMessage, ControlBytesEscapedAndCharactersKeptWhole) {
  struct Case {
    std::string text, shown;
  } cases[] = {
      {"a\x1b[31mb", "a\\x1B[31mb"},
      {"a\r\nb\tc", "a\\r\\nb\\tc"},
      {std::string("\0\x1f\x7f ~", 5), "\\x00\\x1F\\x7F ~"},
      {"\\x41", "\\x41"},  // a backslash stays one
      {std::string(kZhong) + "\x1b", std::string(kZhong) + "\\x1B"},
      // 乗 (81 5C), 丂 (81 40) and 亐 (81 7E): trail bytes below 0x80 stay in their character.
      {"\x81\x5C\x81\x40\x81\x7E", "\x81\x5C\x81\x40\x81\x7E"},
      // A lead byte with no trail would take the "]" after the name as one.
      {"a\xD6", "a\\xD6"},
      {"\xD6\n", "\\xD6\\n"},
      {"\xD6\x7F", "\\xD6\\x7F"},
      {"\xD6\x3A", "\\xD6:"},
      {"\x80\xFF=", "\x80\xFF="},
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeForMessage(c.text), c.shown) << c.text;
  // UTF-8: only the control bytes; 张's last byte is no lead byte here.
  EXPECT_EQ(EscapeForMessage("\xE5\xBC\xA0\x1b", false), "\xE5\xBC\xA0\\x1B");
  EXPECT_EQ(EscapeForMessage("\xE5\xBC\xA0\x1b"), "\xE5\xBC\\xA0\\x1B");
}

}  // namespace
}  // namespace ds
