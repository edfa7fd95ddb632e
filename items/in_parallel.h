// Two independent pieces of work on two cores.
#pragma once

#include <cstddef>
#include <functional>

namespace ds {

// Below this many rows in all, a second thread costs more than it saves.
constexpr size_t kParallelRows = 20000;

// Runs `second` on a thread of its own while `first` runs here, and returns
// when both are done; an exception from either comes out here once both have
// stopped. With `worthIt` false both run here, one after the other: a thread
// costs more than small work saves.
void InParallel(bool worthIt, const std::function<void()>& first, const std::function<void()>& second);

}  // namespace ds
