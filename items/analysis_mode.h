// The two analysis modes: the word that names the data in captions and
// messages, and the separators a mode puts into the separator boxes.
#pragma once

#include <string_view>

namespace ds {

enum class AnalysisMode { kCookies = 1, kHttp = 2 };

const char* ModeWord(AnalysisMode mode);  // "Cookies" or "Http协议"

// As typed into the boxes: the word 换行 stands for CR LF.
struct SeparatorBoxes {
  const char* line;
  const char* value;
};
SeparatorBoxes DefaultSeparatorBoxes(AnalysisMode mode);

// The stored "分析项目": "2" selects HTTP, anything else Cookies.
AnalysisMode ModeFromSetting(std::string_view stored);
const char* ModeSetting(AnalysisMode mode);

}  // namespace ds
