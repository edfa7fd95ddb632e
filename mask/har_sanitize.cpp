#include "mask/har_sanitize.h"

#include <cstdio>
#include <optional>

#include <nlohmann/json.hpp>
#include <simdjson.h>

#include "items/percent_decode.h"
#include "items/sentence.h"
#include "items/text.h"
#include "mask/repeats.h"
#include "mask/texts.h"

namespace ds {
namespace {

// Insertion order kept: the document reads as it did, field for field.
using Json = nlohmann::ordered_json;

constexpr char kBodyRemoved[] = "body removed when sanitised";

// No HAR nests anywhere near this deep; a document that does would exhaust
// the stack of the walks below and of the writer.
constexpr int kMaxDepth = 1000;
struct TooDeep {};

// Where a value of the tree stands, as far as bodies go.
enum class At { kRoot, kLog, kEntries, kEntry, kMessage, kBody, kOther };

At Inner(At at, std::string_view key) {
  switch (at) {
    case At::kRoot: return key == "log" ? At::kLog : At::kOther;
    case At::kLog: return key == "entries" ? At::kEntries : At::kOther;
    case At::kEntries: return At::kEntry;
    case At::kEntry: return key == "request" || key == "response" ? At::kMessage : At::kOther;
    case At::kMessage: return key == "postData" || key == "content" ? At::kBody : At::kOther;
    default: return At::kOther;
  }
}

// simdjson's tree (read at memory speed) in the JSON library's, in the
// document's order. Bodies that are to go are not copied: a mark stands
// for a text that was there.
Json FromTree(simdjson::dom::element e, At at, bool dropBodies) {
  using simdjson::dom::element_type;
  switch (e.type()) {
    case element_type::OBJECT: {
      Json object = Json::object();
      simdjson::dom::object fields = e.get_object().value_unsafe();
      for (simdjson::dom::key_value_pair field : fields) {
        bool body = dropBodies && at == At::kBody && field.key == "text" && field.value.is_string();
        object[std::string(field.key)] = body ? Json(field.value.get_string().value_unsafe().empty() ? "" : "-")
                                              : FromTree(field.value, Inner(at, field.key), dropBodies);
      }
      return object;
    }
    case element_type::ARRAY: {
      Json array = Json::array();
      simdjson::dom::array items = e.get_array().value_unsafe();
      for (simdjson::dom::element item : items) array.push_back(FromTree(item, Inner(at, {}), dropBodies));
      return array;
    }
    case element_type::STRING: return std::string(e.get_string().value_unsafe());
    case element_type::INT64: return e.get_int64().value_unsafe();
    case element_type::UINT64: return e.get_uint64().value_unsafe();
    case element_type::DOUBLE: return e.get_double().value_unsafe();
    case element_type::BOOL: return e.get_bool().value_unsafe();
    case element_type::NULL_VALUE: break;
  }
  return nullptr;
}

// The document, or why not: simdjson first, and what it refuses (too deep,
// a number beyond 64 bits, a fault) to the JSON library, which names the
// byte at fault.
std::optional<Json> ParseDocument(std::string_view utf8, bool dropBodies, SanitizedHar* out) {
  {
    simdjson::dom::parser parser;  // it refuses what nests deeper than 1024
    simdjson::dom::element root;
    if (parser.parse(utf8.data(), utf8.size()).get(root) == simdjson::SUCCESS)
      return FromTree(root, At::kRoot, dropBodies);
  }
  try {
    return Json::parse(utf8.begin(), utf8.end(), [](int depth, Json::parse_event_t, Json&) {
      if (depth > kMaxDepth) throw TooDeep{};
      return true;
    });
  } catch (const Json::parse_error& e) {
    std::string what = e.what();
    bool text = what.find("UTF-8") != std::string::npos || what.find("surrogate") != std::string::npos;
    out->error = text ? SanitizeError::kBadUtf8 : SanitizeError::kNotJson;
    out->offset = e.byte > 0 ? e.byte - 1 : 0;
  } catch (const TooDeep&) {
    out->error = SanitizeError::kNotHar;
  }
  return std::nullopt;
}

// Sets obj[key] to the masked string; true when it changed.
template <typename MaskFn>
bool MaskString(Json& obj, const char* key, MaskFn mask) {
  auto it = obj.find(key);
  if (it == obj.end() || !it->is_string()) return false;
  std::string masked = mask(it->template get_ref<const std::string&>());
  if (masked == it->template get_ref<const std::string&>()) return false;
  *it = std::move(masked);
  return true;
}

const std::string* StringAt(const Json& obj, const char* key) {
  auto it = obj.find(key);
  return it != obj.end() && it->is_string() ? &it->get_ref<const std::string&>() : nullptr;
}

// Each {name, value} record of a list: the value as mask(name, value) says.
template <typename MaskFn>
bool MaskRecords(Json& message, const char* list, MaskFn mask) {
  auto it = message.find(list);
  if (it == message.end() || !it->is_array()) return false;
  bool changed = false;
  for (Json& record : *it) {
    if (!record.is_object()) continue;
    const std::string* name = StringAt(record, "name");
    std::string n = name ? *name : std::string();
    changed |= MaskString(record, "value", [&](const std::string& v) { return mask(n, v); });
  }
  return changed;
}

bool IsFormBody(std::string_view mimeType) {
  return ToLowerAscii(mimeType).find("x-www-form-urlencoded") != Text::npos;
}

// As in the URL, the value is hashed decoded, so a record written either
// way agrees with the URL it came from.
std::string MaskedParam(const SecretRule& rule, const std::string& name, const std::string& value) {
  return rule.IsSecretName(name) ? rule.Mask(PercentDecode(value, false)) : MaskJwts(value, rule, false);
}

std::string MaskedCookie(const SecretRule& rule, const std::string& name, const std::string& value) {
  return rule.IsKept(name) ? value : rule.Mask(value);
}

// A size field set only where the document has one that counts.
void SetSize(Json& obj, const char* key, long long size) {
  auto it = obj.find(key);
  if (it != obj.end() && it->is_number_integer() && it->get<long long>() != -1) *it = size;
}

void SanitizePostData(Json& request, const SecretRule& rule, const SanitizeOptions& options) {
  auto it = request.find("postData");
  if (it == request.end() || !it->is_object()) return;
  Json& post = *it;
  if (!options.keepBodies) {
    bool had = post.contains("params") || (StringAt(post, "text") && !StringAt(post, "text")->empty());
    post.erase("params");
    if (post.contains("text")) post["text"] = "";
    if (had) {
      post["comment"] = kBodyRemoved;
      SetSize(request, "bodySize", 0);
    }
    return;
  }
  MaskRecords(post, "params", [&](const std::string& n, const std::string& v) { return MaskedParam(rule, n, v); });
  const std::string* mime = StringAt(post, "mimeType");
  std::string mimeType = mime ? *mime : std::string();
  if (MaskString(post, "text", [&](const std::string& t) { return MaskBody(t, mimeType, rule); }))
    SetSize(request, "bodySize", static_cast<long long>(post["text"].get_ref<const std::string&>().size()));
}

// The content's text changed from `before` bytes: its size follows, and the
// transferred size too where nothing compressed it, else it is unknown.
void ResizeContent(Json& response, Json& content, long long before) {
  long long after = static_cast<long long>(content["text"].get_ref<const std::string&>().size());
  content["size"] = after;
  auto body = response.find("bodySize");
  if (body != response.end() && body->is_number_integer() && body->get<long long>() != -1)
    *body = body->get<long long>() == before && !content.contains("compression") ? after : -1;
  content.erase("compression");
}

long long SizeOf(const Json& content) {
  auto size = content.find("size");
  return size != content.end() && size->is_number_integer() ? size->get<long long>() : -1;
}

// False when the body is Base64 and bodies are kept: its secrets cannot be found.
bool SanitizeContent(Json& response, const SecretRule& rule, const SanitizeOptions& options) {
  auto it = response.find("content");
  if (it == response.end() || !it->is_object() || !StringAt(*it, "text")) return true;
  Json& content = *it;
  if (!options.keepBodies) {
    content.erase("text");
    content.erase("encoding");
    content.erase("compression");
    content["size"] = 0;
    content["comment"] = kBodyRemoved;
    SetSize(response, "bodySize", 0);
    return true;
  }
  const std::string* encoding = StringAt(content, "encoding");
  if (encoding && ToLowerAscii(*encoding) == "base64") return false;
  const std::string* mime = StringAt(content, "mimeType");
  std::string mimeType = mime ? *mime : std::string();
  long long before = SizeOf(content);
  if (MaskString(content, "text", [&](const std::string& t) { return MaskBody(t, mimeType, rule); }))
    ResizeContent(response, content, before);
  return true;
}

// Kept bodies also lose the secrets that other places of the capture gave away.
void ReplaceRepeatsInBodies(Json& entry, const RepeatFinder& finder) {
  auto request = entry.find("request");
  if (request != entry.end() && request->is_object() && request->contains("postData") &&
      (*request)["postData"].is_object()) {
    Json& post = (*request)["postData"];
    const std::string* mime = StringAt(post, "mimeType");
    bool form = mime && IsFormBody(*mime);
    if (MaskString(post, "text", [&](std::string t) { return finder.Replace(t, form), t; }))
      SetSize(*request, "bodySize", static_cast<long long>(post["text"].get_ref<const std::string&>().size()));
  }
  auto response = entry.find("response");
  if (response == entry.end() || !response->is_object() || !response->contains("content")) return;
  Json& content = (*response)["content"];
  if (!content.is_object()) return;
  long long before = SizeOf(content);
  if (MaskString(content, "text", [&](std::string t) { return finder.Replace(t, false), t; }))
    ResizeContent(*response, content, before);
}

// The request line or a header changed: its recorded size no longer holds.
void SanitizeMessage(Json& message, const SecretRule& rule, bool request) {
  bool changed = MaskRecords(message, "headers", [&](const std::string& n, const std::string& v) {
    return MaskHeaderValue(n, v, rule);
  });
  MaskRecords(message, "cookies", [&](const std::string& n, const std::string& v) { return MaskedCookie(rule, n, v); });
  if (request) {
    changed |= MaskString(message, "url", [&](const std::string& u) { return MaskUrl(u, rule); });
    MaskRecords(message, "queryString",
                [&](const std::string& n, const std::string& v) { return MaskedParam(rule, n, v); });
  } else {
    MaskString(message, "redirectURL", [&](const std::string& u) { return MaskUrl(u, rule); });
  }
  if (changed) SetSize(message, "headersSize", -1);
}

// Whatever else the document holds (pages, initiators, a tool's own
// fields): URLs as URLs, and JWTs in any string.
void MaskEverywhere(Json& v, const std::string& key, const SecretRule& rule, const RepeatFinder& finder) {
  if (v.is_string()) {
    const std::string& s = v.get_ref<const std::string&>();
    bool url = key == "url" || key == "redirectURL" || (key == "title" && s.rfind("http", 0) == 0);
    std::string masked = url ? MaskUrl(s, rule) : MaskJwts(s, rule, false);
    finder.Replace(masked, url);
    if (masked != s) v = std::move(masked);
  } else if (v.is_object()) {
    for (auto& item : v.items()) MaskEverywhere(item.value(), item.key(), rule, finder);
  } else if (v.is_array()) {
    for (Json& element : v) MaskEverywhere(element, key, rule, finder);
  }
}

// Every entry's secrets masked where the rule finds them, each noted for
// the search of their repeats; false with the entry's number on a Base64
// body that is to be kept.
bool SanitizeEntryFields(Json& entries, const SecretRule& rule, const SanitizeOptions& options, size_t* number) {
  *number = 0;
  for (Json& entry : entries) {
    ++*number;
    if (!entry.is_object()) continue;
    auto request = entry.find("request"), response = entry.find("response");
    if (request != entry.end() && request->is_object()) {
      SanitizeMessage(*request, rule, true);
      SanitizePostData(*request, rule, options);
    }
    if (response != entry.end() && response->is_object()) {
      SanitizeMessage(*response, rule, false);
      if (!SanitizeContent(*response, rule, options)) return false;
    }
  }
  return true;
}

}  // namespace

Text SanitizeErrorText(const SanitizedHar& result) {
  std::string number = std::to_string(result.offset);
  switch (result.error) {
    case SanitizeError::kNotJson: return FillIn(mask_texts::kSanitizeNotJson, {{"offset", number}});
    case SanitizeError::kBadUtf8: return FillIn(mask_texts::kSanitizeBadUtf8, {{"offset", number}});
    case SanitizeError::kNotHar: return mask_texts::kSanitizeNotHar;
    case SanitizeError::kBase64Body: return FillIn(mask_texts::kSanitizeBase64Body, {{"entry", number}});
    case SanitizeError::kNone: break;
  }
  return {};
}

std::string UtcDate(std::chrono::system_clock::time_point when) {
  std::chrono::year_month_day day{std::chrono::floor<std::chrono::days>(when)};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.year()),
                static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
  return text;
}

