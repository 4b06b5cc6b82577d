#include "DeviceWorkers.h"

#include <new>

#include "EvDebug.h"

namespace tqengine {

// One started worker: its thread, what it runs, and the message its device gets first.
struct DeviceWorkers::Slot {
  DeviceWorkers* owner = nullptr;
  size_t index = 0;
  TqThread::ThreadFunction worker = nullptr;
  SnapThreadParam* param = nullptr;
  const char* startedText = nullptr;
  std::unique_ptr<TqThread> thread;
};

DeviceWorkers::DeviceWorkers(bool parallel, const char* tag, int limit)
    : parallel_(parallel), tag_(tag), limit_(limit < 1 ? 1 : static_cast<size_t>(limit)) {}

DeviceWorkers::~DeviceWorkers() { JoinAll(); }

SnapThreadParam* DeviceWorkers::NewParam() {
  params_.push_back(std::make_unique<SnapThreadParam>());
  return params_.back().get();
}

void* DeviceWorkers::Begin(void* argument) {
  const Slot& slot = *static_cast<const Slot*>(argument);
  if (slot.startedText != nullptr && slot.param != nullptr && slot.param->device != nullptr)
    slot.param->device->logMessage(0, slot.startedText);
  void* result = slot.worker(slot.param);
  slot.owner->Ended(slot);
  return result;
}

void DeviceWorkers::Ended(const Slot& slot) {
  std::lock_guard<std::mutex> hold(mutex_);
  --running_;
  ended_.push_back(slot.index);
  changed_.notify_all();
}

DeviceWorkers::Outcome DeviceWorkers::Run(TqThread::ThreadFunction worker, SnapThreadParam* param,
                                          const char* startedText) {
  if (!parallel_) {
    worker(param);
    return kRanHere;
  }
  WaitForRoom();
  std::unique_ptr<Slot> slot(new (std::nothrow) Slot());
  if (!slot) return kNotStarted;
  slot->thread.reset(new (std::nothrow) TqThread());
  if (!slot->thread) return kNotStarted;
  slot->owner = this;
  slot->index = slots_.size();
  slot->worker = worker;
  slot->param = param;
  slot->startedText = startedText;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    ++running_;
  }
  if (slot->thread->createThread(&Begin, slot.get()) < 0) {
    std::lock_guard<std::mutex> hold(mutex_);
    --running_;
    return kNotStarted;
  }
  slots_.push_back(std::move(slot));
  return kStarted;
}

void DeviceWorkers::WaitForRoom() {
  std::vector<size_t> ended;
  {
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [this] { return running_ < limit_; });
    ended.swap(ended_);
  }
  for (size_t index : ended) Join(index);
}

void DeviceWorkers::Join(size_t index) {
  if (index >= slots_.size() || !slots_[index]) return;
  slots_[index]->thread->joinThread(nullptr);
  o_logger.DebugLvl(tag_, 2, "SnapDevice Thread Joined");
  slots_[index].reset();
}

void DeviceWorkers::JoinAll() {
  for (size_t index = 0; index < slots_.size(); ++index) Join(index);
  slots_.clear();
  std::lock_guard<std::mutex> hold(mutex_);
  ended_.clear();
}

}  // namespace tqengine
