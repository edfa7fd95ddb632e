#include "app/masking.h"

#include <chrono>
#include <optional>
#include <vector>

#include "app/message_boxes.h"
#include "app/texts.h"
#include "items/sentence.h"
#include "mask/har_sanitize.h"
#include "platform/codepage.h"
#include "platform/file_output.h"
#include "ui/save_dialog.h"
#include "ui/text_convert.h"

namespace app {

const ds::SecretRule* MaskRuleOf(AppState& state) {
  if (!state.maskRule) {
    std::optional<std::string> key = ds::RandomMaskKey();
    if (!key) return nullptr;
    state.maskRule.emplace(std::move(*key), std::vector<std::string>{}, std::vector<std::string>{});
  }
  return &*state.maskRule;
}

void SaveSanitisedHar(HWND owner, AppState& state, std::string_view harUtf8, const std::wstring& suggestedName) {
  const ds::SecretRule* rule = MaskRuleOf(state);
  if (!rule) return ShowRefusal(owner, texts::kNoMaskKey, texts::kSaveSanitisedTitle);
  ui::SaveRequest request{texts::kSaveSanitisedTitle, suggestedName, ui::ToWide(texts::kSanitisedFilter).text, L"*.har",
                          L"har"};
  std::optional<std::wstring> path = ui::AskWhereToSave(owner, request);
  if (!path) return;
  ds::SanitizedHar result =
      ds::SanitizeHarText(harUtf8, *rule, {false, ds::UtcDate(std::chrono::system_clock::now())});
  if (result.error != ds::SanitizeError::kNone)
    return ShowRefusal(owner, ds::SanitizeErrorText(result), texts::kSaveSanitisedTitle);
  std::u16string units(path->begin(), path->end());
  std::string error = ds::platform::WriteFileReplacing(ds::platform::FromUtf16(units, ds::platform::kCodePageUtf8),
                                                       result.text);
  if (error.empty()) return;
  size_t slash = path->find_last_of(L"\\/");
  std::string name = ui::ToGbk(slash == std::wstring::npos ? *path : path->substr(slash + 1)).text;
  ShowRefusal(owner, ds::FillIn(texts::kSaveSanitisedFailed, {{"name", name}, {"reason", error}}),
              texts::kSaveSanitisedTitle);
}

}  // namespace app
