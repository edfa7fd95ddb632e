#include "app/main_window.h"

#include <algorithm>
#include <deque>

#include "app/analyse.h"
#include "app/focus_expansion.h"
#include "app/import.h"
#include "app/keys.h"
#include "app/layout.h"
#include "app/layout_handlers.h"
#include "app/main_window_design.h"
#include "app/masking.h"
#include "app/message_boxes.h"
#include "app/mode_handlers.h"
#include "app/option_handlers.h"
#include "app/reports.h"
#include "app/search.h"
#include "app/slots.h"
#include "app/startup.h"
#include "app/texts.h"
#include "compare/ignore_list.h"
#include "import/texts.h"
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

template <typename T>
bool CreateFromDesign(T& control, const ControlDesign&, const ui::CreateArgs& a, int) {
  return control.Create(a);
}

bool CreateFromDesign(ui::EditBox& box, const ControlDesign& d, const ui::CreateArgs& a, int) {
  ui::EditBox::Args edit;
  static_cast<ui::CreateArgs&>(edit) = a;
  edit.multiline = d.multiline;
  edit.readOnly = d.readOnly;
  edit.exStyle = WS_EX_CLIENTEDGE;
  return box.Create(edit);
}

bool CreateFromDesign(ui::ListView& list, const ControlDesign& d, const ui::CreateArgs& a, int dpi) {
  ui::ListView::Args args;
  static_cast<ui::CreateArgs&>(args) = a;
  for (const ColumnDesign& column : d.columns) args.columns.push_back({column.title, ui::Scaled(column.width, dpi)});
  return list.Create(args);
}

HFONT CreateUiFont(int dpi) {
  constexpr int kDesignFontHeight = 12;
  std::wstring face = ui::ToWide(texts::kUiFontFace).text;
  return CreateFontW(-ui::Scaled(kDesignFontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     face.c_str());
}

}  // namespace

MainWindow::MainWindow() = default;

// Torn down in the reverse order of creation, and no handler may run on the
// way: the controls are unhooked first, because destroying the detail window
// activates this one and moves the focus.
MainWindow::~MainWindow() {
  for (const ControlDesign& d : MainWindowDesign()) d.Of(controls_).Detach();
  input_.reset();
  detail_.reset();
  Destroy();
  if (font_) DeleteObject(font_);
}

bool MainWindow::Create(bool quitOnClose) {
  quitOnClose_ = quitOnClose;
  Args args;
  args.title = texts::kWindowTitle;
  int systemDpi = ui::DpiOf(nullptr);
  args.x = ui::Scaled(kDesignLeft, systemDpi);
  args.y = ui::Scaled(kDesignTop, systemDpi);
  args.width = ui::Scaled(kDesignWidth, systemDpi);
  args.height = ui::Scaled(kDesignHeight, systemDpi);
  args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  if (!Window::Create(args)) return false;
  // A monitor of its own DPI: the window is drawn at that one.
  dpi_ = ui::DpiOf(hwnd());
  ui::SetLaidOutDpi(hwnd(), dpi_);
  // Also when the system cut the window to the screen at its creation:
  // start-up registers the layout at the designed size, then fits it.
  SIZE designed{ui::Scaled(kDesignWidth, dpi_), ui::Scaled(kDesignHeight, dpi_)}, size = Size();
  if (size.cx != designed.cx || size.cy != designed.cy) SetSize(designed.cx, designed.cy);
  designedSize_ = {kDesignWidth, kDesignHeight};
  if (!CreateControls()) return false;
  WireEvents();
  RunStartUp(*this);
  return true;
}

bool MainWindow::CreateControls() {
  font_ = CreateUiFont(dpi_);
  for (const ControlDesign& d : MainWindowDesign()) {
    ui::CreateArgs a;
    a.parent = ContainerHandle(*this, d.container);
    a.bounds = ScaledToDpi(d.bounds, dpi_);
    a.text = d.text;
    a.visible = d.shown;
    a.style = WS_CLIPSIBLINGS;
    bool created =
        std::visit([&](auto member) { return CreateFromDesign(controls_.*member, d, a, dpi_); }, d.member);
    if (!created) return false;
    d.Of(controls_).SetFont(font_);
  }
  // Controls placed on the window itself lie over the two panels.
  for (const ControlDesign& d : MainWindowDesign())
    if (d.container == Container::kWindow && !std::holds_alternative<Member<ui::Panel>>(d.member))
      d.Of(controls_).BringToTop();
  PlaceDetailButton();
  return true;
}

