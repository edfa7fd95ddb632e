// The system's Save As dialog behind a hook: tests answer it from a script,
// so no window test can hang on a dialog nobody sees.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace ui {

struct SaveRequest {
  std::string title;          // GBK
  std::wstring suggestedName;  // the file name offered
  std::wstring filterName;     // "HAR文件 (*.har)"
  std::wstring filterPattern;  // "*.har"
  std::wstring extension;      // added when the name typed has none: "har"
};

// The path chosen, or none when the dialog was left.
std::optional<std::wstring> AskWhereToSave(HWND owner, const SaveRequest& request);

// While set, AskWhereToSave asks the hook instead of showing the dialog.
using SaveHook = std::function<std::optional<std::wstring>(const SaveRequest&)>;
void SetSaveHook(SaveHook hook);

}  // namespace ui
