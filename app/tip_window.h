// The tip window of every 21st launch: thanks and two pictures, shown
// modally; the thanks button or the close box ends it.
#pragma once

#include <windows.h>

namespace app {

void ShowTipWindow(HWND owner);

}  // namespace app
