// The engine's per-device workers: the argument every worker thread gets, and the runner that starts one
// worker per device on a thread of its own (or, in serial mode, runs it on the caller's thread) and joins
// every started thread before it is destroyed.
#pragma once

#include <memory>
#include <vector>

#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "Tq3PARSnapshot.h"
#include "TqThread.h"

// The argument of a worker thread. It belongs to the code that starts the worker and outlives it; a worker
// reads it and never writes it. The pointers are not owned.
struct SnapThreadParam {
  TQSO::SnapInfo* device = nullptr;
  Tq3PARSnapshot snapshot;
  TQSO::TQOSUtil* osUtil = nullptr;
  const char* logTag = nullptr;
  bool asyncReplication = false;
};

namespace tqengine {

class DeviceWorkers {
 public:
  enum Outcome { kRanHere, kStarted, kNotStarted };

  DeviceWorkers(bool parallel, const char* tag) : parallel_(parallel), tag_(tag) {}
  ~DeviceWorkers() { JoinAll(); }
  DeviceWorkers(const DeviceWorkers&) = delete;
  DeviceWorkers& operator=(const DeviceWorkers&) = delete;

  bool parallel() const { return parallel_; }
  // A parameter record for one device, alive as long as the runner.
  SnapThreadParam* NewParam();
  // Runs worker(param): here in serial mode, else on a new thread.
  Outcome Run(TqThread::ThreadFunction worker, SnapThreadParam* param);
  // Joins every started thread ("SnapDevice Thread Joined" each).
  void JoinAll();

 private:
  const bool parallel_;
  const char* tag_;
  std::vector<std::unique_ptr<SnapThreadParam>> params_;
  std::vector<std::unique_ptr<TqThread>> threads_;  // joined before params_ goes
};

}  // namespace tqengine
