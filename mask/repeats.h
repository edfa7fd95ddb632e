// Secrets a capture repeats where no rule looks (a session id in a path, a
// CSRF token in a page, a cookie echoed in a body): every value masked once
// is looked for everywhere, raw, percent-encoded, JSON-escaped and Base64.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "mask/secrets.h"

namespace ds {

class RepeatFinder {
 public:
  explicit RepeatFinder(const MaskedValues& values);
  // Each repeat in `text` replaced by its stand-in (percent-encoded in a
  // URL); false when there was none.
  bool Replace(std::string& text, bool inUrl) const;

 private:
  void Add(std::string form, const std::string* standIn);

  // Each form with its stand-in; by their first six bytes the lengths the
  // forms starting so have, longest first (tokens of one kind share their
  // start, not their length); and a bit filter over the starts that turns
  // most places of a text away without a lookup.
  std::deque<std::string> texts_;
  std::unordered_map<std::string_view, const std::string*> forms_;
  std::unordered_map<uint64_t, std::vector<size_t>> lengths_;
  std::vector<uint64_t> filter_;
};

}  // namespace ds
