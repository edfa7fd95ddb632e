#include "sessions/request_pairing.h"

#include <algorithm>
#include <unordered_map>

#include "items/text.h"

namespace ds {

UrlParts SplitUrl(std::string_view url) {
  UrlParts parts;
  url = url.substr(0, url.find('#'));
  size_t scheme = url.find("://");
  size_t start = 0;
  if (scheme != std::string_view::npos && url.substr(0, scheme).find_first_of("/?") == std::string_view::npos) {
    start = scheme + 3;
    size_t end = std::min(url.find_first_of("/?", start), url.size());
    parts.host = ToLowerAscii(url.substr(start, end - start));
    start = end;
  }
  std::string_view rest = url.substr(start);
  size_t question = rest.find('?');
  parts.path = std::string(rest.substr(0, question));
  if (parts.path.empty()) parts.path = "/";
  if (question != std::string_view::npos) parts.query = std::string(rest.substr(question + 1));
  return parts;
}

std::string RequestKey(const HttpMessage& request) {
  UrlParts url = SplitUrl(request.url);
  std::vector<std::string_view> names;
  std::string_view query = url.query;
  while (!query.empty()) {
    size_t end = std::min(query.find('&'), query.size());
    std::string_view pair = query.substr(0, end);
    if (!pair.empty()) names.push_back(pair.substr(0, pair.find('=')));
    query.remove_prefix(std::min(end + 1, query.size()));
  }
  std::sort(names.begin(), names.end());
  std::string key = ToUpperAscii(request.method) + " " + url.host + url.path;
  for (size_t i = 0; i < names.size(); ++i) key.append(i == 0 ? "?" : "&").append(names[i]);
  return key;
}

namespace {

std::string ExactKey(const HttpMessage& request) {
  UrlParts url = SplitUrl(request.url);
  return ToUpperAscii(request.method) + " " + url.host + url.path + "?" + url.query;
}

}  // namespace

std::vector<RequestPair> PairRequests(const std::vector<HarEntry>& a, const std::vector<HarEntry>& b) {
  std::vector<std::optional<size_t>> partnerOfA(a.size());
  std::vector<bool> pairedB(b.size(), false);
  // Among the requests still unpaired, the k-th of a key in A pairs with the
  // k-th of that key in B.
  auto pairBy = [&](std::string (*keyOf)(const HttpMessage&)) {
    std::unordered_map<std::string, std::vector<size_t>> inB;
    for (size_t j = 0; j < b.size(); ++j)
      if (!pairedB[j]) inB[keyOf(b[j].request)].push_back(j);
    std::unordered_map<std::string, size_t> taken;
    for (size_t i = 0; i < a.size(); ++i) {
      if (partnerOfA[i]) continue;
      std::string key = keyOf(a[i].request);
      auto found = inB.find(key);
      if (found == inB.end()) continue;
      size_t& k = taken[key];
      if (k >= found->second.size()) continue;
      partnerOfA[i] = found->second[k++];
      pairedB[*partnerOfA[i]] = true;
    }
  };
  // The very same request first, so that one request more or less among many
  // of one key (page=1, page=2, …) does not shift all that follow it; then
  // the key, whose query values may have changed.
  pairBy(ExactKey);
  pairBy(RequestKey);
  std::vector<RequestPair> pairs;
  pairs.reserve(a.size() + b.size());
  size_t nextB = 0;  // B's entries before this one are placed
  auto placeOnlyB = [&](size_t upTo) {
    for (; nextB < upTo; ++nextB)
      if (!pairedB[nextB]) pairs.push_back({std::nullopt, nextB});
  };
  for (size_t i = 0; i < a.size(); ++i) {
    if (partnerOfA[i]) placeOnlyB(*partnerOfA[i]);
    pairs.push_back({i, partnerOfA[i]});
  }
  placeOnlyB(b.size());
  return pairs;
}

}  // namespace ds
