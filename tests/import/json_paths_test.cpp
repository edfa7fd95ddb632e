// The fast reader against the event parser: every document reads the
// same both ways, written forms of numbers and faults included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/capture.h"

namespace ds {
namespace {

std::string Entry(const std::string& request, const std::string& response = "{}") {
  return "{\"log\": {\"entries\": [{\"startedDateTime\": \"2026-01-01T00:00:00Z\", \"time\": 12.5, "
         "\"request\": " + request + ", \"response\": " + response + "}]}}";
}

TEST(JsonPaths, BothWaysReadEveryShapeAlike) {
  const std::vector<std::string> documents = {
      // Numbers where their written form is kept, and where it is not.
      Entry(R"({"method": "GET", "url": "u", "headers": [{"name": "X", "value": 1.50}, {"name": "Y", "value": -0}]})"),
      Entry(R"({"method": "GET", "url": "u", "headers": [{"name": "N", "value": 18446744073709551615}]})",
            R"({"status": 200, "headers": [{"name": "Set-Cookie", "value": "a=1\r\nb=2"}]})"),
      Entry(R"({"method": "GET", "url": "u", "headers": [{"name": "Big", "value": 1e400}]})"),
      Entry(R"({"method": "GET", "url": "u", "headers": [], "cookies": [{"name": "a", "value": "1", "expires": 1.5e9}]})",
            R"({"status": 2.0e2, "content": {"size": 1.25, "text": "\ud83d\ude00 \u00e9"}})"),
      // The same key twice: the last wins, as events tell it.
      Entry(R"({"method": "GET", "method": "POST", "url": "u", "headers": [{"name": "a", "name": "b", "value": "v"}]})"),
      // Escapes and what a cookie export or an object of strings holds.
      R"([{"name": "s\u0000id", "value": "\ud83d\ude00"}, {"name": "t", "value": true}])",
      R"({"cookies": [{"name": "a", "value": "b"}], "x": 1})",
      R"({"a": "1", "b": "\u4e2d"})",
      R"({"a": "1", "b": 2})",
      // Faults: where each stops is told by the event parser either way.
      Entry(R"({"method": "GET", "url": "u", "headers": []})", R"({"content": {"text": "x" "y"}})"),
      R"({"log": {"entries": [}})",
      R"({"a": "\ud800"})",
      R"({"a": "\udc00"})",
      "{\"a\": \"\xC3\"}",
      R"({"log": {"entries": []}} trailing)",
      R"({"log": {}})",
      std::string(2000, '[') + std::string(2000, ']'),
  };
  for (const std::string& d : documents)
    for (AnalysisMode mode : {AnalysisMode::kCookies, AnalysisMode::kHttp})
      EXPECT_EQ(ReadJsonDocument(d, mode, JsonPath::kFast), ReadJsonDocument(d, mode, JsonPath::kEvents)) << d;
}

TEST(JsonPaths, ANumberKeepsTheFormItWasWrittenIn) {
  std::optional<Capture> c = ReadJsonDocument(
      Entry(R"({"method": "GET", "url": "u", "headers": [{"name": "X", "value": 1.50}, {"name": "Y", "value": 7}]})",
            R"({"status": 200})"),
      AnalysisMode::kHttp, JsonPath::kFast);
  ASSERT_TRUE(c && c->entries.size() == 1);
  EXPECT_EQ(c->entries[0].request.headers, (std::vector<Field>{{"X", "1.50"}, {"Y", "7"}}));
  EXPECT_EQ(c->entries[0].response.status, "200");
  EXPECT_EQ(c->entries[0].startedDateTime, "2026-01-01T00:00:00Z");
  // A broken document is told where it stops, past a body the fast reader would skip.
  std::string cut = Entry(R"({"method": "GET", "url": "u", "headers": []})", R"({"content": {"text": "abc"}})");
  cut.resize(cut.size() - 4);
  std::optional<Capture> broken = ReadJsonDocument(cut, AnalysisMode::kCookies, JsonPath::kFast);
  ASSERT_TRUE(broken && broken->errorOffset);
  EXPECT_EQ(*broken->errorOffset, cut.size());
}

// A body no capture reads is only checked, eight bytes at a time: an escape
// is right or wrong wherever it falls against those blocks.
TEST(JsonPaths, EscapesInABodyAreCheckedWhereverTheyFall) {
  const std::vector<std::string> whole = {
      R"(\\q)", R"(\\\")", R"(\")", R"(\/\b\f\n\r\t)", R"(\ud83d\ude00)", R"(\uD83D\uDE00)",
      R"(\u00e9\u4E2D)", R"(\\ud800)", R"(\\\\u)"};
  const std::vector<std::string> broken = {
      R"(\q)", R"(\ud800x)", R"(\udc00)", R"(\u12g4)", R"(\ud83d\u0041)", R"(\ud83d)", R"(\u12)",
      R"(\\\q)", R"(\ud83d\ud83d)"};
  auto document = [](size_t shift, const std::string& escape) {
    return Entry(R"({"method": "GET", "url": "u", "headers": [{"name": "a", "value": "1"}]})",
                 R"({"content": {"text": ")" + std::string(shift, 'x') + escape + R"(y"}})");
  };
  for (size_t shift = 0; shift < 16; ++shift) {
    for (const std::string& escape : whole) {
      std::string d = document(shift, escape);
      std::optional<Capture> read = ReadJsonDocument(d, AnalysisMode::kCookies, JsonPath::kEvents);
      ASSERT_TRUE(read && !read->errorOffset) << d;
      EXPECT_EQ(ReadJsonDocument(d, AnalysisMode::kCookies, JsonPath::kFastOnly), read) << d;
    }
    for (const std::string& escape : broken) {
      std::string d = document(shift, escape);
      std::optional<Capture> read = ReadJsonDocument(d, AnalysisMode::kCookies, JsonPath::kEvents);
      ASSERT_TRUE(read && read->errorOffset) << d;
      EXPECT_EQ(ReadJsonDocument(d, AnalysisMode::kCookies, JsonPath::kFastOnly), std::nullopt) << d;
      EXPECT_EQ(ReadJsonDocument(d, AnalysisMode::kCookies, JsonPath::kFast), read) << d;
    }
  }
}

// What the fast reader takes it reads whole; what it cannot, it hands on.
TEST(JsonPaths, TheFastReaderHandsOnOnlyWhatItCannotRead) {
  std::string har = Entry(R"({"method": "GET", "url": "u", "headers": [{"name": "X", "value": "\u4e2d"}]})",
                          R"({"status": 200, "content": {"size": 1.25, "text": "[1, true, null]"}})");
  EXPECT_NE(ReadJsonDocument(har, AnalysisMode::kHttp, JsonPath::kFastOnly), std::nullopt);
  for (const std::string& handedOn : {
           // a float whose written form is kept, nesting past what it follows, a broken atom or number where
           // nothing is kept, content after the document
           Entry(R"({"method": "GET", "url": "u", "headers": [{"name": "X", "value": 1.5}]})"),
           Entry(R"({"method": "GET", "url": "u", "headers": []})", R"({"x": )" + std::string(300, '[') +
                                                                          std::string(300, ']') + "}"),
           Entry(R"({"method": "GET", "url": "u", "headers": []})", R"({"x": tru})"),
           Entry(R"({"method": "GET", "url": "u", "headers": []})", R"({"x": 01})"),
           Entry(R"({"method": "GET", "url": "u", "headers": []})", R"({"x": [1,]})"),
           Entry(R"({"method": "GET", "url": "u", "headers": []})") + " {}"}) {
    EXPECT_EQ(ReadJsonDocument(handedOn, AnalysisMode::kHttp, JsonPath::kFastOnly), std::nullopt) << handedOn;
    EXPECT_EQ(ReadJsonDocument(handedOn, AnalysisMode::kHttp, JsonPath::kFast),
              ReadJsonDocument(handedOn, AnalysisMode::kHttp, JsonPath::kEvents)) << handedOn;
  }
}

}  // namespace
}  // namespace ds
