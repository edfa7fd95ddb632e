// Push button and check box. An auto check box has toggled by the time
// onClick runs (BM_CLICK included); SetChecked runs no handler.
#pragma once

#include "ui/control.h"

namespace ui {

class Button : public Control {
 public:
  bool Create(const CreateArgs& args) { return CreateWindowOf(L"BUTTON", args, WS_TABSTOP | BS_PUSHBUTTON); }
  void Click() { SendMessageW(hwnd(), BM_CLICK, 0, 0); }

  std::function<void()> onClick;
  void OnCommand(UINT code) override {
    if (code == BN_CLICKED && onClick) onClick();
  }
};

class CheckBox : public Button {
 public:
  bool Create(const CreateArgs& args) { return CreateWindowOf(L"BUTTON", args, WS_TABSTOP | BS_AUTOCHECKBOX); }
  bool IsChecked() const { return SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(bool checked) { SendMessageW(hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }
};

}  // namespace ui
