#include "ui/save_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <iterator>

#include "ui/text_convert.h"

namespace ui {
namespace {

SaveHook& Hook() {
  static SaveHook hook;
  return hook;
}

}  // namespace

std::optional<std::wstring> AskWhereToSave(HWND owner, const SaveRequest& request) {
  if (Hook()) return Hook()(request);
  // The filter is pairs of strings, each ended by NUL, and one more NUL.
  std::wstring filter = request.filterName + L'\0' + request.filterPattern + L'\0' + L'\0';
  std::wstring title = ToWide(request.title).text;
  wchar_t path[32768] = L"";
  request.suggestedName.copy(path, std::min(request.suggestedName.size(), std::size(path) - 1));
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = path;
  ofn.nMaxFile = static_cast<DWORD>(std::size(path));
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrDefExt = request.extension.c_str();
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&ofn)) return std::nullopt;
  return std::wstring(path);
}

void SetSaveHook(SaveHook hook) { Hook() = std::move(hook); }

}  // namespace ui
