// Shared set-up of the connection tests: configuration keys of the layer hidden unless a test sets them,
// waits made instant, and connections aimed at a loopback CIMOM with a job record as their sink.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SimFaults.h"
#include "SimProviderSupport.h"
#include "SnapInfo.h"
#include "TQPlatformInfo.h"
#include "TqCimConnection.h"
#include "TqSleep.h"
#include "smis-sim/TestServer.h"

namespace smistest {

using namespace simtest;

// Index of the first job message containing the fragment, -1 when none.
inline int FirstMessage(const TQSO::SnapInfo& record, const std::string& fragment, int from = 0) {
  const std::vector<TQSO::JobMessage> messages = record.messages();
  for (size_t i = static_cast<size_t>(from); i < messages.size(); ++i)
    if (messages[i].text.find(fragment) != std::string::npos) return static_cast<int>(i);
  return -1;
}

// Waits until some job message of the record contains the fragment; false when none does in time.
inline bool AwaitMessage(const TQSO::SnapInfo& record, const std::string& fragment, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (FirstMessage(record, fragment) < 0) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

class ConnectionTest : public ::testing::Test {
 protected:
  ConnectionTest()
      : hiddenTimeout_("Corvane", "TQ_SMIS_CLIENT_TIMEOUT_IN_SEC"),
        hiddenFaultRetry_("Corvane", "TQ_PEGASUS_FAULT_RETRY"),
        hiddenConnLock_("Corvane", "TQ_PEGASUS_DISABLE_CONNLOCK"),
        instantWaits_(TqSleepMode::Instant) {
    TqSleepControl::resetCounters();
  }

  // A connection to the port that traces into `record`.
  static std::unique_ptr<TqCimConnection> ConnectionTo(const TqCimomParams& params, TQSO::SnapInfo& record) {
    std::unique_ptr<TqCimConnection> connection(new TqCimConnection());
    TqCimomParams copy = params;
    connection->m_Cimom.SetCimom(copy);
    connection->m_SnapInfo = &record;
    return connection;
  }

 private:
  TqConfigOverride hiddenTimeout_;
  TqConfigOverride hiddenFaultRetry_;
  TqConfigOverride hiddenConnLock_;
  TqSleepScope instantWaits_;
};

}  // namespace smistest
