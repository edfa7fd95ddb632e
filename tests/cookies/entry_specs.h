// HAR entries for the cookie tests, written as the requests and Set-Cookie
// lines that matter and nothing else.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/capture.h"

namespace ds {

struct EntrySpec {
  const char* method;
  const char* url;
  std::vector<Field> requestHeaders;
  std::vector<const char*> setCookies;
  std::optional<std::string> started;
};

inline std::vector<HarEntry> Entries(const std::vector<EntrySpec>& specs) {
  std::vector<HarEntry> out;
  for (const EntrySpec& s : specs) {
    HarEntry e;
    e.request.method = s.method;
    e.request.url = s.url;
    e.request.headers = s.requestHeaders;
    for (const char* line : s.setCookies) e.response.headers.push_back({"Set-Cookie", line});
    e.startedDateTime = s.started;
    out.push_back(std::move(e));
  }
  return out;
}

}  // namespace ds
