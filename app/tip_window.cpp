#include "app/tip_window.h"

#include "app/image_scale.h"
#include "app/main_window_design.h"
#include "app/png_image.h"
#include "app/texts.h"
#include "app/tip_pictures.h"
#include "ui/buttons.h"
#include "ui/dpi.h"
#include "ui/picture_box.h"
#include "ui/static_controls.h"
#include "ui/window.h"

namespace app {
namespace {

ui::CreateArgs At(HWND parent, ui::Rect bounds, const char* text) {
  ui::CreateArgs a;
  a.parent = parent;
  a.bounds = bounds;
  a.text = text;
  return a;
}

class TipWindow : public ui::Window {
 public:
  bool Create(HWND owner) {
    if (!Window::Create(SecondaryWindowDesign(texts::kTipCaption, 596, 387, owner,
                                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU)))
      return false;
    HWND self = hwnd();
    int dpi = ui::DpiOf(self);
    auto at = [self, dpi](ui::Rect designed, const char* text) { return At(self, ScaledToDpi(designed, dpi), text); };
    bool ok = thanks_.Create(at({149, 18, 322, 53}, texts::kTipThanks)) &&
              caption1_.Create(at({87, 327, 116, 21}, texts::kTipCaption1)) &&
              caption2_.Create(at({387, 327, 114, 21}, texts::kTipCaption2)) &&
              picture1_.Create(at({15, 65, 260, 260}, "")) && picture2_.Create(at({314, 65, 260, 260}, "")) &&
              button_.Create(at({235, 325, 120, 27}, texts::kTipButton));
    if (!ok) return false;
    if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(owner, WM_GETFONT, 0, 0)))
      for (ui::Control* c : {static_cast<ui::Control*>(&thanks_), static_cast<ui::Control*>(&caption1_),
                             static_cast<ui::Control*>(&caption2_), static_cast<ui::Control*>(&button_)})
        c->SetFont(font);
    LoadPicture(picture1_, FirstTipPicture());
    LoadPicture(picture2_, SecondTipPicture());
    button_.onClick = [this] { DestroyWindow(hwnd()); };
    return true;
  }

 private:
  static void LoadPicture(ui::PictureBox& box, const std::vector<uint8_t>& png) {
    std::optional<Image> image = DecodePng(png.data(), png.size());
    if (!image) return;
    // Scaled here, not by the stretch in the paint: Wine's draws steps.
    ui::Rect r = box.Bounds();
    Image shown = ScaleImage(*image, r.width, r.height);
    box.SetPixels(shown.width, shown.height, shown.bgra);
  }

  ui::Label thanks_, caption1_, caption2_;
  ui::PictureBox picture1_, picture2_;
  ui::Button button_;
};

}  // namespace

void ShowTipWindow(HWND owner) {
  TipWindow tip;
  if (!tip.Create(owner)) return;
  ui::KeepInsideWorkArea(tip.hwnd());
  ui::RunModal(tip.hwnd(), owner);
}

}  // namespace app
