#include "app/message_boxes.h"

namespace app {

void ShowRefusal(HWND owner, std::string_view text, std::string_view title) {
  ui::ShowMessage(owner, {std::string(text), std::string(title), ui::MessageButtons::kOk,
                          ui::MessageIcon::kExclamation, true});
}

bool AskYesNo(HWND owner, std::string_view text, std::string_view title) {
  return ui::ShowMessage(owner, {std::string(text), std::string(title), ui::MessageButtons::kYesNo,
                                 ui::MessageIcon::kExclamation, true}) == ui::MessageAnswer::kYes;
}

}  // namespace app
