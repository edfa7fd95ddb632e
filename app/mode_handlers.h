// Switching the analysis mode and the compact mode.
#pragma once

#include "app/main_controls.h"

namespace app {

class MainWindow;

// Captions, separators and placeholders follow the mode; both slots parse again.
void SwitchMode(MainControls& c, AppState& state, ds::AnalysisMode mode);
void ToggleCompact(MainWindow& window);

}  // namespace app
