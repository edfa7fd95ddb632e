#include "items/percent_decode.h"

#include <gtest/gtest.h>

namespace ds {
namespace {

// Run natively and under Wine: the expected bytes hold for both converters.
TEST(PercentDecode, EdgeCases) {
  struct Case {
    std::string in;
    std::string out;
    bool encoded;
  } cases[] = {
      {"a%3Db", "a=b", true},
      {"abc", "abc", false},
      {"a+b", "a+b", false},
      {"%E4%B8%AD", "\xD6\xD0", true},
      {"%e4%b8%ad", "\xD6\xD0", true},
      {"\xD6\xD0", "??", true},  // GBK bytes are not UTF-8
      {"%4", "@", true},
      {"a%", "a", true},
      {"%00x", "x", true},
      {"%zz", "?", true},
      {"%25", "%", true},
      {"%2f%2F", "//", true},
      {"", "", false},
      {"%20", " ", true},
      {"\xE2\x82\xAC", "\x80", true},        // the euro sign: 0x80 in code page 936
      {"\xF0\x9F\x98\x80", "??", true},      // outside the BMP: both halves become '?'
      {"\xE4\xB8", "?", true},               // a cut-off sequence is one replacement
      {"\xC0\xAF", "??", true},              // overlong forms are two bad bytes
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PercentDecode(c.in, true), c.out) << c.in;
    EXPECT_EQ(IsPercentEncoded(c.in), c.encoded) << c.in;
  }
}

TEST(PercentDecode, WithoutConversionKeepsRawBytes) {
  EXPECT_EQ(PercentDecode("%E4%B8%AD", false), "\xE4\xB8\xAD");
  EXPECT_EQ(PercentDecode("%zz", false), "\xDE");
  // '%' as a digit is -2: (-2 * 16 + 4) & 0xFF, then the escape's two bytes are used up.
  EXPECT_EQ(PercentDecode("%%41", false), "\xE4" "1");
}

TEST(Utf8ToGbk, KeepsNulBytesAndConvertsTheWholeText) {
  EXPECT_EQ(Utf8ToGbk(std::string("a\0\xE4\xB8\xAD", 5)), std::string("a\0\xD6\xD0", 4));
}

}  // namespace
}  // namespace ds
