#include "compare/item_report.h"

#include "compare/base64_shape.h"
#include "compare/texts.h"
#include "items/percent_decode.h"
#include "items/sentence.h"

namespace ds {
namespace {

constexpr std::string_view kCrLf = "\r\n";

const char* YesNo(bool yes) { return yes ? texts::kYes : texts::kNo; }

Text ReportText(std::string_view v1, std::string_view v2, std::string_view modeWord) {
  return FillIn(texts::kReport, {{"length1", ToText(static_cast<long long>(v1.size()))},
                                 {"length2", ToText(static_cast<long long>(v2.size()))},
                                 {"base64_1", YesNo(LooksLikeBase64(v1))},
                                 {"base64_2", YesNo(LooksLikeBase64(v2))},
                                 {"url1", YesNo(IsPercentEncoded(v1))},
                                 {"url2", YesNo(IsPercentEncoded(v2))},
                                 {"mode", modeWord},
                                 {"same", v1 == v2 ? texts::kSame : texts::kDifferent}});
}

// With CR LF as the line separator the pair would carry two empty lines.
Text CollapseDoubleLineBreaks(Text content) {
  if (content.find("\r\n\r\n\r\n") == Text::npos) return content;
  return Replace(content, "\r\n\r\n", "\r\n");
}

}  // namespace

Text SlotTextItem(std::string_view name, std::string_view value, const Separators& separators) {
  Text out;
  AppendSlotTextItem(out, name, value, separators);
  return out;
}

void AppendSlotTextItem(Text& out, std::string_view name, std::string_view value, const Separators& separators) {
  out.append(name).append(separators.value).append(value).append(separators.line);
}

Text DifferenceContent(const Row* slot1Row, const Row* slot2Row, std::string_view valueSeparator) {
  auto line = [&](const Row* row) {
    return row ? Text(row->Cell(1)).append(valueSeparator).append(row->Cell(2)) : Text(valueSeparator);
  };
  return line(slot1Row) + "\r\n\r\n" + line(slot2Row) + "\r\n";
}

Text DifferenceRowContent(const Row& row, const Separators& separators) {
  return SlotTextItem(row.Cell(1), row.Cell(2), separators) + "\r\n\r\n" +
         SlotTextItem(row.Cell(1), row.Cell(3), separators);
}

ItemReporter::ItemReporter(const RowTable& other, const NameRule& rule)
    : other_(other), rule_(rule), names_(PrepareNames(other, rule)), finder_(names_.names, rule.exact, kReportFuzzyMatch) {}

ItemReport ItemReporter::Report(const Row* item, Slot side, const Separators& separators,
                                std::string_view modeWord) const {
  ItemReport out;
  if (other_.rows.empty()) return out;
  out.shown = true;
  Text name(item ? item->Cell(1) : std::string_view());
  Text value(item ? item->Cell(2) : std::string_view());
  out.counterpart = finder_.Find(PrepareName(name, rule_));

  if (out.counterpart < 0) {
    out.report = FillIn(texts::kNoCounterpart, {{"mode", modeWord}, {"other", SlotLabel(Other(side))}});
    out.content = SlotTextItem(name, value, separators);
    if (separators.line != kCrLf) out.content += kCrLf;
    if (out.content == "=;\r\n") out.content.clear();
    return out;
  }

  const Row& match = other_.rows[static_cast<size_t>(out.counterpart)];
  std::string_view n1 = side == Slot::k1 ? std::string_view(name) : match.Cell(1);
  std::string_view v1 = side == Slot::k1 ? std::string_view(value) : match.Cell(2);
  std::string_view n2 = side == Slot::k1 ? match.Cell(1) : std::string_view(name);
  std::string_view v2 = side == Slot::k1 ? match.Cell(2) : std::string_view(value);
  out.content = CollapseDoubleLineBreaks(SlotTextItem(n1, v1, separators) + "\r\n\r\n" +
                                         SlotTextItem(n2, v2, separators) + "\r\n");
  out.report = ReportText(v1, v2, modeWord);
  return out;
}

}  // namespace ds
