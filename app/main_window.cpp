#include "app/main_window.h"

#include "app/layout_handlers.h"
#include "app/main_window_design.h"
#include "app/mode_handlers.h"
#include "app/option_handlers.h"
#include "app/startup.h"
#include "app/settings.h"
#include "app/texts.h"
#include "compare/analyse_handlers.h"
#include "items/separators.h"
#include "items/slot_handlers.h"
#include "ui/text_convert.h"

namespace app {
namespace {

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
  RunStartUp(*this);
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
  c.differenceList.onDoubleClick = [this] {
    compare::OnDifferenceListDoubleClick(*this);
    if (controls_.differenceList.RowCount() > 0) ShowDetail();
  };
  c.differenceList.onKeyDown = [this](UINT key) {
    if (key == VK_ESCAPE) HideDetail();
  };
  c.detailButton.onClick = [this] {
    if (detail_ && detail_->IsShown())
      HideDetail();
    else
      ShowDetail();
  };
  c.contentBox.onKeyDown = [&c](UINT key) {
    if (key == 'A' && (GetKeyState(VK_CONTROL) & 0x8000)) c.contentBox.SelectAll();
  };
  c.searchResultBox.onFocus = [] { ui::LetPendingEventsRun(); };
  c.contentBox.onChange = [this] {
    if (detail_ && detail_->IsShown()) detail_->detailBox.SetText(controls_.contentBox.GetText());
  };

  c.cookiesModeSwitch.onClick = [this] { SwitchMode(*this, AnalysisMode::kCookies); };
  c.httpModeSwitch.onClick = [this] { SwitchMode(*this, AnalysisMode::kHttp); };
  c.compactToggle.onClick = [this] { ToggleCompact(*this); };
  c.caseSensitiveSwitch.onClick = [this] { OnOptionSwitchClicked(*this, OptionSwitch::kCaseSensitive); };
  c.exactMatchSwitch.onClick = [this] { OnOptionSwitchClicked(*this, OptionSwitch::kExactMatch); };
  c.autoExpandSwitch.onClick = [this] { OnOptionSwitchClicked(*this, OptionSwitch::kAutoExpand); };
  for (int slot : {1, 2}) {
    c.Input(slot).onFocus = [this, slot] { OnInputFocus(*this, slot); };
    c.Input(slot).onBlur = [this, slot] { OnInputBlur(*this, slot); };
  }
  c.listMenu.Add(kMenuCopySlot1, "");
  c.listMenu.Add(kMenuCopySlot2, "");
}

void MainWindow::ShowAsPlaced() {
  if (startPlacement_ == ui::Placement::kMaximised)
    SetPlacement(ui::Placement::kMaximised);
  else
    Show(true);
}

void MainWindow::CreateSecondaryWindows() {
  auto detail = std::make_unique<DetailWindow>();
  if (!detail->Create(hwnd())) return;
  detail_ = std::move(detail);
  RECT main;
  GetWindowRect(hwnd(), &main);
  detail_->Place(main, controls_.splitter.Bounds().y - 20, controls_.contentBox.GetText());
  detail_->onKeyEscape = [this] { HideDetail(); };
}

void MainWindow::ShowDetail() {
  if (!detail_) return;
  RECT main;
  GetWindowRect(hwnd(), &main);
  int height = controls_.splitter.Bounds().y + controls_.contentBox.Bounds().height - 5;
  detail_->Place(main, height, controls_.contentBox.GetText());
  detail_->Show(true);
}

void MainWindow::HideDetail() {
  if (detail_) detail_->Show(false);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      if (quitOnClose_) PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      OnResize(*this);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    default:
      return Window::HandleMessage(msg, wp, lp);
  }
}

}  // namespace app
