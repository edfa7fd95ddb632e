#include "sanitize/repeats.h"

#include <algorithm>
#include <cctype>

namespace ds {
namespace {

constexpr size_t kStart = 6;  // the shortest value noted
constexpr unsigned kFilterBits = 22;

uint64_t StartOf(const char* p) {
  uint64_t v = 0;
  for (size_t i = 0; i < kStart; ++i) v = v << 8 | static_cast<unsigned char>(p[i]);
  return v;
}

size_t FilterSlot(uint64_t start) { return static_cast<size_t>((start * 0x9E3779B97F4A7C15ull) >> (64 - kFilterBits)); }

std::string Base64(std::string_view bytes, bool url) {
  const char* alphabet = url ? "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"
                             : "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
    out += alphabet[n >> 18 & 63];
    out += alphabet[n >> 12 & 63];
    out += i + 1 < bytes.size() ? alphabet[n >> 6 & 63] : '=';
    out += i + 2 < bytes.size() ? alphabet[n & 63] : '=';
  }
  return out;
}

// As a JSON writer may escape it inside a body: quotes, backslashes, slashes.
std::string JsonEscaped(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '"' || c == '\\' || c == '/') out += '\\';
    out += c;
  }
  return out;
}

std::string LowerHex(std::string s) {
  for (size_t i = 0; i + 2 < s.size(); ++i)
    if (s[i] == '%') {
      s[i + 1] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i + 1])));
      s[i + 2] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i + 2])));
    }
  return s;
}

}  // namespace

RepeatFinder::RepeatFinder(const MaskedValues& values) : filter_(size_t{1} << (kFilterBits - 6)) {
  for (const auto& [value, standIn] : values.standIns) {
    std::string encoded = PercentEncoded(value);
    std::string plus = encoded;
    for (size_t at = plus.find("%20"); at != std::string::npos; at = plus.find("%20", at + 1))
      plus.replace(at, 3, "+");
    for (bool url : {false, true}) {
      std::string b = Base64(value, url);
      Add(b, &standIn);
      Add(b.substr(0, b.find('=')), &standIn);
    }
    Add(LowerHex(encoded), &standIn);
    Add(std::move(plus), &standIn);
    Add(std::move(encoded), &standIn);
    Add(JsonEscaped(value), &standIn);
    Add(value, &standIn);
  }
}

void RepeatFinder::Add(std::string form, const std::string* standIn) {
  if (form.size() < kStart) return;
  uint64_t start = StartOf(form.data());
  std::vector<Form>& forms = byStart_[start];
  if (std::any_of(forms.begin(), forms.end(), [&](const Form& f) { return f.text == form; })) return;
  size_t slot = FilterSlot(start);
  filter_[slot >> 6] |= uint64_t{1} << (slot & 63);
  forms.push_back({std::move(form), standIn});
}

bool RepeatFinder::Replace(std::string& text, bool inUrl) const {
  if (byStart_.empty() || text.size() < kStart) return false;
  std::string out;
  size_t done = 0;
  for (size_t at = 0; at + kStart <= text.size();) {
    uint64_t start = StartOf(text.data() + at);
    size_t slot = FilterSlot(start);
    const Form* best = nullptr;
    if (filter_[slot >> 6] >> (slot & 63) & 1) {
      auto found = byStart_.find(start);
      if (found != byStart_.end())
        for (const Form& f : found->second)
          if (text.compare(at, f.text.size(), f.text) == 0 && (!best || f.text.size() > best->text.size())) best = &f;
    }
    if (!best) {
      ++at;
      continue;
    }
    out.append(text, done, at - done).append(inUrl ? PercentEncoded(*best->standIn) : *best->standIn);
    at += best->text.size();
    done = at;
  }
  if (done == 0) return false;
  out.append(text, done);
  text = std::move(out);
  return true;
}

}  // namespace ds
