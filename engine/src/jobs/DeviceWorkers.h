// The engine's per-device workers: the argument every worker thread gets, and the runner that starts one
// worker per device on a thread of its own (or, in serial mode, runs it on the caller's thread) and joins
// every started thread before it is destroyed.
//
// At most `limit` workers of one runner run at once: Run waits for one to end before it starts another, so
// a call over thousands of devices never holds thousands of threads and connections. Run and JoinAll are
// called from the caller's thread only.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "Tq3PARSnapshot.h"
#include "TqEngineSettings.h"
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

  // limit: workers running at once (below 1: one).
  DeviceWorkers(bool parallel, const char* tag, int limit = ParallelWorkerLimit());
  ~DeviceWorkers();
  DeviceWorkers(const DeviceWorkers&) = delete;
  DeviceWorkers& operator=(const DeviceWorkers&) = delete;

  bool parallel() const { return parallel_; }
  // A parameter record for one device, alive as long as the runner.
  SnapThreadParam* NewParam();
  // Runs worker(param): here in serial mode, else on a new thread once fewer than the limit run. A started
  // worker's device gets `startedText` (when not null) as a job message on the worker's thread, just before
  // the worker begins, so the caller never writes a record its worker is writing.
  Outcome Run(TqThread::ThreadFunction worker, SnapThreadParam* param, const char* startedText = nullptr);
  // Joins every started thread ("SnapDevice Thread Joined" each).
  void JoinAll();

 private:
  struct Slot;
  static void* Begin(void* slot);
  void Ended(const Slot& slot);
  // Waits until fewer than the limit run, then joins the threads that have ended.
  void WaitForRoom();
  void Join(size_t index);

  const bool parallel_;
  const char* tag_;
  const size_t limit_;
  std::vector<std::unique_ptr<SnapThreadParam>> params_;
  std::vector<std::unique_ptr<Slot>> slots_;  // by start order; null once joined, all joined before params_ goes
  std::mutex mutex_;
  std::condition_variable changed_;
  size_t running_ = 0;
  std::vector<size_t> ended_;  // slots whose worker has returned, not yet joined
};

}  // namespace tqengine
