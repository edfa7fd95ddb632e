// The menu's decoded comparison: the selected difference row's two values, or
// an item and its counterpart, decoded and compared in the detail window.
#pragma once

#include "app/editing.h"

namespace app {

void ShowDecodedComparison(const EditingView& v, const AppState& state);

}  // namespace app
