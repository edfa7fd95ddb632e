#include "compare/base64_shape.h"

#include <gtest/gtest.h>

#include <boost/regex.hpp>

#include <string>

namespace ds {
namespace {

TEST(Base64Shape, WholeValueInGroupsOfFour) {
  struct Case {
    const char* value;
    bool base64;
  } cases[] = {{"abcd", true}, {"true", true}, {"", false},    {"abc=", true},    {"ab==", true},
               {"a===", false}, {"abcde", false}, {"abcdab=", false}, {"abcdabc=", true}, {"abcda=", false}, {"ab+/", true},
               {"ab-_", false}, {"abcd\n", false}, {"\nabcd", false}};
  for (const Case& c : cases) EXPECT_EQ(LooksLikeBase64(c.value), c.base64) << c.value;
}

// The pattern as Boost.Regex matches it; it throws on long values, so only
// short ones are compared.
bool MatchesBase64Pattern(std::string_view value) {
  static const boost::regex pattern(kBase64Pattern, boost::regex::perl);
  return boost::regex_match(value.begin(), value.end(), pattern);
}

void ExpectSameAsPattern(const std::string& v) { EXPECT_EQ(LooksLikeBase64(v), MatchesBase64Pattern(v)) << v; }

// The scan replaces the pattern, so it must give the pattern's answer: for
// every value of up to two groups over a small alphabet, and for every byte
// where a group starts, ends or meets its padding.
TEST(Base64Shape, ScanAnswersAsThePattern) {
  const char alphabet[] = "A/=-";
  for (int length = 0; length <= 8; ++length) {
    for (int n = 0; n < 1 << (2 * length); ++n) {
      std::string v;
      for (int k = 0; k < length; ++k) v += alphabet[(n >> (2 * k)) & 3];
      ExpectSameAsPattern(v);
    }
  }
  for (const char* shape : {"?AAA", "AAA?", "AA?=", "A?==", "AAAA?AAA"}) {
    for (int b = 0; b < 256; ++b) {
      std::string v = shape;
      v[v.find('?')] = static_cast<char>(b);
      ExpectSameAsPattern(v);
    }
  }
}

TEST(Base64Shape, LengthDoesNotChangeTheAnswer) {
  std::string big;
  for (int i = 0; i < (1 << 20); ++i) big += "QUJD";
  big += "QQ==";
  EXPECT_TRUE(LooksLikeBase64(big));
  big[big.size() / 2] = '=';
  EXPECT_FALSE(LooksLikeBase64(big));
}

}  // namespace
}  // namespace ds
