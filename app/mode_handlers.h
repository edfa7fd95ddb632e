// Switching the analysis mode and the compact mode.
#pragma once

#include "items/analysis_mode.h"

namespace app {

class MainWindow;

void SwitchMode(MainWindow& window, ds::AnalysisMode mode);
void ToggleCompact(MainWindow& window);

}  // namespace app
