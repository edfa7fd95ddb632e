#include "cookies/public_suffix.h"

#include <algorithm>
#include <string>
#include <vector>

#include "items/text.h"

namespace ds {
namespace {

bool HasRule(std::string_view rule) {
  std::span<const std::string_view> rules = PublicSuffixRules();
  return std::binary_search(rules.begin(), rules.end(), rule);
}

// How many labels, counted from the right, make the public suffix of a
// well-formed lower-case name; the list's algorithm, with "*" when no rule
// matches.
size_t SuffixLabels(std::string_view name) {
  // Where each suffix of 1, 2, … labels starts.
  std::vector<size_t> starts;
  for (size_t i = name.size(); i-- > 0;)
    if (name[i] == '.') starts.push_back(i + 1);
  starts.push_back(0);
  size_t best = 1;
  std::string probe;
  for (size_t k = 1; k <= starts.size(); ++k) {
    std::string_view suffix = name.substr(starts[k - 1]);
    probe.assign("!").append(suffix);
    // An exception wins over every other rule: its suffix is one label shorter.
    if (HasRule(probe)) return k - 1;
    if (HasRule(suffix)) best = k;
    if (k >= 2) {
      probe.assign("*.").append(name.substr(starts[k - 2]));
      if (HasRule(probe)) best = k;
    }
  }
  return best;
}

bool WellFormed(std::string_view name) {
  if (name.empty() || name.front() == '.' || name.back() == '.') return false;
  return name.find("..") == std::string_view::npos;
}

}  // namespace

bool IsPublicSuffix(std::string_view domain) {
  if (!WellFormed(domain)) return false;
  size_t labels = std::count(domain.begin(), domain.end(), '.') + 1;
  return SuffixLabels(domain) >= labels;
}

std::optional<std::string> RegistrableDomain(std::string_view host) {
  std::string name = ToLowerAscii(host);
  if (!WellFormed(name) || IsIpAddress(name)) return std::nullopt;
  size_t labels = std::count(name.begin(), name.end(), '.') + 1;
  size_t keep = SuffixLabels(name) + 1;
  if (keep > labels) return std::nullopt;
  size_t start = 0, dots = 0;
  for (size_t i = name.size(); i-- > 0;) {
    if (name[i] == '.' && ++dots == keep) {
      start = i + 1;
      break;
    }
  }
  return name.substr(start);
}

std::string SiteOfHost(std::string_view host) {
  std::optional<std::string> site = RegistrableDomain(host);
  return site ? *site : ToLowerAscii(host);
}

bool IsIpAddress(std::string_view host) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') return true;
  int parts = 0;
  size_t digits = 0;
  for (char c : host) {
    if (c >= '0' && c <= '9') {
      if (++digits > 3) return false;
    } else if (c == '.' && digits > 0) {
      ++parts;
      digits = 0;
    } else {
      return false;
    }
  }
  return digits > 0 && parts == 3;
}

}  // namespace ds
