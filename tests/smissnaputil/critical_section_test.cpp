#include <gtest/gtest.h>

#include <thread>

#include "TqCriticalSection.h"

namespace {

// 1 when another thread can take the lock now (and gives it back), 0 when it is held.
int FreeForAnotherThread(TqCriticalSection& lock)
{
  int taken = 0;
  std::thread probe([&] {
    taken = lock.enter(false);
    if (taken)
      lock.leave();
  });
  probe.join();
  return taken;
}

TEST(CriticalSectionTest, GuardHoldsTheLockForItsScope)
{
  TqCriticalSection lock;
  {
    TqCriticalSectionLock guard(&lock);
    EXPECT_EQ(FreeForAnotherThread(lock), 0);
  }
  EXPECT_EQ(FreeForAnotherThread(lock), 1);
}

TEST(CriticalSectionTest, GuardOverNoLockIsHarmless)
{
  // Neither entering nor leaving may reach through the null pointer.
  EXPECT_NO_FATAL_FAILURE({ TqCriticalSectionLock guard(nullptr); });
}

}  // namespace
