// The main window as designed: one row per control, in creation order. A row
// names its control through a typed member, so its kind follows from the
// control's own type, and carries the control's place in the layout table.
#pragma once

#include <span>
#include <variant>
#include <vector>

#include "app/main_controls.h"
#include "ui/window.h"

namespace app {

enum class Container { kWindow, kLeftPanel, kRightPanel };

struct ColumnDesign {
  const char* title;  // GBK
  int width;
};

template <typename T>
using Member = T MainControls::*;
using ControlMember = std::variant<Member<ui::Panel>, Member<ui::Button>, Member<ui::CheckBox>, Member<ui::Divider>,
                                   Member<ui::Label>, Member<ui::StatusBar>, Member<ui::EditBox>, Member<ui::ListView>>;

struct ControlDesign {
  ControlMember member;
  const char* formName;  // the control's name in the window design (UTF-8)
  Container container;
  ui::Rect bounds;
  bool shown;
  const char* text;    // GBK design text
  int layoutPosition;  // 1-based place in the layout table; 0: not laid out
  bool multiline = false;                     // edit boxes
  std::span<const ColumnDesign> columns = {};  // list views
  bool readOnly = false;                       // edit boxes the user reads but does not type in

  ui::Control& Of(MainControls& c) const {
    return std::visit([&c](auto m) -> ui::Control& { return c.*m; }, member);
  }
};

constexpr int kDesignLeft = 50;
constexpr int kDesignTop = 50;
constexpr int kDesignWidth = 822;
constexpr int kDesignHeight = 581;
// Full mode's size, as the compact toggle sets it.
constexpr int kFullWidth = 830;
constexpr int kFullHeight = 590;

std::span<const ControlDesign> MainWindowDesign();

// The controls of the layout table, in its order.
std::vector<ui::Control*> LaidOutControls(MainControls& c);

// A designed rectangle on a screen of `dpi`.
ui::Rect ScaledToDpi(const ui::Rect& designed, int dpi);

// A secondary window as designed: at (50, 50), owned by the main window, and
// scaled to the owner's DPI.
ui::Window::Args SecondaryWindowDesign(const char* title, int width, int height, HWND owner, DWORD style);

}  // namespace app
