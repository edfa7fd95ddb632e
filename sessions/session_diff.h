// Two sessions compared request by request: each pair's cookies (Cookies
// mode) or headers (HTTP mode), query parameters, Set-Cookie items and
// status, with the one comparison the window runs and its switches.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "compare/analysis.h"
#include "compare/name_rule.h"
#include "import/capture.h"
#include "items/analysis_mode.h"
#include "items/slot_parser.h"
#include "sessions/request_pairing.h"

namespace ds {

struct PartDiff {
  ComparisonLists lists;       // as the window's three lists show them
  std::vector<Text> ignored;  // names the ignore list left out
  Text duplicates;            // a note per repeated name, as Analyse writes them when duplicates are kept
  // The comparison sees the first item of a repeated name only; where the
  // two sides' items of such a name differ, all of them (values as sent).
  struct Repeat {
    Text name;
    std::vector<Text> valuesA, valuesB;
  };
  std::vector<Repeat> repeats;
  std::vector<Text> refused;  // items the slot text cannot carry, named with their side

  bool Same() const {
    return lists.missingInSlot1.empty() && lists.missingInSlot2.empty() && lists.different.empty() &&
           repeats.empty() && refused.empty();
  }
};

struct PairDiff {
  RequestPair pair;
  Text method;            // GBK, for display
  Text hostA, hostB;      // lower case, port kept
  Text pathA, pathB;      // path and query as sent (GBK; characters GBK lacks percent-encoded)

  // "host/path?query" of the side that made the request, A's when both did.
  Text Where() const { return pair.a ? hostA + pathA : hostB + pathB; }
  std::string statusA, statusB;  // "" for a side that made no such request
  PartDiff request;              // cookies or headers, by the mode
  PartDiff query;                // compared percent-decoded, shown as sent
  PartDiff setCookies;

  bool Paired() const { return pair.a && pair.b; }
  bool Same() const { return Paired() && statusA == statusB && request.Same() && query.Same() && setCookies.Same(); }
};

struct SessionsInput {
  AnalysisMode mode = AnalysisMode::kCookies;
  Separators separators;  // in force for the mode
  NameRule rule;
  std::vector<Text> ignorePatterns;  // GBK; the user's, for every part
  // Header names whose values change from run to run (the volatile preset):
  // left out of the request's headers in HTTP mode, never out of cookies,
  // query parameters or Set-Cookie items, which only share such names.
  std::vector<Text> volatileHeaders;
};

std::vector<PairDiff> CompareSessions(const std::vector<HarEntry>& a, const std::vector<HarEntry>& b,
                                      const SessionsInput& in);

// The words both front ends show (GBK): "相同", "不同", "仅A有" or "仅B有".
Text PairVerdict(const PairDiff& d);
// What differs in a pair: "Cookies: A缺0 B缺1 异2  查询参数: …  状态", the
// part named by the mode word; empty for a pair that is the same or alone.
Text PairDifferences(const PairDiff& d, AnalysisMode mode);
// A side's status as both front ends show it: the response's, "无响应" for
// a request whose entry holds no response, "-" for a side that made no such
// request.
Text SideStatus(const PairDiff& d, bool sideA);
// Both sides: "200/302", "200/无响应", "-/404".
Text PairStatus(const PairDiff& d);
// "共6对请求: 相同2, 不同2, 仅A有1, 仅B有1".
Text SessionsSummary(const std::vector<PairDiff>& pairs);

// The three parts of a pair as shown, with the mode word naming the first.
struct PairPart {
  Text name;
  const PartDiff* diff;
};
std::vector<PairPart> PartsOf(const PairDiff& d, AnalysisMode mode);

}  // namespace ds
