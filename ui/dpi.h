// Pixels as designed for a 96 DPI screen, and the same on a screen of any
// other DPI. Plain arithmetic, so portable code may scale with it too.
#pragma once

namespace ui {

constexpr int kDesignDpi = 96;

// One rounding rule for every designed length and position: truncated
// toward zero, as the layout truncates. Controls that touch in the design
// (one's bottom is the next one's top) then never overlap once scaled, which
// rounding to nearest would make them do by a pixel.
constexpr int Scaled(int designed, int dpi) { return designed * dpi / kDesignDpi; }

}  // namespace ui