// The detail button's designed place lies below the client area, under the
// status bar, where nobody can click it: it goes to the nearest place where it
// lies over no other control (not even a list's scroll bar).
void MainWindow::PlaceDetailButton() {
  MainControls& c = controls_;
  ui::Rect panel = c.rightPanel.Bounds(), button = c.detailButton.Bounds();
  std::vector<Box> covers;
  for (const ControlDesign& d : MainWindowDesign()) {
    ui::Control& control = d.Of(c);
    if (&control == &c.rightPanel || &control == &c.detailButton || !control.IsVisible()) continue;
    if (d.container == Container::kLeftPanel) continue;  // the left panel itself covers them
    ui::Rect r = control.Bounds();
    if (d.container == Container::kRightPanel) r = {panel.x + r.x, panel.y + r.y, r.width, r.height};
    covers.push_back({r.x, r.y, r.width, r.height});
  }
  SIZE client = ClientSize();
  Box spot = NearestVisibleSpot({panel.x + button.x, panel.y + button.y, button.width, button.height},
                                {0, 0, client.cx, client.cy}, covers);
  c.detailButton.Move(spot.left - panel.x, spot.top - panel.y);
  c.detailButton.BringToTop();
}

void MainWindow::WireEvents() {
  WireInputs();
  FocusView focus = FocusViewOf(hwnd(), controls_);
  WireFocusExpansion(focus, state_);
  WireSearch(controls_, state_);
  WireSeparators();
  WireLists(focus);
  WireSwitches();
  WireMenu();
}

// Each input box parses what is typed into it and imports what is dropped on
// it or pasted with Ctrl+Shift+V.
void MainWindow::WireInputs() {
  MainControls& c = controls_;
  AppState& state = state_;
  for (ds::Slot slot : ds::kSlots) {
    ui::EditBox& input = c.Input(slot);
    input.onChange = [&c, &state, &input, slot] { ParseSlotIntoWindow(input, SlotViewOf(c, slot), state, slot); };
    input.AcceptFiles();
    input.onFileDrop = [this, slot](const std::wstring& path) {
      LoadDroppedFile(Importing(slot), state_, path);
    };
    input.onKeyCommand = [this, slot](UINT key) {
      if (!IsCtrlShiftV(key)) return false;
      PasteRecognised(Importing(slot), state_);
      return true;
    };
  }
}

void MainWindow::WireSeparators() {
  MainControls& c = controls_;
  AppState& state = state_;
  c.lineSeparatorBox.onChange = [&c, &state] {
    CommitSeparatorBox(c.lineSeparatorBox, ds::SeparatorKind::kLine, state.separators);
  };
  c.valueSeparatorBox.onChange = [&c, &state] {
    CommitSeparatorBox(c.valueSeparatorBox, ds::SeparatorKind::kValue, state.separators);
  };
  c.valueSeparatorBox.onKeyDown = [&c](UINT key) { OnValueSeparatorKey(c.valueSeparatorBox, key); };
  c.valueSeparatorBox.onFocus = [&c] { c.valueSeparatorBox.SelectAll(); };
  c.valueSeparatorBox.onMouseUp = [&c] { c.valueSeparatorBox.SelectAll(); };
  c.lineSeparatorBox.onFocus = [&c] { c.lineSeparatorBox.SelectAll(); };
  c.lineSeparatorBox.onMouseUp = [&c] { c.lineSeparatorBox.SelectAll(); };
}

