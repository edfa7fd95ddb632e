#include "items/in_parallel.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace ds {
namespace {

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// The second half on a thread of its own: for a call made while the helper
// is taken (one nested in another, or from another thread).
void OnNewThread(const std::function<void()>& first, const std::function<void()>& second) {
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

// The second core's thread, kept from call to call: starting a thread for
// each call cost up to milliseconds here. Each side watches a moment for the
// other (a report's steps follow closely), then sleeps until woken: a
// longer watch holds a core that the other side's work could use.
class Helper {
 public:
  // Never destroyed: asleep when the program ends, it ends with it, and no
  // exit waits on it.
  static Helper& Get() {
    static Helper* helper = new Helper;
    return *helper;
  }

  // False when the helper is taken: the caller makes its own thread.
  bool Run(const std::function<void()>& first, const std::function<void()>& second) {
    if (taken_.exchange(true, std::memory_order_acquire)) return false;
    failed_ = nullptr;
    finished_.store(false, std::memory_order_relaxed);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      task_.store(&second, std::memory_order_release);
    }
    changed_.notify_all();
    std::exception_ptr firstFailed;
    try {
      first();
    } catch (...) {
      firstFailed = std::current_exception();
    }
    WatchThenWait([this] { return finished_.load(std::memory_order_acquire); });
    std::exception_ptr secondFailed;
    secondFailed.swap(failed_);  // not kept alive until the next call
    taken_.store(false, std::memory_order_release);
    if (firstFailed) std::rethrow_exception(firstFailed);
    if (secondFailed) std::rethrow_exception(secondFailed);
    return true;
  }

 private:
  template <typename Ready>
  void WatchThenWait(Ready ready) {
    for (int spins = 0; spins < 1024; ++spins) {
      if (ready()) return;
      Pause();
    }
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, ready);
  }

  void Serve() {
    for (;;) {
      WatchThenWait([this] { return task_.load(std::memory_order_acquire) != nullptr; });
      const std::function<void()>* task = task_.exchange(nullptr, std::memory_order_acquire);
      try {
        (*task)();
      } catch (...) {
        failed_ = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_.store(true, std::memory_order_release);
      }
      changed_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;  // a task came or a task finished
  std::atomic<bool> taken_{false};
  std::atomic<const std::function<void()>*> task_{nullptr};
  std::atomic<bool> finished_{false};
  std::exception_ptr failed_;
  std::thread thread_{[this] { Serve(); }};  // last: it starts once the rest is ready
};

}  // namespace

void InParallel(bool worthIt, const std::function<void()>& first, const std::function<void()>& second) {
  if (!worthIt) {
    first();
    second();
    return;
  }
  if (!Helper::Get().Run(first, second)) OnNewThread(first, second);
}

}  // namespace ds
