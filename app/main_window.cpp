#include "app/main_window.h"

#include "app/main_window_design.h"
#include "app/settings.h"
#include "app/texts.h"
#include "compare/analyse_handlers.h"
#include "items/separators.h"
#include "items/slot_handlers.h"
#include "ui/text_convert.h"

namespace app {
namespace {

constexpr COLORREF kPanelColour = RGB(241, 241, 241);

HWND ContainerHandle(MainWindow& window, Container container) {
  switch (container) {
    case Container::kLeftPanel:
      return window.controls().leftPanel.hwnd();
    case Container::kRightPanel:
      return window.controls().rightPanel.hwnd();
    case Container::kWindow:
      break;
  }
  return window.hwnd();
}

std::vector<ui::Column> ColumnsFor(MainControls& c, ui::Control& list) {
  if (&list == &c.slot1Items) return ItemListColumns(1);
  if (&list == &c.slot2Items) return ItemListColumns(2);
  if (&list == &c.differenceList) return DifferenceListColumns();
  return MissingListColumns();
}

template <typename T>
bool CreateAs(ui::Control& control, const ui::CreateArgs& args) {
  return static_cast<T&>(control).Create(args);
}

}  // namespace

MainWindow::MainWindow() = default;

MainWindow::~MainWindow() {
  if (font_) DeleteObject(font_);
}

bool MainWindow::Create(bool quitOnClose) {
  quitOnClose_ = quitOnClose;
  Args args;
  args.title = texts::kWindowTitle;
  args.x = kDesignLeft;
  args.y = kDesignTop;
  args.width = kDesignWidth;
  args.height = kDesignHeight;
  args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  if (!Window::Create(args) || !CreateControls()) return false;
  WireEvents();
  StartUp();
  return true;
}

bool MainWindow::CreateControls() {
  std::wstring face = ui::ToWide(texts::kUiFontFace).text;
  font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  for (const ControlDesign& d : MainWindowDesign()) {
    ui::Control& control = d.control(controls_);
    ui::CreateArgs a;
    a.parent = ContainerHandle(*this, d.container);
    a.bounds = d.bounds;
    a.text = d.text;
    a.visible = d.shown;
    a.style = WS_CLIPSIBLINGS;
    bool created = false;
    switch (d.kind) {
      case ControlKind::kPanel: created = CreateAs<ui::Panel>(control, a); break;
      case ControlKind::kButton: created = CreateAs<ui::Button>(control, a); break;
      case ControlKind::kCheckBox: created = CreateAs<ui::CheckBox>(control, a); break;
      case ControlKind::kDivider: created = CreateAs<ui::Divider>(control, a); break;
      case ControlKind::kLabel: created = CreateAs<ui::Label>(control, a); break;
      case ControlKind::kStatusBar: created = CreateAs<ui::StatusBar>(control, a); break;
      case ControlKind::kEditBox:
      case ControlKind::kMultilineEditBox: {
        ui::EditBox::Args edit;
        static_cast<ui::CreateArgs&>(edit) = a;
        edit.multiline = d.kind == ControlKind::kMultilineEditBox;
        edit.exStyle = WS_EX_CLIENTEDGE;
        created = static_cast<ui::EditBox&>(control).Create(edit);
        break;
      }
      case ControlKind::kListView: {
        ui::ListView::Args list;
        static_cast<ui::CreateArgs&>(list) = a;
        list.columns = ColumnsFor(controls_, control);
        created = static_cast<ui::ListView&>(control).Create(list);
        break;
      }
    }
    if (!created) return false;
    control.SetFont(font_);
  }
  // Controls placed on the window itself lie over the two panels.
  for (const ControlDesign& d : MainWindowDesign())
    if (d.container == Container::kWindow && d.kind != ControlKind::kPanel) d.control(controls_).BringToTop();
  return true;
}

void MainWindow::WireEvents() {
  MainControls& c = controls_;
  c.slot1Input.onChange = [this] { items::ParseSlotIntoWindow(*this, 1); };
  c.slot2Input.onChange = [this] { items::ParseSlotIntoWindow(*this, 2); };
  c.lineSeparatorBox.onChange = [this] { items::CommitSeparatorBox(*this, ds::SeparatorKind::kLine); };
  c.valueSeparatorBox.onChange = [this] { items::CommitSeparatorBox(*this, ds::SeparatorKind::kValue); };
  c.valueSeparatorBox.onKeyDown = [this](UINT key) { items::OnValueSeparatorKey(*this, key); };
  c.valueSeparatorBox.onFocus = [&c] { c.valueSeparatorBox.SelectAll(); };
  c.valueSeparatorBox.onMouseUp = [&c] { c.valueSeparatorBox.SelectAll(); };

  c.analyseButton.onClick = [this] { compare::RunAnalyse(*this); };
  c.analyseBarButton.onClick = [this] { compare::RunAnalyse(*this); };
  for (int side : {1, 2}) {
    ui::ListView& items = c.Items(side);
    items.onSelectionChanged = [this, side] { compare::OnItemListRowChanged(*this, side); };
    items.onFocus = [this, side] { compare::OnItemListFocus(*this, side); };
    items.onBlur = [this, side] { compare::OnItemListBlur(*this, side); };
    ui::ListView& missing = side == 1 ? c.slot1Missing : c.slot2Missing;
    missing.onFocus = [this, side] { compare::OnMissingListFocus(*this, side); };
    missing.onClick = [this, side] { compare::OnMissingListClick(*this, side); };
    missing.onBlur = [] { ui::LetPendingEventsRun(); };
  }
  c.differenceList.onSelectionChanged = [this] { compare::OnDifferenceRow(*this); };
  c.differenceList.onClick = [this] { compare::OnDifferenceRow(*this); };
  c.differenceList.onFocus = [this] { compare::OnDifferenceListFocus(*this); };
  c.differenceList.onDoubleClick = [this] { compare::OnDifferenceListDoubleClick(*this); };
}

void MainWindow::StartUp() {
  controls_.leftPanel.SetBackground(kPanelColour);
  controls_.rightPanel.SetBackground(kPanelColour);
  controls_.cookiesModeSwitch.SetChecked(true);
  controls_.caseSensitiveSwitch.SetChecked(true);
  controls_.exactMatchSwitch.SetChecked(true);
  controls_.autoExpandSwitch.SetChecked(true);
  // The stored separators are put into their boxes; each box's commit then
  // sets the separator in force and stores it again.
  for (ds::SeparatorKind kind : {ds::SeparatorKind::kLine, ds::SeparatorKind::kValue}) {
    ds::Text stored = ReadSetting(ds::SeparatorSettingKey(kind));
    ui::EditBox& box = kind == ds::SeparatorKind::kLine ? controls_.lineSeparatorBox : controls_.valueSeparatorBox;
    box.SetText(stored.empty() ? ds::SeparatorFromSetting(kind, stored) : stored);
  }
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      if (quitOnClose_) PostQuitMessage(0);
      return 0;
    default:
      return Window::HandleMessage(msg, wp, lp);
  }
}

}  // namespace app