// Analyse, and what selecting or focusing a row of each list shows.
void MainWindow::WireLists(const FocusView& focus) {
  MainControls& c = controls_;
  AppState& state = state_;
  c.analyseButton.onClick = [this] { RunAnalyse(AnalyseViewOf(hwnd(), controls_), state_); };
  c.analyseBarButton.onClick = [this] { RunAnalyse(AnalyseViewOf(hwnd(), controls_), state_); };
  ReportView reports = ReportViewOf(c);
  for (ds::Slot slot : ds::kSlots) {
    ui::ListView& items = c.Items(slot);
    items.onSelectionChanged = [reports, &state, slot] { OnItemListRowChanged(reports, state, slot); };
    items.onFocus = [reports, &state, slot] { OnItemListFocus(reports, state, slot); };
    items.onBlur = [reports, slot] { OnItemListBlur(reports, slot); };
    ui::ListView& missing = c.Missing(slot);
    missing.onFocus = [reports, &state, slot] { OnMissingListFocus(reports, state, slot); };
    missing.onClick = [reports, &state, slot] { OnMissingListClick(reports, state, slot); };
    // Its lost focus only lets the list repaint before the next control takes over.
    missing.onBlur = [] { ui::LetPendingEventsRun(); };
  }
  c.differenceList.onSelectionChanged = [reports, &state] { OnDifferenceRow(reports, state); };
  c.differenceList.onClick = [reports, &state] { OnDifferenceRow(reports, state); };
  c.differenceList.onFocus = [reports, focus, &state] {
    OnDifferenceListFocus(reports, state);
    ExpandLowerArea(focus, state.lowerArea);
  };
  c.differenceList.onDoubleClick = [this, reports] {
    OnItemListRowChanged(reports, state_, ds::Slot::k1);
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
    if (IsCtrlA(key)) c.contentBox.SelectAll();
  };
  // Its focus only lets the click that brought it land first.
  c.searchResultBox.onFocus = [] { ui::LetPendingEventsRun(); };
  c.contentBox.onChange = [this] {
    if (detail_ && detail_->IsShown()) detail_->detailBox.SetText(controls_.contentBox.GetText());
  };
}

void MainWindow::WireSwitches() {
  MainControls& c = controls_;
  c.cookiesModeSwitch.onClick = [this] { SwitchMode(controls_, state_, ds::AnalysisMode::kCookies); };
  c.httpModeSwitch.onClick = [this] { SwitchMode(controls_, state_, ds::AnalysisMode::kHttp); };
  c.compactToggle.onClick = [this] { ToggleCompact(*this); };
  c.caseSensitiveSwitch.onClick = [&c] { OnOptionSwitchClicked(c.caseSensitiveSwitch, OptionSwitch::kCaseSensitive); };
  c.exactMatchSwitch.onClick = [&c] { OnOptionSwitchClicked(c.exactMatchSwitch, OptionSwitch::kExactMatch); };
  c.autoExpandSwitch.onClick = [&c] { OnOptionSwitchClicked(c.autoExpandSwitch, OptionSwitch::kAutoExpand); };
}

// The lists' menu and the keys and clicks that edit the item lists.
void MainWindow::WireMenu() {
  MainControls& c = controls_;
  for (int id = 1; id <= ds::kMenuEntryCount; ++id) {
    auto entry = static_cast<ds::MenuEntry>(id);
    if (ds::IsSeparator(entry))
      c.listMenu.AddSeparator(id);
    else
      c.listMenu.Add(id, ds::DesignCaption(entry));
  }
  c.listMenu.onCommand = [this](int id) {
    RunMenuCommand(Editing(), state_, id);
  };
  for (ui::ListView* list : AllLists(c)) {
    auto open = [this, list](int x, int y) {
      OpenListMenu(Editing(), state_, *list, x, y);
    };
    list->onRightClick = open;
    list->onMenuKey = open;
  }
  for (ds::Slot slot : ds::kSlots) {
    ui::ListView& items = c.Items(slot);
    items.onDoubleClick = [this, slot] {
      ModifyOnDoubleClick(Editing(), state_, slot);
    };
    items.onKeyDown = [this, slot](UINT key) {
      if (key == VK_DELETE) DeleteWithKey(Editing(), state_, slot);
    };
  }
  c.restoreButton.onClick = [this] {
    Reload(Editing(), state_);
  };
}

void MainWindow::OnMoved() {
  if (state_.created) OnWindowMoved(FocusViewOf(hwnd(), controls_), state_.lowerArea, detail_.get());
}

