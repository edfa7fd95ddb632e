#include "decode/json_text.h"

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

Text JsonToGbk(const nlohmann::json& value) {
  return Utf8ToGbk(value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

}  // namespace ds
