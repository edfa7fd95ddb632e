#include "compare/base64_shape.h"

#include <gtest/gtest.h>

#include <random>
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

void ExpectSameAsPattern(const std::string& v) { EXPECT_EQ(LooksLikeBase64(v), MatchesBase64Pattern(v)) << v; }

// The scan replaces the pattern, so it must give the pattern's answer
// everywhere: every value up to two groups over a small alphabet, every byte
// at the places a group can end or be padded, and longer random values.
TEST(Base64Shape, ScanAnswersAsThePattern) {
  const std::string alphabet = "A/=-";
  std::string v;
  auto all = [&](auto& self, size_t length) -> void {
    ExpectSameAsPattern(v);
    if (length == 8) return;
    for (char c : alphabet) {
      v.push_back(c);
      self(self, length + 1);
      v.pop_back();
    }
  };
  all(all, 0);

  for (const char* shape : {"?AAA", "AAA?", "AA?=", "A?==", "AAAA?AAA"}) {
    for (int b = 0; b < 256; ++b) {
      std::string s = shape;
      s[s.find('?')] = static_cast<char>(b);
      ExpectSameAsPattern(s);
    }
  }

  std::mt19937 rng(7);
  const std::string valid = "Az9+/", odd = "=-\x80";
  for (int i = 0; i < 3000; ++i) {
    std::string s(rng() % 40, 'A');
    for (char& c : s) c = valid[rng() % valid.size()];
    if (s.size() >= 2 && rng() % 2) s.replace(s.size() - 1 - rng() % 2, std::string::npos, rng() % 2 ? "=" : "==");
    if (!s.empty() && rng() % 4 == 0) s[rng() % s.size()] = odd[rng() % odd.size()];
    ExpectSameAsPattern(s);
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
