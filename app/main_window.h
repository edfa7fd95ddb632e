// The main window: builds its controls from the design table and hands each
// control event to the handler of the subsystem that owns it.
#pragma once

#include <memory>

#include "app/detail_window.h"
#include "app/editing.h"
#include "app/focus_expansion.h"
#include "app/import.h"
#include "app/input_window.h"
#include "app/session_window.h"
#include "app/main_controls.h"
#include "ui/dpi.h"
#include "ui/window.h"

namespace app {

class MainWindow : public ui::Window {
 public:
  MainWindow();
  ~MainWindow() override;

  // Creates the window and its controls, hidden, and runs the start-up.
  bool Create(bool quitOnClose = true);

  MainControls& controls() { return controls_; }
  // The DPI the window is laid out for; designed pixels are scaled to it.
  int dpi() const { return dpi_; }
  // The size the proportional layout scales to: the window's own, except
  // while a change of DPI resizes it. Then it is the size the window had in
  // the new DPI's pixels, fraction kept: the suggested size is whole pixels,
  // and a change there and back would move controls by one.
  struct LayoutSize {
    double width, height;
  };
  LayoutSize layoutSize() const;
  AppState& state() { return state_; }

  void SetStatus(std::string_view gbk) { controls_.statusBar.SetText(gbk); }

  // Shows the window as start-up placed it: maximised when so stored. The
  // maximise waits for this moment so that the resize handling, which does
  // nothing while the window is being created, lays the controls out.
  void ShowAsPlaced();
  void SetStartPlacement(ui::Placement placement) { startPlacement_ = placement; }

  // No larger than the work area of its monitor (the design at 200 % is taller
  // than a 1080-line screen): the layout shrinks the controls with it.
  void FitToWorkArea();

  // The secondary windows, created hidden during start-up; null before.
  void CreateSecondaryWindows();
  DetailWindow* detail() { return detail_.get(); }
  InputWindow* input() { return input_.get(); }
  // Over the lower part of this window again, when it is shown.
  void PlaceInputWindow();
  void ShowDetail();
  void ShowDetail(std::string_view text);  // until the content box changes again
  void HideDetail();
  // The two slots' HARs compared request by request, in the session window.
  void CompareSessions();
  void CompareSessions(HarEntries a, HarEntries b) {
    hars_.slot[0] = std::move(a);
    hars_.slot[1] = std::move(b);
    CompareSessions();
  }
  SessionWindow* sessions() { return sessions_.get(); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool CreateControls();
  void PlaceDetailButton();
  EditingView Editing() {
    return {hwnd(), controls_, input_.get(), [this](std::string_view text) { ShowDetail(text); }};
  }
  void WireEvents();
  void WireInputs();
  void WireSeparators();
  void WireLists(const FocusView& focus);
  void WireSwitches();
  void WireMenu();
  void OnMoved();
  ImportView Importing(ds::Slot slot) {
    return ImportViewOf(hwnd(), controls_, slot, hars_, [this] { CompareSessions(); });
  }
  void LoadPair(const ds::HarEntry* a, const ds::HarEntry* b);
  void OnDpiChanged(int dpi, const RECT& suggested);

  int dpi_ = ui::kDesignDpi;
  bool changingDpi_ = false;
  LayoutSize designedSize_{};  // the window's size in 96 DPI pixels, as last resized
  HFONT font_ = nullptr;
  MainControls controls_;
  AppState state_;
  std::unique_ptr<DetailWindow> detail_;
  std::unique_ptr<InputWindow> input_;
  std::unique_ptr<SessionWindow> sessions_;  // made when first asked for
  HarSources hars_;
  bool quitOnClose_ = true;
  ui::Placement startPlacement_ = ui::Placement::kCentred;
};

}  // namespace app
