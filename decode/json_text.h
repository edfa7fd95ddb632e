// The JSON library behind the decoder, kept out of the decoder's public
// headers: parsing bounded in depth, with no exception leaving it.
#pragma once

#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "items/text.h"

namespace ds {

struct JsonDocument {
  nlohmann::json value;
};

struct JsonParse {
  std::optional<nlohmann::json> document;
  Text note;  // GBK, why there is no document; empty when there is one
};

// A UTF-8 text as one JSON document, refused without parsing when brackets
// nest deeper than kMaxJsonDepth or the text is longer than kMaxJsonBytes.
JsonParse ParseJsonText(std::string_view utf8);

// Compact JSON as GBK text; bytes that are not UTF-8 inside strings show as
// U+FFFD instead of stopping the dump.
// Neither recurses, however deep the value.
Text JsonToGbk(const nlohmann::json& value);
// The same cut as ShortenGbk makes, written only as far as the cut.
Text ShortJsonToGbk(const nlohmann::json& value, size_t maxBytes);

}  // namespace ds
