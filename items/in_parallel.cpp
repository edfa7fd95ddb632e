#include "items/in_parallel.h"

#include <exception>
#include <thread>

namespace ds {

void InParallel(bool worthIt, const std::function<void()>& first, const std::function<void()>& second) {
  if (!worthIt) {
    first();
    second();
    return;
  }
  std::exception_ptr failed;
  std::thread other([&] {
    try {
      second();
    } catch (...) {
      failed = std::current_exception();
    }
  });
  try {
    first();
  } catch (...) {
    other.join();
    throw;
  }
  other.join();
  if (failed) std::rethrow_exception(failed);
}

}  // namespace ds
