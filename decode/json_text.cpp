#include "decode/json_text.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "decode/layers.h"
#include "decode/texts.h"
#include "items/percent_decode.h"
#include "items/sentence.h"

namespace ds {
namespace {


// Deepest bracket nesting outside strings. UTF-8 never hides a bracket or a
// quote inside a multi-byte character, so bytes will do.
int NestingDepth(std::string_view utf8) {
  int depth = 0, deepest = 0;
  bool inString = false;
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '{' || c == '[') {
      if (++depth > deepest) deepest = depth;
    } else if (c == '}' || c == ']') {
      --depth;
    }
  }
  return deepest;
}

// Compact JSON as dump() writes it, but with a stack of its own instead of
// recursion, and only until the text is longer than `enough` bytes (at the
// end of a token).
std::string CompactJson(const nlohmann::json& value, size_t enough) {
  using nlohmann::json;
  auto scalar = [](const json& v) { return v.dump(-1, ' ', false, json::error_handler_t::replace); };
  std::string out;
  std::vector<std::pair<const json*, json::const_iterator>> open;
  auto write = [&](const json& v) {
    if (v.is_object() || v.is_array()) {
      out += v.is_object() ? '{' : '[';
      open.emplace_back(&v, v.cbegin());
    } else {
      out += scalar(v);
    }
  };
  write(value);
  while (!open.empty() && out.size() <= enough) {
    const json* container = open.back().first;
    json::const_iterator& next = open.back().second;
    if (next == container->cend()) {
      out += container->is_object() ? '}' : ']';
      open.pop_back();
      continue;
    }
    if (next != container->cbegin()) out += ',';
    if (container->is_object()) out += scalar(json(next.key())) + ':';
    const json& child = *next++;
    write(child);
  }
  return out;
}

}  // namespace

JsonParse ParseJsonText(std::string_view utf8) {
  JsonParse out;
  if (utf8.size() > kMaxJsonBytes) {
    out.note = FillIn(decode_texts::kNoteJsonSize, {{"limit", ToText(static_cast<long long>(kMaxJsonBytes >> 20))}});
    return out;
  }
  if (NestingDepth(utf8) > kMaxJsonDepth) {
    out.note = FillIn(decode_texts::kNoteJsonDepth, {{"limit", ToText(kMaxJsonDepth)}});
    return out;
  }
  try {
    out.document = nlohmann::json::parse(utf8.begin(), utf8.end());
  } catch (const nlohmann::json::parse_error& e) {
    out.note = FillIn(decode_texts::kNoteJsonSyntax, {{"offset", ToText(static_cast<long long>(e.byte))}});
  } catch (const std::exception&) {
    out.note = FillIn(decode_texts::kNoteJsonSyntax, {{"offset", "?"}});
  }
  return out;
}

Text JsonToGbk(const nlohmann::json& value) { return Utf8ToGbk(CompactJson(value, SIZE_MAX)); }

Text ShortJsonToGbk(const nlohmann::json& value, size_t maxBytes) {
  // A character takes at most four bytes of UTF-8 and at least one of GBK,
  // so a text cut past four times the limit still runs past the limit.
  return ShortenGbk(Utf8ToGbk(CompactJson(value, 4 * maxBytes + 4)), maxBytes);
}

}  // namespace ds
