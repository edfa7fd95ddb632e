// The proportional layout of the main window and its resize handling.
#pragma once

namespace app {

class MainWindow;

void RegisterLayout(MainWindow& window);
void OnResize(MainWindow& window);

}  // namespace app
