// Why two values differ: both decoded layer by layer, then compared key by
// key when both are JSON, or at the first differing byte when they are not.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "decode/layers.h"

namespace ds {

struct FieldDifference {
  enum class Kind { kOnlyIn1, kOnlyIn2, kDifferent };
  Kind kind = Kind::kDifferent;
  Text path;            // "payload.exp", "items[2].id"; empty for the whole document
  Text value1, value2;  // compact JSON (GBK); empty where the key is absent
  Text date1, date2;    // a JWT time (exp, iat, nbf) as a UTC date, else empty
};

struct FirstDifference {
  size_t offset = 0;          // 0-based byte offset in the decoded texts, at a character start
  Text excerpt1, excerpt2;    // a few characters around it, control bytes spelled out
};

struct DecodedComparison {
  DecodedValue side1, side2;
  bool sameRaw = false;      // the values themselves are equal
  bool sameDecoded = false;  // equal once decoded (as JSON documents when both are JSON)
  bool structured = false;   // both JSON: fields holds the differences
  std::vector<FieldDifference> fields;
  size_t fieldsLeftOut = 0;  // differences past kMaxFieldDifferences
  std::optional<FirstDifference> first;  // texts that differ and are not both JSON
};

constexpr size_t kMaxFieldDifferences = 200;

DecodedComparison CompareDecoded(std::string_view value1, std::string_view value2);

// A UTC date "2024-01-31 08:00:00 UTC" for seconds since 1970; empty outside
// the years 1970 to 9999.
Text UnixTimeText(long long seconds);

Text LayerName(Layer layer);  // GBK, as the window shows it
const char* LayerKey(Layer layer);  // ASCII, for the JSON output

// The comparison as the detail window and the companion's text output show
// it: GBK lines without line breaks.
std::vector<Text> DecodedComparisonLines(const DecodedComparison& comparison);

}  // namespace ds
