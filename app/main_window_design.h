// The main window as designed: one row per control, in creation order.
#pragma once

#include <span>
#include <vector>

#include "app/main_controls.h"
#include "ui/window.h"

namespace app {

enum class ControlKind { kPanel, kButton, kCheckBox, kDivider, kEditBox, kMultilineEditBox, kListView, kLabel, kStatusBar };
enum class Container { kWindow, kLeftPanel, kRightPanel };

struct ControlDesign {
  ControlKind kind;
  const char* formName;  // the control's name in the window design (UTF-8)
  Container container;
  ui::Rect bounds;
  bool shown;
  const char* text;  // GBK design text
  ui::Control& (*control)(MainControls&);
};

constexpr int kDesignLeft = 50;
constexpr int kDesignTop = 50;
constexpr int kDesignWidth = 822;
constexpr int kDesignHeight = 581;

std::span<const ControlDesign> MainWindowDesign();

// A secondary window as designed: at (50, 50), owned by the main window.
ui::Window::Args SecondaryWindowDesign(const char* title, int width, int height, HWND owner, DWORD style);

// Design columns of each list.
std::vector<ui::Column> ItemListColumns(int slot);
std::vector<ui::Column> MissingListColumns();
std::vector<ui::Column> DifferenceListColumns();

}  // namespace app
