// The window skin. Loading the carried skin library from memory comes later;
// until then applying the skin leaves the system's look.
#pragma once

#include <windows.h>

namespace skin {

inline void ApplySkin(HWND /*mainWindow*/) {}
inline void ReleaseSkinData() {}

}  // namespace skin
