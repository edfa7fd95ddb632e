// Two independent pieces of work on two cores.
#pragma once

#include <functional>

namespace ds {

// Runs `second` on a thread of its own while `first` runs here, and returns
// when both are done; an exception from either comes out here once both have
// stopped. With `worthIt` false both run here, one after the other: a thread
// costs more than small work saves.
void InParallel(bool worthIt, const std::function<void()>& first, const std::function<void()>& second);

}  // namespace ds
