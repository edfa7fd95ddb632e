#include "items/in_parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

namespace ds {
namespace {

// The second half runs on a thread kept from call to call: each call hands it
// work and waits for it, however fast the calls follow each other.
TEST(InParallel, EachCallRunsBothHalvesOnTwoThreadsAndWaitsForThem) {
  std::atomic<long> total{0};
  for (int call = 0; call < 2000; ++call) {
    std::thread::id here, there;
    InParallel(
        true, [&] { here = std::this_thread::get_id(); total += 1; },
        [&] { there = std::this_thread::get_id(); total += 1000; });
    ASSERT_EQ(total.load(), (call + 1) * 1001L) << call;
    ASSERT_NE(here, there) << call;
  }
}

// A call made inside a half (its helper busy) still runs both of its own,
// and an exception from either half comes out once both have stopped.
TEST(InParallel, NestedCallsAndExceptionsComeOutWhole) {
  std::atomic<int> inner{0};
  InParallel(
      true, [&] { InParallel(true, [&] { ++inner; }, [&] { ++inner; }); },
      [&] { InParallel(true, [&] { ++inner; }, [&] { ++inner; }); });
  EXPECT_EQ(inner.load(), 4);

  // 1: the first half fails, 2: the second, 3: both (the first's comes out).
  for (int failing : {1, 2, 3}) {
    std::atomic<bool> secondDone{false};
    try {
      InParallel(
          true, [&] { if (failing != 2) throw std::runtime_error("first"); },
          [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            secondDone = true;
            if (failing != 1) throw std::runtime_error("second");
          });
      ADD_FAILURE() << "no exception, case " << failing;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), failing == 2 ? "second" : "first");
      EXPECT_TRUE(secondDone.load()) << failing;
    }
  }
  // The helper serves again after a half failed, woken from its sleep, and
  // the call waits for a slow second half.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::atomic<int> after{0};
  InParallel(
      true, [&] { after += 1; },
      [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        after += 2;
      });
  EXPECT_EQ(after.load(), 3);
}

}  // namespace
}  // namespace ds
