// A HAR made fit to share: secret values masked by the one keyed rule,
// bodies dropped unless asked for, every other field kept, and the document
// still valid HAR 1.2 (sizes made consistent, a comment on the log saying
// it was sanitised and when). The companion's `sanitize`, its --mask and the
// window's "save a sanitised copy" all come here.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "import/capture.h"
#include "mask/secrets.h"

namespace ds {

struct SanitizeOptions {
  bool keepBodies = false;
  std::string date;  // UTC, "2026-12-08": one key gives the same bytes all day
};

enum class SanitizeError {
  kNone,
  kNotJson,     // at `offset`, a byte offset in the file
  kBadUtf8,     // at `offset`: invalid UTF-8 or a lone surrogate escape
  kNotHar,      // no log.entries array
  kBase64Body,  // entry `offset` (from 1) holds a Base64 body and bodies are kept
};

struct SanitizedHar {
  std::string text;  // the HAR, UTF-8, when error is kNone
  SanitizeError error = SanitizeError::kNone;
  size_t offset = 0;
};

// The window's message for a failed result, GBK; empty when it succeeded.
Text SanitizeErrorText(const SanitizedHar& result);

// "2026-12-08": the day in UTC, as the sanitised HAR's comment gives it.
std::string UtcDate(std::chrono::system_clock::time_point when);

// The HAR file's bytes (UTF-8, a byte order mark allowed) sanitised.
SanitizedHar SanitizeHarText(std::string_view utf8, const SecretRule& rule, const SanitizeOptions& options);

// Entries already read, masked in place by the same rule: URLs, headers,
// cookie records and request bodies (their form fields and JWTs).
void SanitizeEntries(std::vector<HarEntry>& entries, const SecretRule& rule);

}  // namespace ds
