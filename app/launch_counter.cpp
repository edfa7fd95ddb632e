#include "app/launch_counter.h"

#include <climits>

namespace app {

long long LaunchCounterFromSetting(std::string_view stored) {
  size_t i = 0;
  bool negative = false;
  if (i < stored.size() && (stored[i] == '-' || stored[i] == '+')) negative = stored[i++] == '-';
  if (i >= stored.size() || stored[i] < '0' || stored[i] > '9') return 0;
  // The digits after a decimal point only truncate away.
  long long value = 0;
  for (; i < stored.size() && stored[i] >= '0' && stored[i] <= '9'; ++i) {
    value = value * 10 + (stored[i] - '0');
    if (value > INT_MAX) return negative ? INT_MIN : INT_MAX;
  }
  return negative ? -value : value;
}

}  // namespace app
