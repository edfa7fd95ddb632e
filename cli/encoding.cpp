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
  return ds::platform::FromUtf16(ds::platform::ToUtf16(gbk, kCodePageGbk), kCodePageUtf8);
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
