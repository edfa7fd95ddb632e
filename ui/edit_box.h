// Edit box. Setting the text from the program runs onChange exactly once,
// nested inside SetText, as a user edit would; the control's own EN_CHANGE
// is swallowed meanwhile (a multi-line edit sends none, a one-line one does).
#pragma once

#include "ui/control.h"

namespace ui {

class EditBox : public Control {
 public:
  struct Args : CreateArgs {
    bool multiline = false;
    bool readOnly = false;
  };

  bool Create(const Args& args);
  bool SetText(std::string_view gbk) override;

  void Select(int start, int end);  // character positions; (0, -1) selects all
  void SelectAll() { Select(0, -1); }
  void GetSelection(int* start, int* end) const;
  void SetCaret(int position) { Select(position, position); }
  void SetReadOnly(bool readOnly);
  void ReplaceSelection(std::string_view gbk);  // as typing or pasting does

  std::function<void()> onChange;

  void OnCommand(UINT code) override;

 private:
  bool settingText_ = false;
};

}  // namespace ui
