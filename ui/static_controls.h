// Controls that only show: label, divider line, and the panel, a container
// that paints its own background and passes its children's events on.
#pragma once

#include "ui/control.h"

namespace ui {

class Label : public Control {
 public:
  bool Create(const CreateArgs& args) { return CreateWindowOf(L"STATIC", args, SS_LEFT | SS_NOPREFIX); }
};

class Divider : public Control {
 public:
  bool Create(const CreateArgs& args) { return CreateWindowOf(L"STATIC", args, SS_GRAYRECT); }
};

class Panel : public Control {
 public:
  ~Panel() override;
  bool Create(const CreateArgs& args);
  void SetBackground(COLORREF colour);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  HBRUSH brush_ = nullptr;
};

}  // namespace ui