// Moved to a monitor of another DPI: a font of the new size, and the window
// sized as Windows suggests, whose resize handling lays the controls out
// again in the proportions they had. Columns the resize handling does not fit
// keep their share of the lists.
void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  int old = dpi_;
  dpi_ = dpi;
  ui::SetLaidOutDpi(hwnd(), dpi_);
  if (dpi_ != old && font_) {
    // Docked by nobody, the status bar keeps its designed place.
    for (const ControlDesign& d : MainWindowDesign())
      if (&d.Of(controls_) == &controls_.statusBar) controls_.statusBar.SetBounds(ScaledToDpi(d.bounds, dpi_));
    HFONT font = CreateUiFont(dpi_);
    for (const ControlDesign& d : MainWindowDesign()) d.Of(controls_).SetFont(font);
    if (input_) input_->SetFont(font);
    if (detail_) detail_->detailBox.SetFont(font);
    DeleteObject(font_);
    font_ = font;
    for (ui::ListView* list : AllLists(controls_))
      for (int k = 0; k < list->ColumnCount(); ++k) list->SetColumnWidth(k, list->ColumnWidth(k) * dpi_ / old);
  }
  changingDpi_ = true;
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  changingDpi_ = false;
  FitToWorkArea();
}

MainWindow::LayoutSize MainWindow::layoutSize() const {
  if (changingDpi_) return {designedSize_.width * dpi_ / ui::kDesignDpi, designedSize_.height * dpi_ / ui::kDesignDpi};
  SIZE size = Size();
  return {static_cast<double>(size.cx), static_cast<double>(size.cy)};
}

void MainWindow::ShowAsPlaced() {
  if (startPlacement_ == ui::Placement::kMaximised)
    SetPlacement(ui::Placement::kMaximised);
  else
    Show(true);
}

void MainWindow::FitToWorkArea() {
  if (!state_.created) return;  // nothing would lay the controls out yet
  // A window that fits stays where it is, even partly off the screen.
  RECT work = ui::WorkAreaOf(hwnd());
  SIZE before = Size();
  if (before.cx <= work.right - work.left && before.cy <= work.bottom - work.top) return;
  ui::KeepInsideWorkArea(hwnd());
  SIZE after = Size();
  // No layout moves the status bar: it keeps its designed place, in the
  // proportion the window shrank by.
  for (const ControlDesign& d : MainWindowDesign()) {
    if (&d.Of(controls_) != &controls_.statusBar) continue;
    ui::Rect r = ScaledToDpi(d.bounds, dpi_);
    controls_.statusBar.SetBounds(
        {r.x * after.cx / before.cx, r.y * after.cy / before.cy, r.width * after.cx / before.cx, r.height});
  }
}

void MainWindow::CreateSecondaryWindows() {
  auto detail = std::make_unique<DetailWindow>();
  bool made = detail->Create(hwnd());
  state_.created = true;  // from now on a resize lays the window out
  if (!made) return;
  detail_ = std::move(detail);
  RECT main;
  GetWindowRect(hwnd(), &main);
  detail_->Place(main, controls_.splitter.Bounds().y - ui::Scaled(20, dpi_), controls_.contentBox.GetText());
  detail_->onKeyEscape = [this] { HideDetail(); };

  auto input = std::make_unique<InputWindow>();
  if (!input->Create(hwnd(), font_)) return;
  input_ = std::move(input);
  input_->onConfirm = [this] { ConfirmInput(Editing(), state_); };
}

void MainWindow::PlaceInputWindow() {
  if (!input_ || !input_->IsShown()) return;
  RECT main;
  GetWindowRect(hwnd(), &main);
  input_->Place(main, controls_.splitter.Bounds().y);
}

void MainWindow::ShowDetail() { ShowDetail(controls_.contentBox.GetText()); }

void MainWindow::ShowDetail(std::string_view text) {
  if (!detail_) return;
  RECT main;
  GetWindowRect(hwnd(), &main);
  int height = controls_.splitter.Bounds().y + controls_.contentBox.Bounds().height - ui::Scaled(5, dpi_);
  detail_->Place(main, height, text);
  detail_->Show(true);
}

void MainWindow::HideDetail() {
  if (detail_) detail_->Show(false);
}

