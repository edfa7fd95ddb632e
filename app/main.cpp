// Program start: the main window, then the message loop until it closes.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  try {
    app::MainWindow window;
    if (!window.Create()) {
      MessageBoxW(nullptr, L"Dualsieve: the main window could not be created.", L"Dualsieve", MB_ICONERROR);
      return 1;
    }
    window.ShowAsPlaced();
    return ui::RunMessageLoop();
  } catch (...) {
    return 1;
  }
}