SanitizedHar SanitizeHarText(std::string_view utf8, const SecretRule& rule, const SanitizeOptions& options) {
  SanitizedHar out;
  std::optional<Json> parsed = ParseDocument(utf8, !options.keepBodies, &out);
  if (!parsed) return out;
  Json& doc = *parsed;
  auto log = doc.is_object() ? doc.find("log") : doc.end();
  if (log == doc.end() || !log->is_object() || !log->contains("entries") || !(*log)["entries"].is_array()) {
    out.error = SanitizeError::kNotHar;
    return out;
  }
  SecretRule recording = rule;
  MaskedValues seen;
  recording.RecordInto(&seen);
  size_t number = 0;
  if (!SanitizeEntryFields((*log)["entries"], recording, options, &number)) {
    out.error = SanitizeError::kBase64Body;
    out.offset = number;
    return out;
  }
  RepeatFinder finder(seen);
  if (options.keepBodies)
    for (Json& entry : (*log)["entries"])
      if (entry.is_object()) ReplaceRepeatsInBodies(entry, finder);
  MaskEverywhere(doc, "", recording, finder);
  std::string note = "sanitised by Dualsieve on " + options.date + " (UTC): secret values masked with a keyed hash" +
                     (options.keepBodies ? "" : ", bodies removed");
  const std::string* comment = StringAt(*log, "comment");
  (*log)["comment"] = comment && !comment->empty() ? *comment + "\n" + note : note;
  out.text = doc.dump(2, ' ', false, Json::error_handler_t::strict);
  out.text += '\n';
  return out;
}

void SanitizeEntries(std::vector<HarEntry>& entries, const SecretRule& rule) {
  for (HarEntry& entry : entries) {
    for (HttpMessage* m : {&entry.request, &entry.response}) {
      m->url = MaskUrl(m->url, rule);
      std::string mimeType;
      for (Field& h : m->headers) {
        if (ToLowerAscii(h.name) == "content-type") mimeType = h.value;
        h.value = MaskHeaderValue(h.name, h.value, rule);
      }
      for (Field& c : m->cookieRecords) c.value = MaskedCookie(rule, c.name, c.value);
      if (m->body) *m->body = MaskBody(*m->body, mimeType, rule);
    }
  }
}

}  // namespace ds
