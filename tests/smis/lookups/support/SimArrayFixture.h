// Shared set-up of the lookup tests: a simulated 3PAR provider on a loopback port seeded with the test's
// arrays, a connected connection to it, and a lookup object tracing into a job record. Configuration keys
// the lookups read are hidden unless a test sets them, and waits are instant.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimFaults.h"
#include "SimProviderSupport.h"
#include "SnapInfo.h"
#include "TQPlatformInfo.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "TqSleep.h"
#include "TqVolumeInstanceCache.h"
#include "smis-sim/TestServer.h"

namespace lookuptest {

inline smissim::SimulatorOptions OptionsWithSeed(const std::string& seed) {
  smissim::SimulatorOptions options;
  options.seedJson = seed;
  return options;
}

// The system name the simulator gives an array of this serial.
inline std::string SystemNameOf(const std::string& serial) { return "2FF70002AC" + serial; }

using namespace simtest;

// The level of the first job message containing the fragment; -1 when there is none.
inline int LevelOf(const TQSO::SnapInfo& record, const std::string& fragment) {
  for (const TQSO::JobMessage& message : record.messages())
    if (message.text.find(fragment) != std::string::npos) return message.level;
  return -1;
}

class SimArrayTest : public ::testing::Test {
 protected:
  explicit SimArrayTest(const std::string& seed)
      : hiddenCache_("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES"),
        hiddenFaultRetry_("Corvane", "TQ_PEGASUS_FAULT_RETRY"),
        hiddenTimeout_("Corvane", "TQ_SMIS_CLIENT_TIMEOUT_IN_SEC"),
        hiddenLsiPrefix_("Corvane", "LSI_OEM_CLASSNAME_PREFIX"),
        instantWaits_(TqSleepMode::Instant),
        server_(OptionsWithSeed(seed)) {
    TqSleepControl::resetCounters();
    TqVolumeInstanceCache::Clear();
    TqCimomParams params = ParamsFor(server_);
    conn_.m_Cimom.SetCimom(params);
    conn_.m_SnapInfo = &record_;
    util_.m_SnapInfo = &record_;
  }

  void SetUp() override {
    ASSERT_EQ(0, conn_.ConnectCimom());
    server_->clearLog();
    record_.clearMessages();
  }

  void TearDown() override {
    conn_.DisconnectCimom();
    TqVolumeInstanceCache::Clear();
  }

  smissim::Simulator& sim() { return server_.simulator(); }

  // A property of the volume named `name` on the array of `serial`, as the model holds it.
  std::string VolumeProperty(const std::string& serial, const std::string& name, const char* property) {
    return sim().withModel([&](smissim::Model& model) -> std::string {
      smissim::StorageArray* array = model.arrayBySerial(serial);
      const Pegasus::CIMInstance* volume = array ? model.findVolumeByName(*array, name) : nullptr;
      if (!volume) return "";
      Pegasus::Uint32 index = volume->findProperty(property);
      return index == Pegasus::PEG_NOT_FOUND ? "" : volume->getProperty(index).getValue().toString().str();
    });
  }

  std::string WwnOf(const std::string& serial, const std::string& name) { return VolumeProperty(serial, name, "Name"); }

  // The volume's path as the model holds it (no host, no namespace).
  Pegasus::CIMObjectPath VolumePath(const std::string& serial, const std::string& name) {
    std::string wwn = WwnOf(serial, name);
    return sim().withModel([&](smissim::Model& model) { return model.volumePath(wwn); });
  }

  std::uint64_t Requests(const char* operation) { return sim().requestCount(operation); }

  TqConfigOverride hiddenCache_;
  TqConfigOverride hiddenFaultRetry_;
  TqConfigOverride hiddenTimeout_;
  TqConfigOverride hiddenLsiPrefix_;
  TqSleepScope instantWaits_;
  smissim::TestServer server_;
  TQSO::SnapInfo record_;
  TqCimConnection conn_;
  TqCimUtil util_;
};

}  // namespace lookuptest
