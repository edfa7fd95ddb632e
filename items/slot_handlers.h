// Window handlers of the item subsystem: parse a slot into its list, commit
// the separator boxes.
#pragma once

#include <windows.h>

#include "items/separators.h"

namespace app {
class MainWindow;
}

namespace items {

void ParseSlotIntoWindow(app::MainWindow& window, int slot);
void FitItemListColumns(app::MainWindow& window, int slot);
void CommitSeparatorBox(app::MainWindow& window, ds::SeparatorKind kind);
void OnValueSeparatorKey(app::MainWindow& window, UINT key);

}  // namespace items