void MainWindow::CompareSessions() {
  if (!hars_.slot[0] || !hars_.slot[1]) return;
  if (!sessions_) {
    sessions_ = std::make_unique<SessionWindow>();
    if (!sessions_->Create(hwnd())) {
      sessions_.reset();
      return;
    }
    sessions_->onChoose = [this](const ds::HarEntry* a, const ds::HarEntry* b) { LoadPair(a, b); };
    sessions_->onSaveSanitised = [this](const std::string& har, ds::Slot side) {
      const std::wstring& name = hars_.name[side == ds::Slot::k1 ? 0 : 1];
      SaveSanitisedHar(sessions_->hwnd(), state_, har,
                       SanitisedName(!name.empty() ? name : side == ds::Slot::k1 ? L"A.har" : L"B.har"));
    };
  }
  ds::SessionsInput in;
  in.mode = state_.mode;
  in.separators = state_.separators;
  in.rule = RuleOf(controls_.caseSensitiveSwitch, controls_.exactMatchSwitch);
  in.ignorePatterns = state_.ignorePatterns;
  // Times, request ids and tags a response carries change from run to run;
  // a query parameter, cookie or request header of such a name is the user's.
  in.volatileHeaders = *ds::IgnorePreset("volatile");
  RECT main;
  GetWindowRect(hwnd(), &main);
  SetWindowPos(sessions_->hwnd(), nullptr, main.left + 40, main.top + 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ui::KeepInsideWorkArea(sessions_->hwnd());
  sessions_->ShowPairs(hars_.slot[0], hars_.slot[1], in, hars_.text[0], hars_.text[1]);
}

// A pair's two requests go into the two slots as imports do, then Analyse
// runs on them, so every list and menu works on the pair.
void MainWindow::LoadPair(const ds::HarEntry* a, const ds::HarEntry* b) {
  if (!a || !b) return SetStatus(texts::kSessionPairAlone);
  ds::SlotText texts[2] = {ds::ItemsTextOf(a->request, state_.mode, state_.separators),
                           ds::ItemsTextOf(b->request, state_.mode, state_.separators)};
  for (const ds::SlotText& t : texts)
    if (t.error) return ShowRefusal(hwnd(), *t.error, ds::texts::kImportTitle);
  controls_.slot1Input.SetText(ds::WindowsLineBreaks(texts[0].text));
  controls_.slot2Input.SetText(ds::WindowsLineBreaks(texts[1].text));
  RunAnalyse(AnalyseViewOf(hwnd(), controls_), state_);
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
      if (!changingDpi_ && wp != SIZE_MINIMIZED) {
        SIZE size = Size();
        designedSize_ = {size.cx * double{ui::kDesignDpi} / dpi_, size.cy * double{ui::kDesignDpi} / dpi_};
      }
      // Maximising moves the window before it lays it out: the value columns
      // fit the maximised difference list only now.
      if (wp == SIZE_MAXIMIZED) OnMoved();
      return 0;
    case WM_WINDOWPOSCHANGED: {
      // Its handling sends the move and the size, whose handlers set the
      // lists' bounds and column widths one by one; under Wine a list view
      // that draws redraws its scroll bars at each change, through the theme.
      // The lists draw once, when all have landed.
      std::deque<ui::DeferredRedraw> paused;
      if (state_.created && !(reinterpret_cast<const WINDOWPOS*>(lp)->flags & SWP_NOSIZE))
        for (ui::ListView* list : AllLists(controls_)) paused.emplace_back(list->hwnd(), true);
      return Window::HandleMessage(msg, wp, lp);
    }
    case WM_MOVE:
      OnMoved();
      return 0;
    case WM_ACTIVATE:
      // A click on the main window ends whatever the input window held.
      if (LOWORD(wp) != WA_INACTIVE && input_) input_->Dismiss();
      return Window::HandleMessage(msg, wp, lp);
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_GETMINMAXINFO: {
      // Sized as designed first, even past the screen's edge, so the layout
      // learns the designed proportions; FitToWorkArea then shrinks it.
      LRESULT result = Window::HandleMessage(msg, wp, lp);
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      info->ptMaxTrackSize.x = std::max<LONG>(info->ptMaxTrackSize.x, ui::Scaled(kFullWidth, dpi_));
      info->ptMaxTrackSize.y = std::max<LONG>(info->ptMaxTrackSize.y, ui::Scaled(kFullHeight, dpi_));
      return result;
    }
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    default:
      return Window::HandleMessage(msg, wp, lp);
  }
}

}  // namespace app
