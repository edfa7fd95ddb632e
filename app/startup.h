// The main window's creation handling: the stored settings applied in their
// order, the launch counter and the tip window.
#pragma once

namespace app {

class MainWindow;

void RunStartUp(MainWindow& window);

}  // namespace app
