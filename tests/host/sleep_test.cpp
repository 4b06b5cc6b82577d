#include <gtest/gtest.h>

#include <cstdlib>

#include "TqSleep.h"

namespace {

class SleepTest : public testing::Test {
 protected:
  void SetUp() override { TqSleepControl::resetCounters(); }
};

TEST_F(SleepTest, InstantWaitsCountWhatWasAskedAndMoveTheWaitClock) {
  TqSleepScope instant(TqSleepMode::Instant);
  const long long before = TqWaitClockSeconds();
  TqSleep(10);
  TqSleep(0);
  TqSleep(-5);
  TqSleepMillis(250);
  TqSleepMillis(-1);
  EXPECT_EQ(TqSleepControl::requestedMillis(), 10250);
  EXPECT_EQ(TqSleepControl::requestCount(), 2);
  EXPECT_EQ(TqSleepControl::skippedMillis(), 10250);
  EXPECT_GE(TqWaitClockSeconds() - before, 10);
}

TEST_F(SleepTest, AWaitForAMomentEndsAfterTheSameNumberOfWaitsWhenInstant) {
  TqSleepScope instant(TqSleepMode::Instant);
  const long long end = TqWaitClockSeconds() + 300;
  int waits = 0;
  while (TqWaitClockSeconds() < end && waits < 1000) {
    TqSleep(10);
    ++waits;
  }
  EXPECT_GE(waits, 29);  // 29 only if the real clock ticked past a second meanwhile
  EXPECT_LE(waits, 30);
}

TEST_F(SleepTest, ScaledWaitsSleepAFractionAndSkipTheRest) {
  TqSleepScope scaled(TqSleepMode::Scaled, 0.001);
  EXPECT_EQ(TqSleepControl::mode(), TqSleepMode::Scaled);
  EXPECT_DOUBLE_EQ(TqSleepControl::factor(), 0.001);
  TqSleep(2);
  EXPECT_EQ(TqSleepControl::requestedMillis(), 2000);
  EXPECT_EQ(TqSleepControl::skippedMillis(), 1998);
}

TEST_F(SleepTest, ScopesPutBackThePreviousModeAndHugeRequestsDoNotOverflow) {
  TqSleepControl::setReal();
  {
    TqSleepScope instant(TqSleepMode::Instant);
    {
      TqSleepScope scaled(TqSleepMode::Scaled, 0.5);
      EXPECT_EQ(TqSleepControl::mode(), TqSleepMode::Scaled);
    }
    EXPECT_EQ(TqSleepControl::mode(), TqSleepMode::Instant);
    TqSleep(9223372036854775807LL);
    TqSleep(9223372036854775807LL);
    EXPECT_GT(TqSleepControl::requestedMillis(), 0);
  }
  EXPECT_EQ(TqSleepControl::mode(), TqSleepMode::Real);
  TqSleepControl::setScaled(0);  // a factor of zero or less is instant
  EXPECT_EQ(TqSleepControl::mode(), TqSleepMode::Instant);
  TqSleepControl::setReal();
}

TEST_F(SleepTest, EnvironmentPicksTheStartingMode) {
  struct Case {
    const char* scale;
    TqSleepMode mode;
    double factor;
  } cases[] = {
      {"0", TqSleepMode::Instant, 1.0}, {"0.01", TqSleepMode::Scaled, 0.01}, {"1", TqSleepMode::Real, 1.0},
      {"-2", TqSleepMode::Real, 1.0},   {"fast", TqSleepMode::Real, 1.0},    {nullptr, TqSleepMode::Real, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scale ? c.scale : "(unset)");
    if (c.scale)
      ::setenv(TqSleepControl::kScaleVariable, c.scale, 1);
    else
      ::unsetenv(TqSleepControl::kScaleVariable);
    TqSleepControl::resetFromEnvironment();
    EXPECT_EQ(TqSleepControl::mode(), c.mode);
    EXPECT_DOUBLE_EQ(TqSleepControl::factor(), c.factor);
  }
  ::unsetenv(TqSleepControl::kScaleVariable);
  TqSleepControl::resetFromEnvironment();
}

}  // namespace
