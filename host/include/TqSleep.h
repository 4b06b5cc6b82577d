// The one way the system waits. Every pause (job polls, retry pauses, rescan windows) goes through
// TqSleep, so that tests can make waiting instant or shorter and read how much waiting was asked for.
//
// Modes: real (default), instant (returns at once), scaled (sleeps the requested time times a factor).
// The environment variable TQ_SLEEP_SCALE picks the starting mode: 0 instant, a positive factor scaled
// (1 real). TqWaitClockSeconds is the wall clock plus the time that instant or scaled waits skipped, so
// a loop that waits until a moment passes ends after the same number of waits in every mode. Scaled mode
// also scales the CIM client's answer timeout, so that a late answer is seen without waiting minutes.
#pragma once

#include <cstdint>

// Waits the given time; zero or negative means no wait.
void TqSleep(long long seconds);
void TqSleepMillis(long long milliseconds);

// Seconds since the epoch as the waits see them.
long long TqWaitClockSeconds();

enum class TqSleepMode { Real, Instant, Scaled };

class TqSleepControl {
 public:
  static const char* const kScaleVariable;  // "TQ_SLEEP_SCALE"

  static void setReal();
  static void setInstant();
  // factor > 0; a factor of 1 is the same as real.
  static void setScaled(double factor);
  // Takes the mode from TQ_SLEEP_SCALE again (real when unset or not a number of 0 or more).
  static void resetFromEnvironment();
  static TqSleepMode mode();
  static double factor();

  // Counters since the start or the last reset.
  static long long requestedMillis();  // sum of all positive requests
  static long long requestCount();     // number of positive requests
  static long long skippedMillis();    // requested but not slept (instant and scaled waits)
  static void resetCounters();
};

// Sets a mode for the life of the object and puts back the previous one.
class TqSleepScope {
 public:
  explicit TqSleepScope(TqSleepMode mode, double factor = 1.0);
  ~TqSleepScope();
  TqSleepScope(const TqSleepScope&) = delete;
  TqSleepScope& operator=(const TqSleepScope&) = delete;

 private:
  TqSleepMode previousMode_;
  double previousFactor_;
};
