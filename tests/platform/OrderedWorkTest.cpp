#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/OrderedWork.h"

using hovrak::TOrderedWork;

// Jobs that end in a scrambled order still come out in job order, and no more than
// the window's worth run ahead of the taker, however slow it is.
TEST(OrderedWork, ResultsInJobOrderWithinTheWindow) {
  constexpr int kJobs = 200, kThreads = 4, kWindow = 5;
  std::atomic<int> started{0};
  std::atomic<int> taken{0};
  std::atomic<int> furthestAhead{0};
  TOrderedWork<int> work(kJobs, kThreads, kWindow, [&](int index, int worker) {
    EXPECT_GE(worker, 0);
    EXPECT_LT(worker, kThreads);
    const int ahead = ++started - taken.load();
    for (int seen = furthestAhead.load(); ahead > seen && !furthestAhead.compare_exchange_weak(seen, ahead);) {
    }
    std::this_thread::sleep_for(std::chrono::microseconds((index * 7919) % 13 * 50));
    return index * 3;
  });
  for (int i = 0; i < kJobs; ++i) {
    if (i % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(work.Take(i), i * 3);
    ++taken;
  }
  EXPECT_LE(furthestAhead.load(), kWindow + 1);
}

// A job's exception comes out of Take for that job; a taker's exception (a stop)
// leaves the destructor to cancel what has not started and wait for the rest.
TEST(OrderedWork, ErrorsReachTheTakerAndAStopEndsTheWork) {
  {
    TOrderedWork<int> work(10, 2, 4, [](int index, int) {
      if (index == 3) throw std::runtime_error("job 3");
      return index;
    });
    for (int i = 0; i < 3; ++i) EXPECT_EQ(work.Take(i), i);
    EXPECT_THROW(work.Take(3), std::runtime_error);
    EXPECT_EQ(work.Take(4), 4);
  }
  std::atomic<int> ran{0};
  const auto begin = std::chrono::steady_clock::now();
  try {
    TOrderedWork<int> work(100000, 3, 6, [&](int index, int) {
      ++ran;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      return index;
    });
    // The first result cannot be ready yet: whether the taker waits for a worker or
    // runs a job itself meanwhile, the hook is called, and the stop raised there
    // passes on.
    work.Take(
        0, [] { throw std::runtime_error("stop"); }, std::chrono::milliseconds(0));
    FAIL() << "the stop did not pass on";
  } catch (const std::runtime_error&) {
  }
  EXPECT_LT(ran.load(), 20);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
}

// With one thread in all every job runs inside Take, on the taker's thread.
TEST(OrderedWork, OneThreadRunsEveryJobInTheTaker) {
  const std::thread::id taker = std::this_thread::get_id();
  TOrderedWork<std::thread::id> work(5, 1, 2, [](int, int worker) {
    EXPECT_EQ(worker, 0);
    return std::this_thread::get_id();
  });
  for (int i = 0; i < 5; ++i) EXPECT_EQ(work.Take(i), taker);
}
