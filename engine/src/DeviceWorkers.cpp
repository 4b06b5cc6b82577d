#include "DeviceWorkers.h"

#include <new>

#include "EvDebug.h"

namespace tqengine {

SnapThreadParam* DeviceWorkers::NewParam() {
  params_.push_back(std::make_unique<SnapThreadParam>());
  return params_.back().get();
}

DeviceWorkers::Outcome DeviceWorkers::Run(TqThread::ThreadFunction worker, SnapThreadParam* param) {
  if (!parallel_) {
    worker(param);
    return kRanHere;
  }
  std::unique_ptr<TqThread> thread(new (std::nothrow) TqThread());
  if (!thread || thread->createThread(worker, param) < 0) return kNotStarted;
  threads_.push_back(std::move(thread));
  return kStarted;
}

void DeviceWorkers::JoinAll() {
  for (std::unique_ptr<TqThread>& thread : threads_) {
    thread->joinThread(nullptr);
    o_logger.DebugLvl(tag_, 2, "SnapDevice Thread Joined");
  }
  threads_.clear();
}

}  // namespace tqengine
