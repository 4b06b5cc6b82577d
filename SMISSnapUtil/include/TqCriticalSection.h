// The engine's lock type over the host's lock handle, and its scope guard.
#pragma once

class TqCriticalSectionH;

class TqCriticalSection {
 public:
  // Throws the C string "Not enough memory to initialize TqCriticalSection" when no handle can be made.
  TqCriticalSection();
  ~TqCriticalSection();
  TqCriticalSection(const TqCriticalSection&) = delete;
  TqCriticalSection& operator=(const TqCriticalSection&) = delete;

  // wait true blocks until the calling thread holds the lock; the handle's result is returned.
  int enter(bool wait);
  void leave();

 private:
  TqCriticalSectionH* m_Handle;
};

// Enters the lock for the life of the guard; a null lock makes the guard do nothing.
class TqCriticalSectionLock {
 public:
  explicit TqCriticalSectionLock(TqCriticalSection* lock);
  ~TqCriticalSectionLock();
  TqCriticalSectionLock(const TqCriticalSectionLock&) = delete;
  TqCriticalSectionLock& operator=(const TqCriticalSectionLock&) = delete;

 private:
  TqCriticalSection* m_Lock;
};
