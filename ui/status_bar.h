// Status bar with a single part spanning the bar.
#pragma once

#include "ui/control.h"

namespace ui {

class StatusBar : public Control {
 public:
  bool Create(const CreateArgs& args);
  bool SetText(std::string_view gbk) override;
  std::string GetText() const override;
};

}  // namespace ui
