// The detail window: the content box's text in a large box laid over the main
// window. Created hidden once; closing it only hides it.
#pragma once

#include "ui/buttons.h"
#include "ui/edit_box.h"
#include "ui/window.h"

namespace app {

class DetailWindow : public ui::Window {
 public:
  bool Create(HWND owner);

  // Where it lies over the main window: `mainBounds` is the main window's
  // rectangle on the screen; the created and shown variants differ in height.
  void Place(const RECT& mainBounds, int height, std::string_view text);
  bool IsShown() const { return IsWindowVisible(hwnd()) != FALSE; }

  ui::EditBox detailBox;
  ui::Button closeButton;
  std::function<void()> onKeyEscape;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void PlaceCloseButton();
};

}  // namespace app
