// The per-device worker runner: never more workers at once than the configured limit, every device worked
// on and joined, and the "thread created" job message written before the worker touches its record.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "SnapInfo.h"
#include "TQPlatformInfo.h"
#include "jobs/DeviceWorkers.h"

namespace {

const char kStarted[] = "SnapDevice Thread created";
const char kWorked[] = "worked";

std::atomic<int> g_running{0};
std::atomic<int> g_mostAtOnce{0};

// Counts the workers running at once, holds on briefly so others overlap it, and marks its device.
void* CountingWorker(void* argument) {
  auto* param = static_cast<SnapThreadParam*>(argument);
  const int now = ++g_running;
  int most = g_mostAtOnce.load();
  while (now > most && !g_mostAtOnce.compare_exchange_weak(most, now)) {
  }
  param->device->logMessage(0, kWorked);
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  param->device->setStatus(TQSO::SS_SNAPSHOT_CREATED);
  --g_running;
  return nullptr;
}

TEST(DeviceWorkers, NeverRunMoreThanTheLimitAndWorkEveryDevice) {
  struct Case {
    bool parallel;
    std::optional<std::string> limitKey;  // "3PAR_MAX_PARALLEL_WORKERS"
    int devices;
    int limit;
  } cases[] = {
      {true, "1", 12, 1}, {true, "3", 40, 3}, {true, {}, 150, 64}, {true, "0", 80, 64}, {false, "3", 5, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.parallel ? "parallel" : "serial") + ", key " + c.limitKey.value_or("-") + ", " +
                 std::to_string(c.devices) + " devices");
    std::unique_ptr<TqConfigOverride> key(
        c.limitKey ? new TqConfigOverride("Corvane", "3PAR_MAX_PARALLEL_WORKERS", *c.limitKey)
                   : new TqConfigOverride("Corvane", "3PAR_MAX_PARALLEL_WORKERS"));
    if (c.parallel) {
      EXPECT_EQ(c.limit, tqengine::ParallelWorkerLimit());
    }
    std::vector<std::unique_ptr<TQSO::SnapInfo>> devices;
    g_mostAtOnce = 0;
    {
      tqengine::DeviceWorkers workers(c.parallel, "test");
      for (int i = 0; i < c.devices; ++i) {
        devices.push_back(std::make_unique<TQSO::SnapInfo>());
        SnapThreadParam* param = workers.NewParam();
        param->device = devices.back().get();
        const auto expected = c.parallel ? tqengine::DeviceWorkers::kStarted : tqengine::DeviceWorkers::kRanHere;
        EXPECT_EQ(expected, workers.Run(&CountingWorker, param, kStarted));
        EXPECT_LE(g_running.load(), c.limit);
      }
    }
    EXPECT_EQ(0, g_running.load()) << "every worker is joined when the runner goes";
    EXPECT_GE(g_mostAtOnce.load(), 1);
    EXPECT_LE(g_mostAtOnce.load(), c.limit);
    for (const auto& device : devices) {
      EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, device->getStatus());
      std::vector<std::string> texts;
      for (const TQSO::JobMessage& message : device->messages()) texts.push_back(message.text);
      // Written by the caller before its worker begins; no message in serial mode.
      const std::vector<std::string> expected =
          c.parallel ? std::vector<std::string>{kStarted, kWorked} : std::vector<std::string>{kWorked};
      EXPECT_EQ(expected, texts);
    }
  }
}

}  // namespace
