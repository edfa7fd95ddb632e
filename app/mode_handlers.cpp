#include "app/mode_handlers.h"

#include "app/layout_handlers.h"
#include "app/mode_texts.h"
#include "app/main_window.h"
#include "app/main_window_design.h"
#include "app/settings.h"
#include "app/slots.h"
#include "app/texts.h"
#include "items/separators.h"
#include "items/texts.h"
#include "ui/dpi.h"

namespace app {
namespace {

constexpr int kCompactWidth = 642;
constexpr int kFullRightPanelLeft = 190;

void MoveLeft(ui::Control& control, int left) { control.Move(left, control.Bounds().y); }

void EnterCompact(MainWindow& window) {
  MainControls& c = window.controls();
  int dpi = window.dpi();
  c.compactToggle.SetText(texts::kCompactToggleCompact);
  c.analyseBarButton.Show(true);
  c.leftPanel.Show(false);
  MoveLeft(c.leftPanel, -c.leftPanel.Bounds().width);
  MoveLeft(c.rightPanel, ui::Scaled(7, dpi));
  window.state().compact = true;
  window.SetWidth(ui::Scaled(kCompactWidth, dpi));
  MoveLeft(c.differenceList, c.splitter.Bounds().x);
  MoveLeft(c.contentBox, c.splitter.Bounds().x);
  WriteSetting(texts::kCompactKey, "yes");
}

void EnterFull(MainWindow& window) {
  MainControls& c = window.controls();
  int dpi = window.dpi();
  c.compactToggle.SetText(texts::kCompactToggleFull);
  c.analyseBarButton.Show(false);
  c.leftPanel.Show(true);
  MoveLeft(c.leftPanel, 0);
  MoveLeft(c.rightPanel, ui::Scaled(kFullRightPanelLeft, dpi));
  window.state().compact = false;
  window.SetSize(ui::Scaled(kFullWidth, dpi), ui::Scaled(kFullHeight, dpi));
  MoveLeft(c.differenceList, c.rightPanel.Bounds().x + ui::Scaled(15, dpi));
  MoveLeft(c.contentBox, c.rightPanel.Bounds().x + ui::Scaled(15, dpi));
  WriteSetting(texts::kCompactKey, "no");
}

void ToggleSteps(MainWindow& window) {
  Layout& layout = window.state().layout;
  layout.Clear();
  layout.suspended = true;
  if (window.state().compact)
    EnterFull(window);
  else
    EnterCompact(window);
  layout.suspended = false;
  RegisterLayout(window);
  window.FitToWorkArea();
}

}  // namespace

void ToggleCompact(MainWindow& window) {
  if (window.CurrentPlacement() != ui::Placement::kMaximised) {
    ToggleSteps(window);
    return;
  }
  ui::RedrawSuspension suspended(window.hwnd());
  window.SetPlacement(ui::Placement::kNormal);
  ToggleSteps(window);
  window.SetPlacement(ui::Placement::kMaximised);
}

void SwitchMode(MainControls& c, AppState& state, ds::AnalysisMode mode) {
  ModeTexts t = TextsOf(mode);
  ds::SeparatorBoxes boxes = ds::DefaultSeparatorBoxes(mode);
  WriteSetting(texts::kModeKey, ds::ModeSetting(mode));
  c.lineSeparatorBox.SetText(boxes.line);
  c.valueSeparatorBox.SetText(boxes.value);
  state.separators = ds::DefaultSeparators(mode);
  c.cookiesModeSwitch.SetChecked(mode == ds::AnalysisMode::kCookies);
  c.httpModeSwitch.SetChecked(mode == ds::AnalysisMode::kHttp);
  state.mode = mode;
  c.analyseButton.SetText(t.analyseCaption);
  c.analyseBarButton.SetText(t.analyseCaption);
  c.slot1Caption.SetText(t.slot1Caption);
  c.slot2Caption.SetText(t.slot2Caption);
  c.differenceCaption.SetText(t.differenceCaption);
  c.contentCaption.SetText(t.contentCaption);
  c.listMenu.SetCaption(MenuId(ds::MenuEntry::kCopySlot1Form), t.copySlot1Menu);
  c.listMenu.SetCaption(MenuId(ds::MenuEntry::kCopySlot2Form), t.copySlot2Menu);
  c.slot1Items.SetColumnTitle(1, t.itemNameColumn);
  c.slot2Items.SetColumnTitle(1, t.itemNameColumn);
  c.slot1Missing.SetColumnTitle(1, t.missingNameColumn);
  c.slot2Missing.SetColumnTitle(1, t.missingNameColumn);
  c.differenceList.SetColumnTitle(1, t.differenceNameColumn);
  for (ds::Slot slot : ds::kSlots) {
    ui::EditBox& input = c.Input(slot);
    if (ds::Find(input.GetText(), ds::texts::kPlaceholderPrefix) != -1)
      input.SetText(ds::PlaceholderText(state.ModeWord(), slot));
  }
  for (ds::Slot slot : ds::kSlots) ParseSlotIntoWindow(c.Input(slot), SlotViewOf(c, slot), state, slot);
}

}  // namespace app
