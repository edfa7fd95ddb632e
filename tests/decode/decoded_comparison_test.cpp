#include "decode/decoded_comparison.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "decode/json_text.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

using test::Gbk;

constexpr char kJwtHeader[] = "eyJhbGciOiJIUzI1NiIsInR5cCI6IkpXVCJ9";
// {"sub":"42","iat":1700000000,"exp":1700003600} and the same with exp 1700007200.
constexpr char kJwtPayload1[] = "eyJzdWIiOiI0MiIsImlhdCI6MTcwMDAwMDAwMCwiZXhwIjoxNzAwMDAzNjAwfQ";
constexpr char kJwtPayload2[] = "eyJzdWIiOiI0MiIsImlhdCI6MTcwMDAwMDAwMCwiZXhwIjoxNzAwMDA3MjAwfQ";

std::string Jwt(const char* payload) { return std::string(kJwtHeader) + "." + payload + ".sig1"; }

std::vector<std::string> Keys(const DecodedValue& v) {
  std::vector<std::string> keys;
  for (Layer l : v.layers) keys.push_back(LayerKey(l));
  return keys;
}

// "[0,0,...,0]" of about `bytes` bytes: valid JSON of the smallest tokens.
std::string BigJsonArray(size_t bytes) {
  std::string out = "[";
  while (out.size() < bytes) out += "0,";
  return out + "0]";
}

TEST(DecodeLayers, PeelsWhatItRecognisesAndNamesWhatItCannot) {
  struct Case {
    std::string value;
    std::vector<std::string> layers;
    std::string text;  // empty: not checked
    bool note;
  } cases[] = {
      {"a%3Db", {"percent-utf8"}, "a=b", false},
      {"%E4%B8%AD", {"percent-utf8"}, Gbk("中"), false},
      {"%D6%D0", {"percent-gbk"}, Gbk("中"), false},  // not UTF-8, but GBK
      {"%E0%B8%81", {"percent-utf8"}, "?", true},  // a Thai letter: no GBK character for it
      {"100%", {}, "100%", false},                    // a lone "%" is text
      {"%FF%FE%00", {}, "", true},                    // neither UTF-8 nor GBK
      {"a%00b", {}, "", true},                        // a NUL the percent decoder would drop
      {"%C0%AF", {"percent-gbk"}, "", false},         // overlong UTF-8 is no UTF-8
      {"eyJ1aWQiOjF9", {"base64", "json"}, "", false},
      {"5rWL6K-VPz4-", {"base64url"}, Gbk("测试?>>"), false},
      {"eyJ1IjoiPz8+In0", {"base64", "json"}, "", false},  // standard, its padding dropped
      {"/static/js/vendors", {}, "", false},              // a path in that shape: no binary note
      {"%7B%22a%22%3A1%7D", {"percent-utf8", "json"}, "", false},
      {"AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJw==", {}, "", true},  // binary
      {"deadbeefdeadbeef0123", {}, "", false},  // hex, not noted as Base64
      {"true", {}, "true", false},              // Base64 in shape only
      {"clouds", {}, "clouds", false},          // words of one case, though their bytes
      {"SUBMIT", {}, "SUBMIT", false},          // would read as UTF-8
      {Jwt(kJwtPayload1), {"jwt"}, "", false},
      {"aaaaaaaaaa.bbbbbbbbbb.cccccccccc", {}, "", true},  // three garbage parts
      {"eyJhbGciOi.eyJzdWIi.", {}, "", true},         // cut short
      {"eyJhbGciOiJIUzI1NiJ9.@@@.###", {}, "", true},  // a payload out of the alphabet
      {"static.example.org", {}, "static.example.org", false},
      {"{\"a\":}", {}, "", true},
      {std::string(100000, '[') + std::string(100000, ']'), {}, "", true},
      {BigJsonArray(3 << 20), {}, "", true},  // too big to parse in time
  };
  for (const Case& c : cases) {
    DecodedValue v = DecodeLayers(c.value);
    EXPECT_EQ(Keys(v), c.layers) << c.value.substr(0, 40);
    if (!c.text.empty()) {
      EXPECT_EQ(v.text, c.text) << c.value;
    }
    EXPECT_EQ(!v.notes.empty(), c.note) << c.value.substr(0, 40);
  }
}

