#include "sessions/request_pairing.h"

#include <algorithm>
#include <unordered_map>

#include "import/text_decode.h"
#include "items/text.h"
#include "sessions/punycode.h"

namespace ds {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  char lower = static_cast<char>(c | 0x20);
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Decoded text put back into a key: the characters the key is built with
// are escaped, so that "a%26b" stays one name and does not read as a and b.
std::string KeyPiece(std::string_view decoded, std::string_view special) {
  std::string out;
  for (char c : decoded) {
    if (c != '%' && special.find(c) == std::string_view::npos) {
      out.push_back(c);
      continue;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    auto b = static_cast<unsigned char>(c);
    out += {'%', kHex[b >> 4], kHex[b & 0xF]};
  }
  return out;
}

// Host and path as the keys hold them.
std::string Place(const UrlParts& url) {
  return HostKey(url) + KeyPiece(PercentDecoded(url.path, false), "?");
}

std::string_view DefaultPort(std::string_view scheme) {
  if (scheme == "http" || scheme == "ws") return "80";
  if (scheme == "https" || scheme == "wss") return "443";
  return {};
}

}  // namespace

UrlParts SplitUrl(std::string_view url) {
  UrlParts parts;
  url = url.substr(0, url.find('#'));
  size_t scheme = url.find("://");
  size_t start = 0;
  if (scheme != std::string_view::npos && url.substr(0, scheme).find_first_of("/?") == std::string_view::npos) {
    parts.scheme = ToLowerAscii(url.substr(0, scheme));
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

std::string HostKey(const UrlParts& url) {
  std::string_view host = url.host, port;
  // The port follows the last ":", outside an IPv6 address's brackets.
  size_t colon = host.rfind(':');
  size_t bracket = host.rfind(']');
  if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
    std::string_view digits = host.substr(colon + 1);
    if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      host = host.substr(0, colon);
      if (digits != DefaultPort(url.scheme)) port = digits;
    }
  }
  std::string out;
  while (true) {
    size_t dot = host.find('.');
    std::string_view label = host.substr(0, dot);
    std::optional<std::u32string> unicode;
    if (label.substr(0, 4) == "xn--") unicode = PunycodeDecode(label.substr(4));
    if (unicode) {
      for (char32_t c : *unicode) AppendUtf8(c, &out);
    } else {
      out += label;
    }
    if (dot == std::string_view::npos) break;
    out += '.';
    host.remove_prefix(dot + 1);
  }
  if (!port.empty()) out.append(":").append(port);
  return out;
}

std::string PercentDecoded(std::string_view s, bool plusIsSpace) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2])));
      i += 2;
    } else {
      out.push_back(plusIsSpace && s[i] == '+' ? ' ' : s[i]);
    }
  }
  return out;
}

std::vector<QueryParam> QueryParams(std::string_view query) {
  std::vector<QueryParam> params;
  while (!query.empty()) {
    size_t end = std::min(query.find('&'), query.size());
    std::string_view piece = query.substr(0, end);
    query.remove_prefix(std::min(end + 1, query.size()));
    if (piece.empty()) continue;
    size_t eq = piece.find('=');
    std::string_view name = piece.substr(0, eq), value = eq == std::string_view::npos ? "" : piece.substr(eq + 1);
    params.push_back({PercentDecoded(name, true), PercentDecoded(value, true), name, value});
  }
  return params;
}

std::string RequestKey(const HttpMessage& request) {
  UrlParts url = SplitUrl(request.url);
  std::vector<std::string> names;
  for (const QueryParam& p : QueryParams(url.query)) names.push_back(KeyPiece(p.name, "&"));
  std::sort(names.begin(), names.end());
  std::string key = ToUpperAscii(request.method) + " " + Place(url);
  for (size_t i = 0; i < names.size(); ++i) key.append(i == 0 ? "?" : "&").append(names[i]);
  return key;
}

namespace {

std::string ExactKey(const HttpMessage& request) {
  UrlParts url = SplitUrl(request.url);
  std::string key = ToUpperAscii(request.method) + " " + Place(url) + "?";
  for (const QueryParam& p : QueryParams(url.query))
    key.append(KeyPiece(p.name, "&=")).append("=").append(KeyPiece(p.value, "&")).append("&");
  return key;
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
