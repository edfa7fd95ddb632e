// Two recorded sessions side by side: which request of one is which of the
// other. A request is known by its method, host, path and the names of its
// query parameters (their values change from run to run); repeated requests
// pair in the order they were made, the very same URL before others.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/capture.h"

namespace ds {

struct UrlParts {
  std::string host;  // lower case, port kept
  std::string path;  // "/" when the URL has none
  std::string query;  // after "?", before "#"
};

UrlParts SplitUrl(std::string_view url);

// "GET example.com/api?a&b": the query's names sorted, values left out.
std::string RequestKey(const HttpMessage& request);

struct RequestPair {
  std::optional<size_t> a, b;  // entry indexes; one is missing for a request only one session made
};

// Every entry of both sessions once, in recorded order: a pair where A's
// entry stands, an entry only B made just before the next pair that follows
// it in B.
std::vector<RequestPair> PairRequests(const std::vector<HarEntry>& a, const std::vector<HarEntry>& b);

}  // namespace ds
