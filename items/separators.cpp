#include "items/separators.h"

#include "items/texts.h"

namespace ds {
namespace {

constexpr std::string_view kCrLf = "\r\n";

const char* DefaultSeparator(SeparatorKind kind) { return kind == SeparatorKind::kLine ? ";" : "="; }

}  // namespace

Text SeparatorFromSetting(SeparatorKind kind, std::string_view value) {
  if (value.empty()) return DefaultSeparator(kind);
  if (value == texts::kLineBreakWord) return Text(kCrLf);
  return Text(value);
}

SeparatorCommit CommitSeparator(SeparatorKind kind, std::string_view boxText) {
  SeparatorCommit commit;
  if (boxText == kCrLf) {
    commit.boxText = texts::kLineBreakWord;
    boxText = texts::kLineBreakWord;
  }
  commit.inForce = SeparatorFromSetting(kind, boxText);
  commit.stored = boxText.empty() ? Text(DefaultSeparator(kind)) : Text(boxText);
  return commit;
}

Separators DefaultSeparators(AnalysisMode mode) {
  SeparatorBoxes boxes = DefaultSeparatorBoxes(mode);
  return {SeparatorFromSetting(SeparatorKind::kLine, boxes.line), SeparatorFromSetting(SeparatorKind::kValue, boxes.value)};
}

const char* SeparatorSettingKey(SeparatorKind kind) {
  return kind == SeparatorKind::kLine ? texts::kLineSeparatorKey : texts::kValueSeparatorKey;
}

}  // namespace ds
