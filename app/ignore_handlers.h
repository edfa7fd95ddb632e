// The menu's ignore list: leave the selected name out of the result lists from
// now on, or forget every such name. The list lives in the settings file.
#pragma once

#include "app/editing.h"

namespace app {

void IgnoreSelectedName(const EditingView& v, AppState& state);
void ClearIgnoreList(const EditingView& v, AppState& state);

}  // namespace app
