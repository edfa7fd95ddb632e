#include "cli/encoding.h"

#include <cstdint>
#include <cstdio>

#include "items/text.h"
#include "platform/codepage.h"

namespace cli {
namespace {

using ds::platform::kCodePageGbk;
using ds::platform::kCodePageUtf8;
using ds::IsAscii;

std::string Utf8Of(std::string_view gbk) {
  return ds::platform::FromUtf16(ds::platform::ToUtf16(gbk, kCodePageGbk), kCodePageUtf8);
}

}  // namespace

std::string EncodeOutput(std::string_view gbk, Encoding encoding) { return OutputEncoder(encoding)(gbk); }

std::string OutputEncoder::operator()(std::string_view gbk) {
  if (encoding_ == Encoding::kGbk || IsAscii(gbk)) return std::string(gbk);
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  Append(gbk, out);
  return out;
}

void OutputEncoder::Append(std::string_view gbk, std::string& out) {
  if (encoding_ == Encoding::kGbk) {
    out += gbk;
    return;
  }
  // Only the stretches around bytes above 0x7F go through the code page; an
  // ASCII byte that follows an ASCII byte always starts a character of its
  // own, so the text is cut only there and reads the same as whole. A long
  // stretch is cut after a line break too: its wide copy would be twice its
  // size again.
  size_t i = 0, n = gbk.size();
  auto ascii = [&](size_t at) { return static_cast<unsigned char>(gbk[at]) < 0x80; };
  while (i < n) {
    // Here the text starts or an ASCII byte follows another: plain up to the
    // next byte above 0x7F.
    size_t plain = i;
    while (i < n && ascii(i)) ++i;
    out.append(gbk, plain, i - plain);
    size_t mixed = i;
    while (i < n && !(ascii(i) && ascii(i - 1)) && !(i - mixed >= 65536 && gbk[i - 1] == '\n')) ++i;
    if (i > mixed) AppendConverted(gbk.substr(mixed, i - mixed), out);
  }
}

// A stretch reads the same wherever it stands, so a kept conversion is exact.
void OutputEncoder::AppendConverted(std::string_view stretch, std::string& out) {
  constexpr size_t kShort = 32;
  if (stretch.size() > kShort) {
    out += Utf8Of(stretch);
    return;
  }
  uint32_t hash = 2166136261u;  // FNV-1a: a few multiplies for a short stretch
  for (char c : stretch) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  Known& place = known_[hash % known_.size()];
  if (place.gbk != stretch) {
    place.utf8 = Utf8Of(stretch);
    place.gbk.assign(stretch);
  }
  out += place.utf8;
}

Encoding ConsoleEncoding(std::string_view codeset) {
  std::string upper;
  for (char c : codeset)
    if (c != '-' && c != '_') upper.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  for (const char* gbk : {"GBK", "GB2312", "GB18030", "CP936", "EUCCN"})
    if (upper == gbk) return Encoding::kGbk;
  return Encoding::kUtf8;
}

void AppendJsonString(std::string_view utf8, std::string& out) {
  out.push_back('"');
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out.append(escaped);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  out.push_back('"');
}

}  // namespace cli
