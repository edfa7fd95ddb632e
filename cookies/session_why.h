// Why a cookie one request of a session pair sent is missing from the
// other: the lacking side's own recording replayed through the cookie store.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cookies/replay.h"
#include "import/capture.h"
#include "items/text.h"

namespace ds {

// A recording and its replay, made once for every pair of a comparison and
// only when a pair lacks a cookie: most comparisons never ask.
class ReplayedSession {
 public:
  explicit ReplayedSession(const std::vector<HarEntry>& entries) : entries_(entries) {}

  // Why the store did not send `name` with entry `entry` (from 0).
  struct Why {
    std::string_view code;
    Text text;
  };
  Why WhyNotSent(size_t entry, const std::string& name) const;
  const HarEntry& Entry(size_t entry) const { return entries_[entry]; }

 private:
  void Replay() const;

  const std::vector<HarEntry>& entries_;
  mutable std::optional<std::vector<JarVerdict>> verdicts_;
  // The entries whose responses name a cookie in a Set-Cookie line.
  mutable std::unordered_map<std::string, std::vector<size_t>> setters_;
};

struct MissingCookieWhy {
  std::string name;        // as the other side sent it (UTF-8)
  bool missingInA = true;  // the side that lacks it
  // A withheld rule's or refused line's code, or "not-sent" (the store
  // would have sent it), "gone" (set, then expired or deleted),
  // "never-set" (no response of this recording set it).
  std::string_view code;
  Text text;  // GBK
};

// Each cookie name one request sent and the other did not, A's first, in the
// order they were sent; entries from 0.
std::vector<MissingCookieWhy> WhyCookiesMissing(const ReplayedSession& a, size_t entryA, const ReplayedSession& b,
                                                size_t entryB);

// "缺少的Cookie及原因 (4)", a line ended by CR LF.
Text WhyHeading(size_t count);
// "A缺 sid: SameSite=Lax: 跨站子请求不发送 (第3项响应设置)", a line each, CR LF.
Text WhyLines(const std::vector<MissingCookieWhy>& why);

}  // namespace ds
