// The launch counter kept in the settings as text.
#pragma once

#include <string_view>

namespace app {

// A leading decimal number, truncated toward zero; text that does not begin
// with one is 0. Kept within int range.
long long LaunchCounterFromSetting(std::string_view stored);

}  // namespace app
