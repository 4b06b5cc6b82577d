#include "TqThread.h"

#include <system_error>

TqThread::~TqThread() {
  std::lock_guard<std::mutex> hold(mutex_);
  if (thread_.joinable()) thread_.join();
}

int TqThread::createThread(ThreadFunction function, void* argument) {
  if (function == nullptr) return kFailed;
  std::lock_guard<std::mutex> hold(mutex_);
  if (started_) return kFailed;
  try {
    thread_ = std::thread([this, function, argument] { result_ = function(argument); });
  } catch (const std::system_error&) {
    return kFailed;
  }
  started_ = true;
  return kOk;
}

int TqThread::joinThread(void** result) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (!thread_.joinable()) return kFailed;
  thread_.join();
  if (result != nullptr) *result = result_;
  return kOk;
}

bool TqThread::started() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return started_;
}
