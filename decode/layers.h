// Peeling the encodings off one value: percent-encoding (UTF-8 or GBK),
// Base64 and base64url when they hold text, JWT, JSON. Works on GBK text like
// the rest of the core; each layer costs one pass over the value.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "items/text.h"

namespace ds {

struct JsonDocument;  // the parsed document, kept so it is parsed once

enum class Layer { kPercentUtf8, kPercentGbk, kBase64, kBase64Url, kJwt, kJson };

struct DecodedValue {
  std::vector<Layer> layers;  // outermost first
  Text text;                  // GBK: what is left inside the last layer
  // Set when text is a JSON document; for a JWT, one object of "header",
  // "payload" and "signature" (the signature as given, not decoded). A
  // comparison lets it go once it has walked it.
  std::shared_ptr<const JsonDocument> document;
  std::vector<Text> notes;  // what could not be decoded, in the program's words (GBK)
  // The text as UTF-8 when GBK could not hold some of its characters: they
  // all show as "?", so this is what is parsed and compared. Else empty.
  Text lostUtf8;
};

constexpr int kMaxLayers = 8;
// Deeper documents are refused before parsing: the comparison walks them
// recursively.
constexpr int kMaxJsonDepth = 64;
// Bigger documents are compared as text: parsing 10 MB of small tokens on
// both sides would take seconds.
constexpr size_t kMaxJsonBytes = 2 * 1024 * 1024;

DecodedValue DecodeLayers(std::string_view value);

// Code page 936 to UTF-8, for the JSON library, which reads UTF-8.
Text GbkToUtf8(std::string_view gbk);

// At most maxBytes bytes of a GBK text, never half a double-byte character;
// "…" marks a cut.
Text ShortenGbk(std::string_view gbk, size_t maxBytes);

}  // namespace ds
