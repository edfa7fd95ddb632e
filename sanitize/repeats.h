// Secrets a capture repeats where no rule looks (a session id in a path, a
// CSRF token in a page, a cookie echoed in a body): every value masked once
// is looked for everywhere, raw, percent-encoded, JSON-escaped and Base64.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "sanitize/secrets.h"

namespace ds {

class RepeatFinder {
 public:
  explicit RepeatFinder(const MaskedValues& values);
  // Each repeat in `text` replaced by its stand-in (percent-encoded in a
  // URL); false when there was none.
  bool Replace(std::string& text, bool inUrl) const;

 private:
  struct Form {
    std::string text;
    const std::string* standIn;
  };
  void Add(std::string form, const std::string* standIn);

  // Forms by their first six bytes, behind a bit filter that turns most
  // places of a text away without a lookup.
  std::unordered_map<uint64_t, std::vector<Form>> byStart_;
  std::vector<uint64_t> filter_;
};

}  // namespace ds
