#include "ui/message_box.h"

#include "ui/text_convert.h"

namespace ui {
namespace {

MessageHook& Hook() {
  static MessageHook hook;
  return hook;
}

}  // namespace

void SetMessageHook(MessageHook hook) { Hook() = std::move(hook); }

MessageAnswer ShowMessage(HWND owner, const MessageRequest& r) {
  if (Hook()) return Hook()(r);
  UINT flags = r.buttons == MessageButtons::kYesNo ? MB_YESNO : MB_OK;
  if (r.icon == MessageIcon::kExclamation) flags |= MB_ICONEXCLAMATION;
  if (r.icon == MessageIcon::kInformation) flags |= MB_ICONINFORMATION;
  if (r.systemModal) flags |= MB_SYSTEMMODAL;
  std::wstring text = ToWide(r.text).text;
  std::wstring title = ToWide(r.title).text;
  int answer = MessageBoxW(owner, text.c_str(), title.c_str(), flags);
  if (answer == IDYES) return MessageAnswer::kYes;
  if (answer == IDNO) return MessageAnswer::kNo;
  return MessageAnswer::kOk;
}

}  // namespace ui
