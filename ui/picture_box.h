// Picture box: shows a bitmap scaled to the control's size.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/control.h"

namespace ui {

class PictureBox : public Control {
 public:
  ~PictureBox() override;
  bool Create(const CreateArgs& args);
  // Top-down 32-bit BGRA pixels.
  bool SetPixels(int width, int height, const std::vector<uint8_t>& bgra);
  bool HasPicture() const { return bitmap_ != nullptr; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  HBITMAP bitmap_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace ui
