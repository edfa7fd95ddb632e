// Two recorded sessions side by side: which request of one is which of the
// other. A request is known by its method, host, path and the names of its
// query parameters (their values change from run to run); repeated requests
// pair in the order they were made, the very same URL before others.
//
// Pairing and the comparison read a URL in one decoded form, as the server
// does: path and query percent-decoded ("+" a space in the query only), the
// host in lower case without its scheme's default port and with "xn--"
// labels in their Unicode letters.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/capture.h"

namespace ds {

struct UrlParts {
  std::string scheme;  // lower case; "" for a URL without one
  std::string host;  // lower case, port kept
  std::string path;  // "/" when the URL has none
  std::string query;  // after "?", before "#"
};

UrlParts SplitUrl(std::string_view url);

// The host as pairing compares it: "e.com" for "E.com:443" over https,
// "中国.cn" for "xn--fiqs8s.cn" (UTF-8).
std::string HostKey(const UrlParts& url);

// %XX as one byte (a "%" without two hex digits stays); in a query "+" is a
// space as well.
std::string PercentDecoded(std::string_view text, bool plusIsSpace);

struct QueryParam {
  std::string name, value;             // decoded
  std::string_view sentName, sentValue;  // as the URL carries them
};

// The query's name=value pieces in order; empty pieces are skipped and a
// piece without "=" has an empty value. The views point into `query`.
std::vector<QueryParam> QueryParams(std::string_view query);

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
