#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "TqCriticalSection.h"

namespace {

// 1 when another thread can take the lock now (and gives it back), 0 when it is held.
int FreeForAnotherThread(TqCriticalSection& lock) {
  int taken = 0;
  std::thread probe([&] {
    taken = lock.enter(false);
    if (taken) lock.leave();
  });
  probe.join();
  return taken;
}

TEST(CriticalSectionTest, GuardHoldsTheLockForItsScope) {
  TqCriticalSection lock;
  {
    TqCriticalSectionLock guard(&lock);
    EXPECT_EQ(FreeForAnotherThread(lock), 0);
  }
  EXPECT_EQ(FreeForAnotherThread(lock), 1);
}

TEST(CriticalSectionTest, GuardOverNoLockIsHarmless) {
  // Neither entering nor leaving may reach through the null pointer: in a child process, a guard that did
  // would end it by a signal instead of the clean exit.
  EXPECT_EXIT(
      {
        { TqCriticalSectionLock guard(nullptr); }
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
