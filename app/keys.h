// Keys the edit boxes answer to themselves.
#pragma once

#include <windows.h>

namespace app {

// Ctrl+A: the A key with Ctrl held and neither Shift nor Alt.
inline bool IsCtrlA(UINT key) {
  auto down = [](int vk) { return (GetKeyState(vk) & 0x8000) != 0; };
  return key == 'A' && down(VK_CONTROL) && !down(VK_SHIFT) && !down(VK_MENU);
}

// Ctrl+Shift+V: paste through the recogniser; plain Ctrl+V stays the control's.
inline bool IsCtrlShiftV(UINT key) {
  auto down = [](int vk) { return (GetKeyState(vk) & 0x8000) != 0; };
  return key == 'V' && down(VK_CONTROL) && down(VK_SHIFT) && !down(VK_MENU);
}

}  // namespace app
