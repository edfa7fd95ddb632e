// Part of the main window's shell: switching the analysis mode and the
// compact mode.
#pragma once

#include "app/analysis_mode.h"

namespace app {

class MainWindow;

void SwitchMode(MainWindow& window, AnalysisMode mode);
void ToggleCompact(MainWindow& window);
bool IsCompact(MainWindow& window);

}  // namespace app
