// Message boxes behind a hook: tests answer them from a script, so no window
// test can hang on a box nobody sees.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ui {

enum class MessageButtons { kOk, kYesNo };
enum class MessageIcon { kNone, kExclamation, kInformation };
enum class MessageAnswer { kOk, kYes, kNo };

struct MessageRequest {
  std::string text;   // GBK
  std::string title;  // GBK
  MessageButtons buttons = MessageButtons::kOk;
  MessageIcon icon = MessageIcon::kNone;
  bool systemModal = true;
};

MessageAnswer ShowMessage(HWND owner, const MessageRequest& request);

// While set, ShowMessage asks the hook instead of showing a box.
using MessageHook = std::function<MessageAnswer(const MessageRequest&)>;
void SetMessageHook(MessageHook hook);

}  // namespace ui
