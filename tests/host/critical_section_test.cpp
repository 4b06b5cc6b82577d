#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "TqCriticalSectionH.h"

namespace {

TEST(TqCriticalSectionH, KeepsThreadsOutOfEachOthersSection) {
  TqCriticalSectionH* lock = new TqCriticalSectionH;
  long counter = 0;  // deliberately not atomic: only the lock protects it
  const int threads = 8, rounds = 20000;
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&] {
      for (int i = 0; i < rounds; ++i) {
        EXPECT_EQ(lock->enter(true), 1);
        ++counter;
        lock->leave();
      }
    });
  for (std::thread& w : workers) w.join();
  EXPECT_EQ(counter, long(threads) * rounds);
  delete lock;
}

TEST(TqCriticalSectionH, NonWaitingEnterTakesOnlyAFreeLock) {
  TqCriticalSectionH lock;
  ASSERT_EQ(lock.enter(true), 1);
  int fromOtherThread = -1;
  std::thread([&] { fromOtherThread = lock.enter(false); }).join();
  EXPECT_EQ(fromOtherThread, 0);
  lock.leave();
  std::thread([&] {
    fromOtherThread = lock.enter(false);
    if (fromOtherThread == 1) lock.leave();
  }).join();
  EXPECT_EQ(fromOtherThread, 1);
}

}  // namespace
