// The fast tree reader against the event parser: every document reads the
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

}  // namespace
}  // namespace ds
