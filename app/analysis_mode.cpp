#include "app/analysis_mode.h"

#include <climits>

#include "app/texts.h"
#include "items/texts.h"

namespace app {

ModeTexts TextsOf(AnalysisMode mode) {
  bool http = mode == AnalysisMode::kHttp;
  const char* word = http ? ds::texts::kModeWordHttp : ds::texts::kModeWordCookies;
  auto copyMenu = [word](const char* label) {
    return ds::Text(texts::kCopyPrefix) + label + word + texts::kCopyDataSuffix;
  };
  return ModeTexts{
      http ? "2" : "1",
      http ? ds::texts::kLineBreakWord : ";",
      http ? ":" : "=",
      word,
      ds::Text(texts::kAnalysePrefix) + word,
      http ? texts::kSlot1CaptionHttp : texts::kSlot1CaptionCookies,
      http ? texts::kSlot2CaptionHttp : texts::kSlot2CaptionCookies,
      texts::kDifferenceCaption,
      http ? texts::kContentCaptionHttp : texts::kContentCaptionCookies,
      copyMenu(ds::texts::kSlot1Label),
      copyMenu(ds::texts::kSlot2Label),
      http ? texts::kItemNameColumnHttp : texts::kItemNameColumnCookies,
      http ? texts::kMissingNameColumnHttp : texts::kMissingNameColumnCookies,
      http ? texts::kDifferenceNameColumnHttp : texts::kDifferenceNameColumnCookies,
  };
}

AnalysisMode ModeFromSetting(std::string_view stored) {
  return stored == "2" ? AnalysisMode::kHttp : AnalysisMode::kCookies;
}

long long LaunchCounterFromSetting(std::string_view stored) {
  size_t i = 0;
  bool negative = false;
  if (i < stored.size() && (stored[i] == '-' || stored[i] == '+')) negative = stored[i++] == '-';
  if (i >= stored.size() || stored[i] < '0' || stored[i] > '9') return 0;
  // The digits after a decimal point only truncate away.
  long long value = 0;
  for (; i < stored.size() && stored[i] >= '0' && stored[i] <= '9'; ++i) {
    value = value * 10 + (stored[i] - '0');
    if (value > INT_MAX) return negative ? INT_MIN : INT_MAX;
  }
  return negative ? -value : value;
}

}  // namespace app
