#include "ElasticWorkerPool.h"

#include <algorithm>
#include <chrono>

namespace smissim {

namespace {

// How long a worker beyond the base waits for work before it ends.
constexpr std::chrono::seconds kExtraWorkerIdle(30);

}  // namespace

ElasticWorkerPool::ElasticWorkerPool(std::size_t base, std::size_t limit)
    : base_(std::max<std::size_t>(base, 1)), limit_(std::max(limit, base_)) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (std::size_t i = 0; i < base_; ++i) startWorkerLocked();
}

ElasticWorkerPool::~ElasticWorkerPool() { shutdown(); }

void ElasticWorkerPool::startWorkerLocked() {
  const bool extra = running_ >= base_;
  ++running_;
  threads_.emplace_back([this, extra] { work(extra); });
}

void ElasticWorkerPool::enqueue(std::function<void()> task) {
  std::lock_guard<std::mutex> lock(mutex_);
  tasks_.push_back(std::move(task));
  if (idle_ < tasks_.size() && running_ < limit_) startWorkerLocked();
  ready_.notify_one();
}

void ElasticWorkerPool::shutdown() {
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_ && threads_.empty()) return;
    stopping_ = true;
  }
  ready_.notify_all();
  // Workers may start others while the queue drains; join until none is left.
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      threads.swap(threads_);
    }
    if (threads.empty()) break;
    for (std::thread& thread : threads) thread.join();
    threads.clear();
  }
}

void ElasticWorkerPool::work(bool extra) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ++idle_;
    const auto hasWork = [this] { return stopping_ || !tasks_.empty(); };
    bool woken = true;
    if (extra)
      woken = ready_.wait_for(lock, kExtraWorkerIdle, hasWork);
    else
      ready_.wait(lock, hasWork);
    --idle_;
    if (tasks_.empty() && (stopping_ || !woken)) break;
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    task();
    lock.lock();
  }
  --running_;
}

}  // namespace smissim
