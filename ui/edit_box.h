// Edit box. Setting the text from the program runs onChange exactly once,
// nested inside SetText, as a user edit would; the control's own EN_CHANGE
// is swallowed meanwhile (a multi-line edit sends none, a one-line one does).
// Selecting all while a click gives the box the focus holds when the click
// ends: the caret placement and any drag of that click do not undo it.
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
  void PutCaretAtEnd();                          // and scrolls it into view
  // For texts of many lines, which an edit control lays out line by line:
  // shows the end at once with the caret there, then puts the lines before it
  // in while the window is idle. Reading the text, or any input to the box,
  // first puts in the rest. A short text is set at once like SetText.
  void SetTextShowingEnd(std::string_view gbk);
  void ScrollToLastLine();
  // The whole line that holds the start of the selection, however long.
  std::string CaretLineText() const;
  bool Filling() const { return !headToFill_.empty(); }
  void FinishFilling();

  std::function<void()> onChange;

  // Files dropped on the box, once AcceptFiles() has opened it to drops: the
  // first file's name.
  void AcceptFiles();
  std::function<void(const std::wstring& path)> onFileDrop;

  void OnCommand(UINT code) override;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool settingText_ = false;
  bool pressing_ = false;     // inside the control's handling of a left press
  bool buttonDown_ = false;
  bool selectAllOnRelease_ = false;
  std::wstring headToFill_;  // the text's start, not yet in the control
  bool puttingPiece_ = false;
  bool verticalBar_ = false;

  void PutFresh(const std::wstring& text);
  bool ShowsAllAndFits(std::wstring_view text) const;

  bool ShowsAsSetFresh(const std::wstring& text) const;
  void PutBefore(const std::wstring& piece);
  void StopFilling();
};

}  // namespace ui
