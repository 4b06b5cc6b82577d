// The workers that serve the simulator's connections. A fixed pool lets clients that hold their connection
// without finishing a request take every worker, and a well-behaved client then waits until the read
// deadline frees one. This pool keeps `base` workers and starts another whenever a connection arrives while
// none is idle, up to `limit`; workers beyond the base end after a while without work.
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace smissim {

class ElasticWorkerPool : public httplib::TaskQueue {
 public:
  ElasticWorkerPool(std::size_t base, std::size_t limit);
  ~ElasticWorkerPool() override;

  void enqueue(std::function<void()> task) override;
  // Runs what is queued, then ends every worker.
  void shutdown() override;

 private:
  void startWorkerLocked();
  void work(bool extra);

  const std::size_t base_;
  const std::size_t limit_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> tasks_;
  std::vector<std::thread> threads_;
  std::size_t running_ = 0;  // workers alive
  std::size_t idle_ = 0;     // of them, waiting for work
  bool stopping_ = false;
};

}  // namespace smissim
