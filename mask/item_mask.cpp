#include "mask/item_mask.h"

#include <algorithm>

#include "import/text_decode.h"
#include "items/percent_decode.h"
#include "platform/codepage.h"

namespace ds {
namespace {

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  return platform::FromUtf16(platform::ToUtf16(gbk, platform::kCodePageGbk), platform::kCodePageUtf8);
}

}  // namespace

void MaskItemRows(std::vector<Row>& rows, AnalysisMode mode, const SecretRule& rule) {
  for (Row& row : rows) {
    std::string name = GbkToUtf8(row.Cell(1)), value = GbkToUtf8(row.Cell(2));
    std::string masked = mode == AnalysisMode::kCookies ? (rule.IsKept(name) ? value : rule.Mask(value))
                                                        : MaskHeaderValue(name, value, rule);
    if (masked != value) row.SetCell(2, IsAscii(masked) ? masked : Utf8ToGbk(masked));
  }
}

void MaskExportTarget(ExportTarget& target, const SecretRule& rule) {
  target.url = MaskUrl(target.url, rule);
  if (target.body) *target.body = MaskBody(*target.body, {}, rule);
}

}  // namespace ds
