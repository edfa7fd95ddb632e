// The companion's report of a HAR replayed through the cookie store: a block
// a request with what differs, what was kept back and what was refused; or
// one JSON document.
#pragma once

#include <string>
#include <vector>

#include "cli/encoding.h"
#include "cookies/replay.h"

namespace cli {

struct JarReport {
  std::string name;         // the file as named on the command line (UTF-8)
  size_t entryCount = 0;    // entries in the file
  std::vector<ds::JarVerdict> verdicts;  // those shown: every entry, or the chosen one

  bool HasDifferences() const;
};

std::string JarText(const JarReport& report, Encoding encoding);
std::string JarJson(const JarReport& report, Encoding encoding);

// UTF-8 text in the output's encoding. GBK lacks some characters: they are
// written as escapes (JSON's \uXXXX, else \u{XXXX}), never replaced.
std::string Utf8Output(std::string_view utf8, Encoding encoding, bool json);

}  // namespace cli
