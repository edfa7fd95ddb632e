// The input window: a borderless window laid over the lower part of the main
// window, where items are typed to be added and a value is edited. Created
// once and hidden; every way of dismissing it only hides it.
#pragma once

#include <functional>
#include <string_view>

#include "ui/buttons.h"
#include "ui/edit_box.h"
#include "ui/picture_box.h"
#include "ui/static_controls.h"
#include "ui/window.h"

namespace app {

class InputWindow : public ui::Window {
 public:
  enum class Mode { kAdd, kModify };

  bool Create(HWND owner, HFONT font);
  void SetFont(HFONT font);

  // Over the main window from 30 pixels below the splitter bar to its bottom.
  void Place(const RECT& mainBounds, int splitterTop);
  // Shown placed, the entry box focused; the entry box keeps its text.
  void Open(Mode mode, std::string_view prompt, const RECT& mainBounds, int splitterTop);
  void Dismiss();  // hidden, the entry box emptied
  bool IsShown() const { return IsWindowVisible(hwnd()) != FALSE; }

  Mode mode = Mode::kModify;
  ui::PictureBox background;
  ui::EditBox entryBox;
  ui::Label promptLine;
  std::function<void()> onConfirm;  // Enter in the entry box

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace app
