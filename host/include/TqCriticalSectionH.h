// The host's lock handle: a non-recursive mutual-exclusion lock, created on the heap by its owner.
#pragma once

#include <mutex>

class TqCriticalSectionH {
 public:
  TqCriticalSectionH() = default;
  ~TqCriticalSectionH() = default;
  TqCriticalSectionH(const TqCriticalSectionH&) = delete;
  TqCriticalSectionH& operator=(const TqCriticalSectionH&) = delete;

  // wait true: blocks until the calling thread holds the lock, returns 1.
  // wait false: takes the lock only when it is free; 1 when taken, 0 when another thread holds it.
  int enter(bool wait);
  // Releases the lock; only the thread that holds it may call this.
  void leave();

 private:
  std::mutex mutex_;
};
