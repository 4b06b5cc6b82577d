// The host's thread service: one thread per object, started with a function and its argument, joined
// once. Deleting an object whose thread was started and never joined joins it first, so no thread is
// ever left running behind a deleted object.
#pragma once

#include <mutex>
#include <thread>

class TqThread {
 public:
  typedef void* (*ThreadFunction)(void*);

  static constexpr int kOk = 0;
  static constexpr int kFailed = -1;

  TqThread() = default;
  virtual ~TqThread();
  TqThread(const TqThread&) = delete;
  TqThread& operator=(const TqThread&) = delete;

  // Starts the thread. kOk, or kFailed for a null function, a second start or a thread that could not
  // be made.
  virtual int createThread(ThreadFunction function, void* argument);
  // Waits for the thread and stores what its function returned (when result is not null). kOk, or
  // kFailed when no thread was started or it was already joined (then *result is left as it was).
  virtual int joinThread(void** result);

  bool started() const;

 private:
  mutable std::mutex mutex_;
  std::thread thread_;
  bool started_ = false;
  void* result_ = nullptr;
};
