// The companion's report of two sessions compared request by request: a line
// a pair, then the lists of every pair that differs; or one JSON document.
#pragma once

#include <string>
#include <vector>

#include "cli/encoding.h"
#include "cookies/session_why.h"
#include "sessions/session_diff.h"

namespace cli {

struct SessionsReport {
  std::string nameA, nameB;  // the files as named on the command line (UTF-8)
  size_t entriesA = 0, entriesB = 0;
  bool httpMode = false;
  std::vector<ds::PairDiff> pairs;
  // For each pair, why each cookie one side sent is missing on the other.
  std::vector<std::vector<ds::MissingCookieWhy>> why;

  bool HasDifferences() const;
};

// Each paired request's missing cookies, from both recordings replayed.
std::vector<std::vector<ds::MissingCookieWhy>> WhyOfPairs(const std::vector<ds::HarEntry>& a,
                                                          const std::vector<ds::HarEntry>& b,
                                                          const std::vector<ds::PairDiff>& pairs);

std::string SessionsText(const SessionsReport& report, Encoding encoding);
std::string SessionsJson(const SessionsReport& report, Encoding encoding);

}  // namespace cli
