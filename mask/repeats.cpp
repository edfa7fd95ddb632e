#include "mask/repeats.h"

#include <algorithm>
#include <cctype>
#include <functional>

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
  if (form.size() < kStart || forms_.count(form)) return;
  const std::string& text = texts_.emplace_back(std::move(form));
  forms_.emplace(text, standIn);
  uint64_t start = StartOf(text.data());
  std::vector<size_t>& lengths = lengths_[start];
  auto place = std::lower_bound(lengths.begin(), lengths.end(), text.size(), std::greater<>());
  if (place == lengths.end() || *place != text.size()) lengths.insert(place, text.size());
  size_t slot = FilterSlot(start);
  filter_[slot >> 6] |= uint64_t{1} << (slot & 63);
}

bool RepeatFinder::Replace(std::string& text, bool inUrl) const {
  if (forms_.empty() || text.size() < kStart) return false;
  std::string out;
  size_t done = 0;
  for (size_t at = 0; at + kStart <= text.size();) {
    uint64_t start = StartOf(text.data() + at);
    size_t slot = FilterSlot(start);
    const std::string* standIn = nullptr;
    size_t length = 0;
    if (filter_[slot >> 6] >> (slot & 63) & 1) {
      auto lengths = lengths_.find(start);
      if (lengths != lengths_.end())
        for (size_t n : lengths->second) {
          if (at + n > text.size()) continue;
          auto found = forms_.find(std::string_view(text).substr(at, n));
          if (found == forms_.end()) continue;
          standIn = found->second;
          length = n;
          break;
        }
    }
    if (!standIn) {
      ++at;
      continue;
    }
    out.append(text, done, at - done).append(inUrl ? PercentEncoded(*standIn) : *standIn);
    at += length;
    done = at;
  }
  if (done == 0) return false;
  out.append(text, done);
  text = std::move(out);
  return true;
}

}  // namespace ds
