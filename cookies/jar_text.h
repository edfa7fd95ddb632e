// The replay's findings as lines a person reads: one request's block (what
// was sent, what the store would send, what differs, what was kept back and
// what was refused), why a cookie one side of a session pair sent is missing
// on the other, and the count the HAR chooser shows beside each request.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "cookies/replay.h"
#include "items/text.h"

namespace ds {

// The fixed sentences repeat from request to request: each is put through
// the code page once.
class Utf8Texts {
 public:
  const std::string& operator()(const std::string& gbk);

 private:
  std::unordered_map<std::string, std::string> known_;
};

// One request's block in UTF-8, lines ended by "\n", names and values as the
// HAR holds them.
void AppendJarBlock(const JarVerdict& v, Utf8Texts& utf8, std::string& out);

// The block as the window's boxes show it: GBK, CR LF lines.
Text JarBlockForWindow(const JarVerdict& v);

// A line of the HAR chooser: the request and how many of its cookies differ
// from what the store would have sent.
Text ChooserLine(const HarEntry& entry, const JarVerdict& v);

}  // namespace ds