std::string Nested(size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

// Brackets count only outside strings, and a string ends only at a quote no
// backslash escapes.
TEST(DecodeLayers, DepthGuardReadsStringsAsTheParserDoes) {
  struct Case {
    std::string json;
    bool refused;
  } cases[] = {
      {Nested(kMaxJsonDepth), false},
      {Nested(kMaxJsonDepth + 1), true},
      {"[\"\\\"\", " + Nested(kMaxJsonDepth) + "]", true},  // an escaped quote does not end the string
      {"[\"\\\\\", " + Nested(kMaxJsonDepth) + "]", true},   // an escaped backslash does not escape the quote
      {"[\"" + std::string(100, '[') + "\", 1]", false},
      {"[\"" + std::string(100, ']') + "\", " + Nested(kMaxJsonDepth) + "]", true},
  };
  for (const Case& c : cases) {
    JsonParse parsed = ParseJsonText(c.json);
    EXPECT_EQ(!parsed.document, c.refused) << c.json.substr(0, 80);
    EXPECT_EQ(parsed.note, c.refused ? Gbk("JSON嵌套超过64层,未解析") : "") << c.json.substr(0, 80);
  }
  // Far deeper than a walk could recurse, yet well under the size limit:
  // compared as text.
  std::string deep = "[\"\\\"\", " + std::string(400000, '[') + "1" + std::string(400000, ']') + "]";
  std::string other = deep;
  size_t one = deep.find('1');
  other[one] = '2';
  DecodedComparison c = CompareDecoded(deep, other);
  EXPECT_FALSE(c.structured);
  ASSERT_TRUE(c.first);
  EXPECT_EQ(c.first->offset, one);
}

TEST(DecodeLayers, StopsAfterBoundedLayers) {
  std::string value = "x";
  for (int i = 0; i < kMaxLayers + 2; ++i) {
    std::string next;
    for (char c : value) next += "%" + std::string(1, "0123456789ABCDEF"[(c >> 4) & 15]) + "0123456789ABCDEF"[c & 15];
    value = next;
  }
  DecodedValue v = DecodeLayers(value);
  EXPECT_EQ(v.layers.size(), static_cast<size_t>(kMaxLayers));
  EXPECT_EQ(v.notes.size(), 1u);
}

TEST(DecodedComparison, JwtsDifferingInExpiry) {
  DecodedComparison c = CompareDecoded(Jwt(kJwtPayload1), Jwt(kJwtPayload2));
  ASSERT_TRUE(c.structured);
  ASSERT_EQ(c.fields.size(), 1u);
  const FieldDifference& f = c.fields[0];
  EXPECT_EQ(f.path, "payload.exp");
  EXPECT_EQ(f.kind, FieldDifference::Kind::kDifferent);
  EXPECT_EQ(f.value1, "1700003600");
  EXPECT_EQ(f.date1, "2023-11-14 23:13:20 UTC");
  EXPECT_EQ(f.date2, "2023-11-15 00:13:20 UTC");

  std::vector<Text> lines = DecodedComparisonLines(c);
  EXPECT_EQ(lines.back(), Gbk("  不同: payload.exp: 1700003600 (2023-11-14 23:13:20 UTC) → 1700007200 (2023-11-15 00:13:20 UTC)"));

  // Times may hold fractions of a second.
  DecodedComparison fractions = CompareDecoded(std::string(kJwtHeader) + ".eyJleHAiOjE3MDAwMDAwMDAuNX0.s",
                                               std::string(kJwtHeader) + ".eyJleHAiOjE3MDAwMDM2MDAuNX0.s");
  ASSERT_EQ(fractions.fields.size(), 1u);
  EXPECT_EQ(fractions.fields[0].date1, "2023-11-14 22:13:20 UTC");

  // The token of an Authorization header; a missing scheme is a difference too.
  DecodedComparison bearer = CompareDecoded("Bearer " + Jwt(kJwtPayload1), Jwt(kJwtPayload2));
  ASSERT_EQ(bearer.fields.size(), 2u);
  EXPECT_EQ(bearer.fields[0].path, "payload.exp");
  EXPECT_EQ(bearer.fields[1].path, "scheme");
  EXPECT_EQ(bearer.fields[1].kind, FieldDifference::Kind::kOnlyIn1);
}

TEST(DecodedComparison, NestedKeysOfPercentEncodedJson) {
  DecodedComparison c = CompareDecoded(
      "%7B%22user%22%3A%7B%22id%22%3A7%2C%22name%22%3A%22%E6%9D%8E%22%7D%2C%22v%22%3A1%2C%22old%22%3A0%7D",
      "%7B%22user%22%3A%7B%22id%22%3A8%2C%22name%22%3A%22%E6%9D%8E%22%7D%2C%22v%22%3A1%2C%22new%22%3A%5B1%5D%7D");
  ASSERT_TRUE(c.structured);
  ASSERT_EQ(c.fields.size(), 3u);  // in key order
  EXPECT_EQ(c.fields[0].path, "new");
  EXPECT_EQ(c.fields[0].kind, FieldDifference::Kind::kOnlyIn2);
  EXPECT_EQ(c.fields[0].value2, "[1]");
  EXPECT_EQ(c.fields[1].path, "old");
  EXPECT_EQ(c.fields[1].kind, FieldDifference::Kind::kOnlyIn1);
  EXPECT_EQ(c.fields[2].path, "user.id");
  EXPECT_EQ(c.fields[2].value2, "8");
  EXPECT_EQ(c.side1.text.find(Gbk("李")) != Text::npos, true);

  DecodedComparison arrays = CompareDecoded("{\"a\":[1,{\"b\":2}]}", "{\"a\":[1,{\"b\":3},4]}");
  ASSERT_EQ(arrays.fields.size(), 2u);
  EXPECT_EQ(arrays.fields[0].path, "a[1].b");
  EXPECT_EQ(arrays.fields[1].path, "a[2]");
  EXPECT_EQ(arrays.fields[1].kind, FieldDifference::Kind::kOnlyIn2);
  EXPECT_TRUE(CompareDecoded("{\"a\":1, \"b\":2}", "{\"b\":2,\"a\":1}").sameDecoded);
}

TEST(DecodedComparison, UnstructuredTextsPointAtTheFirstDifference) {
  struct Case {
    std::string v1, v2;
    size_t offset;
    std::string excerpt1, excerpt2;
  } cases[] = {
      // The second byte differs: the offset is where the character starts.
      {Gbk("中文A"), Gbk("中字A"), 2, Gbk("中【文】A"), Gbk("中【字】A")},
      {"abc", "abcd", 3, Gbk("abc【(结束)】"), Gbk("abc【d】")},
      {"a\r\nb", "a\r\nc", 3, Gbk("a\\r\\n【b】"), Gbk("a\\r\\n【c】")},
      // A lead byte before a line break must not carry the break into the line.
      {"a\x81\nb", "a\x81\nc", 3, "a\\x81\\n" + Gbk("【b】"), "a\\x81\\n" + Gbk("【c】")},
      {std::string(30, 'x') + "1" + std::string(30, 'y'), std::string(30, 'x') + "2" + std::string(30, 'y'), 30,
       Gbk("…xxxxxxxxxxxx【1】yyyyyyyyyyyy…"), Gbk("…xxxxxxxxxxxx【2】yyyyyyyyyyyy…")},
  };
  for (const Case& c : cases) {
    DecodedComparison d = CompareDecoded(c.v1, c.v2);
    ASSERT_TRUE(d.first) << c.v1;
    EXPECT_EQ(d.first->offset, c.offset) << c.v1;
    EXPECT_EQ(d.first->excerpt1, c.excerpt1);
    EXPECT_EQ(d.first->excerpt2, c.excerpt2);
  }
  // Base64 holding binary stays as written, and the difference is found there.
  DecodedComparison binary = CompareDecoded("AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJw==",
                                            "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmKA==");
  ASSERT_TRUE(binary.first);
  EXPECT_EQ(binary.first->offset, 52u);
  EXPECT_FALSE(binary.side1.notes.empty());

  DecodedComparison same = CompareDecoded("a%3Db", "a=b");
  EXPECT_TRUE(same.sameDecoded);
  EXPECT_FALSE(same.first);
}

TEST(DecodedComparison, CharactersGbkCannotHoldStillTellValuesApart) {
  // Two emoji, both shown as question marks.
  DecodedComparison text = CompareDecoded("a%F0%9F%98%80b", "a%F0%9F%98%81b");
  EXPECT_EQ(text.side1.text, text.side2.text);
  EXPECT_FALSE(text.sameDecoded);
  ASSERT_TRUE(text.first);
  EXPECT_EQ(text.first->offset, 1u);
  EXPECT_EQ(text.first->excerpt1, Gbk("a【?】?b"));

  DecodedComparison json = CompareDecoded("%7B%22n%22%3A%22%E0%B8%81%22%7D", "%7B%22n%22%3A%22%F0%9F%98%81%22%7D");
  ASSERT_TRUE(json.structured);
  ASSERT_EQ(json.fields.size(), 1u);
  EXPECT_EQ(json.fields[0].path, "n");

  EXPECT_TRUE(CompareDecoded("%F0%9F%98%80", "8J+YgA==").sameDecoded);  // the same emoji, two encodings
}

TEST(DecodedComparison, DifferencesPastTheCapAreCountedNotListed) {
  for (size_t count : {kMaxFieldDifferences, kMaxFieldDifferences + 1}) {
    nlohmann::json a = nlohmann::json::object(), b = nlohmann::json::object();
    for (size_t k = 0; k < count; ++k) {
      a["k" + std::to_string(1000 + k)] = 1;
      b["k" + std::to_string(1000 + k)] = 2;
    }
    DecodedComparison c = CompareDecoded(a.dump(), b.dump());
    ASSERT_EQ(c.fields.size(), kMaxFieldDifferences);
    EXPECT_EQ(c.fieldsLeftOut, count - kMaxFieldDifferences);
    EXPECT_EQ(c.fields.back().path, "k" + std::to_string(1000 + kMaxFieldDifferences - 1));
    std::vector<Text> lines = DecodedComparisonLines(c);
    EXPECT_NE(std::find(lines.begin(), lines.end(), Gbk("JSON对比: " + std::to_string(count) + "处不同")), lines.end());
    EXPECT_EQ(lines.back() == Gbk("  另有1处不同未列出"), count > kMaxFieldDifferences);
  }
}

// Shown texts are cut at a byte limit, never inside a character.
TEST(DecodedComparison, ShownTextsAreCutAtTheirLimit) {
  struct Case {
    std::string gbk;
    size_t limit;
    std::string shown;
  } cases[] = {
      {"abc", 3, "abc"},
      {"abcd", 3, Gbk("abc…")},
      {Gbk("ab中"), 4, Gbk("ab中")},
      {Gbk("ab中"), 3, Gbk("ab…")},
      {Gbk("ab中x"), 4, Gbk("ab中…")},
      {"", 0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ShortenGbk(c.gbk, c.limit), c.shown) << c.gbk << " " << c.limit;

  // A value shown in a difference: 300 bytes whole, one more cut.
  for (size_t quoted : {300u, 301u}) {
    std::string v = std::string(quoted - 2, 'x');
    DecodedComparison c = CompareDecoded("{\"a\":\"" + v + "\"}", "{\"a\":1}");
    ASSERT_EQ(c.fields.size(), 1u);
    EXPECT_EQ(c.fields[0].value1, quoted == 300 ? "\"" + v + "\"" : "\"" + v + Gbk("…"));
  }
  // A character GBK shows as "?" takes three bytes before it is cut.
  std::string thai = "%7B%22a%22%3A%5B%22%E0%B8%81%22";
  for (int k = 1; k < 70; ++k) thai += "%2C%22%E0%B8%81%22";
  DecodedComparison c = CompareDecoded(thai + "%5D%7D", "{\"b\":1}");
  ASSERT_EQ(c.fields.size(), 2u);
  EXPECT_EQ(c.fields[0].value1.size(), 70 * 4 + 1u);
  EXPECT_EQ(c.fields[0].value1.substr(0, 9), "[\"?\",\"?\",");
}

TEST(DecodedComparison, UnixTimes) {
  EXPECT_EQ(UnixTimeText(0), "1970-01-01 00:00:00 UTC");
  EXPECT_EQ(UnixTimeText(951782400), "2000-02-29 00:00:00 UTC");
  EXPECT_EQ(UnixTimeText(253402300799LL), "9999-12-31 23:59:59 UTC");
  EXPECT_EQ(UnixTimeText(-1), "");
  EXPECT_EQ(UnixTimeText(253402300800LL), "");
}

}  // namespace
}  // namespace ds
