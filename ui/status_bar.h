// Status bar with a single part spanning the bar. The control shows one line,
// so the wrapper keeps the exact text it was given for whoever reads it back.
#pragma once

#include "ui/control.h"

namespace ui {

class StatusBar : public Control {
 public:
  bool Create(const CreateArgs& args);
  bool SetText(std::string_view gbk) override;
  std::string GetText(bool* complete = nullptr) const override {
    if (complete) *complete = true;
    return text_;
  }

 private:
  std::string text_;
};

}  // namespace ui
