#include "TqSleep.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <mutex>
#include <thread>

#include "TqNumberParse.h"

const char* const TqSleepControl::kScaleVariable = "TQ_SLEEP_SCALE";

namespace {

// Longest single wait carried out; keeps the millisecond arithmetic far from overflow.
const long long kLongestWaitMillis = 1000LL * 60 * 60 * 24 * 365 * 100;

struct SleepSettings {
  std::mutex mutex;
  bool initialised = false;
  TqSleepMode mode = TqSleepMode::Real;
  double factor = 1.0;
  std::atomic<long long> requested{0};
  std::atomic<long long> count{0};
  std::atomic<long long> skipped{0};
  std::atomic<long long> clockAdvance{0};  // like skipped, but never reset: the wait clock only moves on
};

SleepSettings& settings() {
  static SleepSettings* state = new SleepSettings;  // never destroyed: waits may run during exit
  return *state;
}

void applyLocked(SleepSettings& s, TqSleepMode mode, double factor) {
  s.initialised = true;
  s.mode = mode;
  s.factor = mode == TqSleepMode::Scaled ? factor : 1.0;
}

void initialiseFromEnvironmentLocked(SleepSettings& s) {
  if (s.initialised) return;
  s.initialised = true;
  const char* env = std::getenv(TqSleepControl::kScaleVariable);
  double factor = 0;
  applyLocked(s, TqSleepMode::Real, 1.0);
  if (env == nullptr || !tqhost::parseDouble(env, factor) || factor < 0 || factor == 1) return;
  applyLocked(s, factor == 0 ? TqSleepMode::Instant : TqSleepMode::Scaled, factor);
}

void currentMode(TqSleepMode& mode, double& factor) {
  SleepSettings& s = settings();
  std::lock_guard<std::mutex> hold(s.mutex);
  initialiseFromEnvironmentLocked(s);
  mode = s.mode;
  factor = s.factor;
}

void setMode(TqSleepMode mode, double factor) {
  SleepSettings& s = settings();
  std::lock_guard<std::mutex> hold(s.mutex);
  applyLocked(s, mode, factor);
}

}  // namespace

void TqSleepMillis(long long milliseconds) {
  if (milliseconds <= 0) return;
  if (milliseconds > kLongestWaitMillis) milliseconds = kLongestWaitMillis;
  SleepSettings& s = settings();
  s.requested += milliseconds;
  ++s.count;
  TqSleepMode mode;
  double factor;
  currentMode(mode, factor);
  long long actual = milliseconds;
  if (mode == TqSleepMode::Instant) actual = 0;
  if (mode == TqSleepMode::Scaled) {
    const double scaled = static_cast<double>(milliseconds) * factor;
    actual = scaled >= double(kLongestWaitMillis) ? kLongestWaitMillis : static_cast<long long>(scaled);
  }
  if (actual < milliseconds) {
    s.skipped += milliseconds - actual;
    s.clockAdvance += milliseconds - actual;
  }
  if (actual > 0) std::this_thread::sleep_for(std::chrono::milliseconds(actual));
}

void TqSleep(long long seconds) {
  if (seconds <= 0) return;
  TqSleepMillis(seconds > kLongestWaitMillis / 1000 ? kLongestWaitMillis : seconds * 1000);
}

long long TqWaitClockSeconds() {
  return static_cast<long long>(std::time(nullptr)) + settings().clockAdvance.load() / 1000;
}

void TqSleepControl::setReal() { setMode(TqSleepMode::Real, 1.0); }

void TqSleepControl::setInstant() { setMode(TqSleepMode::Instant, 1.0); }

void TqSleepControl::setScaled(double factor) {
  if (!(factor > 0)) {
    setInstant();
    return;
  }
  setMode(TqSleepMode::Scaled, factor);
}

void TqSleepControl::resetFromEnvironment() {
  SleepSettings& s = settings();
  std::lock_guard<std::mutex> hold(s.mutex);
  s.initialised = false;
  initialiseFromEnvironmentLocked(s);
}

TqSleepMode TqSleepControl::mode() {
  TqSleepMode mode;
  double factor;
  currentMode(mode, factor);
  return mode;
}

double TqSleepControl::factor() {
  TqSleepMode mode;
  double factor;
  currentMode(mode, factor);
  return factor;
}

long long TqSleepControl::requestedMillis() { return settings().requested.load(); }

long long TqSleepControl::requestCount() { return settings().count.load(); }

long long TqSleepControl::skippedMillis() { return settings().skipped.load(); }

void TqSleepControl::resetCounters() {
  SleepSettings& s = settings();
  s.requested = 0;
  s.count = 0;
  s.skipped = 0;
}

TqSleepScope::TqSleepScope(TqSleepMode mode, double factor) {
  currentMode(previousMode_, previousFactor_);
  if (mode == TqSleepMode::Scaled) {
    TqSleepControl::setScaled(factor);
  } else {
    setMode(mode, 1.0);
  }
}

TqSleepScope::~TqSleepScope() { setMode(previousMode_, previousFactor_); }
