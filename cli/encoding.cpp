#include "cli/encoding.h"

#include "items/text.h"
#include "platform/codepage.h"

namespace cli {
namespace {

using ds::platform::kCodePageGbk;
using ds::platform::kCodePageUtf8;
using ds::IsAscii;

}  // namespace

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

Encoding ConsoleEncoding(std::string_view codeset) {
  std::string upper;
  for (char c : codeset)
    if (c != '-' && c != '_') upper.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  for (const char* gbk : {"GBK", "GB2312", "GB18030", "CP936", "EUCCN"})
    if (upper == gbk) return Encoding::kGbk;
  return Encoding::kUtf8;
}

}  // namespace cli
