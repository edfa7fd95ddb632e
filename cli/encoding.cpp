#include "cli/encoding.h"

#include "items/text.h"
#include "platform/codepage.h"

namespace cli {
namespace {

using ds::platform::kCodePageGbk;
using ds::platform::kCodePageUtf8;

constexpr char16_t kReplacement = 0xFFFD;

// Converts a UTF-8 piece; false when it is not valid UTF-8 or holds a
// character code page 936 does not have.
bool ToGbk(std::string_view utf8, std::string* out) {
  std::u16string wide = ds::platform::ToUtf16(utf8, kCodePageUtf8);
  if (wide.find(kReplacement) != std::u16string::npos) return false;
  bool defaulted = false;
  *out = ds::platform::FromUtf16(wide, kCodePageGbk, &defaulted);
  return !defaulted;
}

// ASCII reads the same in both encodings: most of what passes through.
bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The converter maps the bytes and maps them back unchanged.
bool HoldsAsGbk(std::string_view gbk) {
  bool defaulted = false;
  return ds::platform::FromUtf16(ds::platform::ToUtf16(gbk, kCodePageGbk), kCodePageGbk, &defaulted) == gbk &&
         !defaulted;
}

std::optional<size_t> FirstNonGbk(std::string_view bytes) {
  size_t end = 0;  // the well-formed start
  while (end < bytes.size()) {
    size_t n = GbkCharLength(bytes, end);
    if (n == 0) break;
    end += n;
  }
  // One conversion of the whole text; character by character only to find
  // the offset.
  if (HoldsAsGbk(bytes.substr(0, end))) return end < bytes.size() ? std::optional<size_t>(end) : std::nullopt;
  for (size_t i = 0; i < end; i += GbkCharLength(bytes, i))
    if (!HoldsAsGbk(bytes.substr(i, GbkCharLength(bytes, i)))) return i;
  return end;
}

size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

Decoded DecodeInput(std::string_view bytes, Encoding encoding) {
  Decoded out;
  if (encoding == Encoding::kGbk) {
    if (!IsAscii(bytes)) out.badOffset = FirstNonGbk(bytes);
    if (!out.badOffset) out.gbk.assign(bytes);
    return out;
  }
  // A byte order mark is an editor's signature, not data; offsets still
  // count from the start of the file.
  size_t skipped = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  bytes.remove_prefix(skipped);
  if (IsAscii(bytes)) {
    out.gbk.assign(bytes);
    return out;
  }
  if (ToGbk(bytes, &out.gbk)) return out;
  // Find the first character that failed, for the error message.
  std::string piece;
  for (size_t i = 0; i < bytes.size();) {
    size_t n = std::min(Utf8SequenceLength(static_cast<unsigned char>(bytes[i])), bytes.size() - i);
    if (!ToGbk(bytes.substr(i, n), &piece)) {
      out.badOffset = skipped + i;
      return out;
    }
    i += n;
  }
  out.badOffset = skipped;
  return out;
}

size_t GbkCharLength(std::string_view text, size_t i) {
  unsigned char b = static_cast<unsigned char>(text[i]);
  if (b <= 0x80) return 1;  // ASCII, and 0x80 the euro sign
  if (!ds::IsLeadByte(b) || i + 1 == text.size()) return 0;
  unsigned char trail = static_cast<unsigned char>(text[i + 1]);
  return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 0;
}

std::string EncodeOutput(std::string_view gbk, Encoding encoding) {
  if (encoding == Encoding::kGbk || IsAscii(gbk)) return std::string(gbk);
  // Line by line in pieces of some 64 KB: the wide copy of a whole output
  // would be twice its size again.
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  while (!gbk.empty()) {
    size_t cut = gbk.find('\n', 65536);
    cut = cut == std::string_view::npos ? gbk.size() : cut + 1;
    out += ds::platform::FromUtf16(ds::platform::ToUtf16(gbk.substr(0, cut), kCodePageGbk), kCodePageUtf8);
    gbk.remove_prefix(cut);
  }
  return out;
}

std::string WindowsLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}

Encoding ConsoleEncoding(std::string_view codeset) {
  std::string upper;
  for (char c : codeset)
    if (c != '-' && c != '_') upper.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  for (const char* gbk : {"GBK", "GB2312", "GB18030", "CP936", "EUCCN"})
    if (upper == gbk) return Encoding::kGbk;
  return Encoding::kUtf8;
}

}  // namespace cli
