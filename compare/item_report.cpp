#include "compare/item_report.h"

#include "compare/base64_shape.h"
#include "compare/texts.h"
#include "items/percent_decode.h"

namespace ds {
namespace {

constexpr std::string_view kCrLf = "\r\n";

const char* YesNo(bool yes) { return yes ? texts::kYes : texts::kNo; }

Text ReportText(std::string_view v1, std::string_view v2, std::string_view modeWord) {
  auto length = [](std::string_view v) { return ToText(static_cast<long long>(v.size())); };
  Text r;
  r += texts::kLength1 + length(v1) + "\r\n";
  r += texts::kLength2 + length(v2) + "\r\n\r\n";
  r += texts::kBase64Of1 + Text(YesNo(LooksLikeBase64(v1))) + "\r\n";
  r += texts::kBase64Of2 + Text(YesNo(LooksLikeBase64(v2))) + "\r\n\r\n";
  r += texts::kUrlOf1 + Text(YesNo(IsPercentEncoded(v1))) + "\r\n";
  r += texts::kUrlOf2 + Text(YesNo(IsPercentEncoded(v2))) + "\r\n\r\n";
  r += texts::kCompare + Text(modeWord) + (v1 == v2 ? texts::kValuesSame : texts::kValuesDiffer);
  return r;
}

// With CR LF as the line separator the pair would carry two empty lines.
Text CollapseDoubleLineBreaks(Text content) {
  if (content.find("\r\n\r\n\r\n") == Text::npos) return content;
  return Replace(content, "\r\n\r\n", "\r\n");
}

}  // namespace

Text SlotTextItem(std::string_view name, std::string_view value, const Separators& separators) {
  return Text(name) + separators.value + Text(value) + separators.line;
}

Text DifferenceContent(const Row* slot1Row, const Row* slot2Row, std::string_view valueSeparator) {
  auto line = [&](const Row* row) {
    return row ? row->Cell(1) + Text(valueSeparator) + row->Cell(2) : Text(valueSeparator);
  };
  return line(slot1Row) + "\r\n\r\n" + line(slot2Row) + "\r\n";
}

ItemReporter::ItemReporter(const RowTable& other, const NameRule& rule)
    : other_(other), rule_(rule), names_(PrepareNames(other, rule)), finder_(names_, rule.exact, FuzzyMatch::kAnywhere) {}

ItemReport ItemReporter::Report(const Row* item, int side, const Separators& separators,
                                std::string_view modeWord) const {
  ItemReport out;
  if (other_.rows.empty()) return out;
  out.shown = true;
  Text name = item ? item->Cell(1) : Text();
  Text value = item ? item->Cell(2) : Text();
  out.counterpart = finder_.Find(PrepareName(name, rule_));

  if (out.counterpart < 0) {
    out.report = Text(modeWord) + (side == 1 ? texts::kNoneInSlot2 : texts::kNoneInSlot1) + Text(modeWord) +
                 texts::kItems;
    out.content = SlotTextItem(name, value, separators);
    if (separators.line != kCrLf) out.content += kCrLf;
    if (out.content == "=;\r\n") out.content.clear();
    return out;
  }

  const Row& match = other_.rows[static_cast<size_t>(out.counterpart)];
  const Text& n1 = side == 1 ? name : match.Cell(1);
  const Text& v1 = side == 1 ? value : match.Cell(2);
  const Text& n2 = side == 1 ? match.Cell(1) : name;
  const Text& v2 = side == 1 ? match.Cell(2) : value;
  out.content = CollapseDoubleLineBreaks(SlotTextItem(n1, v1, separators) + "\r\n\r\n" +
                                         SlotTextItem(n2, v2, separators) + "\r\n");
  out.report = ReportText(v1, v2, modeWord);
  return out;
}

}  // namespace ds
