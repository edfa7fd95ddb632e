#include "items/analysis_mode.h"

#include "items/texts.h"

namespace ds {

const char* ModeWord(AnalysisMode mode) {
  return mode == AnalysisMode::kHttp ? texts::kModeWordHttp : texts::kModeWordCookies;
}

SeparatorBoxes DefaultSeparatorBoxes(AnalysisMode mode) {
  if (mode == AnalysisMode::kHttp) return {texts::kLineBreakWord, ":"};
  return {";", "="};
}

AnalysisMode ModeFromSetting(std::string_view stored) {
  return stored == "2" ? AnalysisMode::kHttp : AnalysisMode::kCookies;
}

const char* ModeSetting(AnalysisMode mode) { return mode == AnalysisMode::kHttp ? "2" : "1"; }

}  // namespace ds
