#include "sanitize/item_mask.h"

#include <algorithm>

#include "items/percent_decode.h"
#include "platform/codepage.h"

namespace ds {
namespace {

bool IsAsciiText(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAsciiText(gbk)) return std::string(gbk);
  return platform::FromUtf16(platform::ToUtf16(gbk, platform::kCodePageGbk), platform::kCodePageUtf8);
}

}  // namespace

void MaskItemRows(std::vector<Row>& rows, AnalysisMode mode, const SecretRule& rule) {
  for (Row& row : rows) {
    std::string name = GbkToUtf8(row.Cell(1)), value = GbkToUtf8(row.Cell(2));
    std::string masked = mode == AnalysisMode::kCookies ? (rule.IsKept(name) ? value : rule.Mask(value))
                                                        : MaskHeaderValue(name, value, rule);
    if (masked != value) row.SetCell(2, IsAsciiText(masked) ? masked : Utf8ToGbk(masked));
  }
}

}  // namespace ds
