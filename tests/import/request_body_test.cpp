// What a capture tells of its request beyond the items: the method and the
// body, which the commands copied from it send again.
#include <gtest/gtest.h>

#include "import/capture.h"

namespace ds {
namespace {

CaptureOrigin OriginOfText(std::string_view utf8) {
  CaptureText source;
  source.utf8 = std::string(utf8);
  Capture capture = ReadCapture(source, CaptureFormat::kAuto, AnalysisMode::kHttp);
  EXPECT_FALSE(capture.error) << utf8;
  return OriginOf(capture, capture.defaultEntry);
}

TEST(RequestBody, CurlDataOptionsAreJoinedAsCurlSendsThem) {
  struct Case {
    const char* command;
    const char* method;
    std::optional<std::string> body;
  } cases[] = {
      {"curl 'https://h/' -H 'X: 1'", "GET", std::nullopt},
      {"curl 'https://h/' -d 'a=1' --data-raw 'b=2'", "POST", "a=1&b=2"},
      {"curl 'https://h/' --data-binary $'{\"k\":\\n1}'", "POST", "{\"k\":\n1}"},
      // --data-raw takes "@" as text; the others read a file we do not have.
      {"curl 'https://h/' --data-raw '@me'", "POST", "@me"},
      {"curl 'https://h/' -d a=1 --data '@body.json'", "POST", std::nullopt},
      {"curl 'https://h/' -da=1", "POST", "a=1"},
      {"curl 'https://h/' -X PUT --json '[1]'", "PUT", "[1]"},
      {"curl 'https://h/' -I", "HEAD", std::nullopt},
      {"curl 'https://h/' -sI", "HEAD", std::nullopt},
      {"curl 'https://h/' --head -X OPTIONS", "OPTIONS", std::nullopt},
      {"curl ^\"https://h/^\" --data-raw ^\"a=^%^22^\"", "POST", "a=%22"},
  };
  for (const Case& c : cases) {
    CaptureOrigin origin = OriginOfText(c.command);
    EXPECT_EQ(origin.method, c.method) << c.command;
    EXPECT_EQ(origin.body, c.body) << c.command;
  }
}

TEST(RequestBody, HarTakesThePostDataTextOfTheChosenEntry) {
  CaptureOrigin origin = OriginOfText(
      R"({"log": {"entries": [{"request": {"method": "POST", "url": "https://h/a", "headers": [],)"
      R"( "postData": {"text": "{\"n\": \"\u5f20\"}", "mimeType": "application/json", "params": []}},)"
      R"( "response": {"status": 200, "headers": [], "content": {"text": "not the request's"}}}]}})");
  EXPECT_EQ(origin.method, "POST");
  EXPECT_EQ(origin.body, "{\"n\": \"\xE5\xBC\xA0\"}");
  // No postData: no body, and a response's text is never taken for one.
  EXPECT_FALSE(OriginOfText(R"({"log": {"entries": [{"request": {"method": "GET", "url": "https://h/", "headers": []},)"
                            R"( "response": {"status": 200, "headers": [], "content": {"text": "x"}}}]}})")
                   .body);
}

}  // namespace
}  // namespace ds
