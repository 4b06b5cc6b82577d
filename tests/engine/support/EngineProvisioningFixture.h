// Shared set-up of the engine's provisioning tests: a simulated 3PAR provider on a loopback port, the host
// services knowing its control host (host id, port setting), LUN records filled as the host fills them,
// instant waits, and every configuration key the calls read hidden unless a test sets it.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "EvDebug.h"
#include "LUNInfo.h"
#include "SimFaults.h"
#include "SimProviderSupport.h"
#include "TQOSUtil.h"
#include "TQPassword.h"
#include "TQPlatformInfo.h"
#include "TqSleep.h"
#include "TqsoEntryPoints.h"
#include "smis-sim/TestServer.h"

namespace engprov {

using namespace simtest;

// One array with an online and an offline pool, two volumes and a host with an iSCSI and an FC port that
// sees one of them.
constexpr const char* kOneArray = R"({
  "arrays": [
    {"serial": "0B0001",
     "cpgs": [{"name": "FC_r5", "totalManagedSpace": 107374182400, "currentSpaceConsumed": 10737418240},
              {"name": "Broken", "operationalStatus": [6]}],
     "volumes": [{"name": "vol1", "cpg": "FC_r5", "sizeBytes": 104857600},
                 {"name": "shared", "cpg": "FC_r5", "sizeBytes": 209715200}],
     "hosts": [{"name": "hostA", "iscsi": ["iqn.1994-05.com.redhat:a1"], "fc": ["10000000C9AA0001"]}],
     "exports": [{"volume": "shared", "host": "hostA"}]}
  ]
})";

inline smissim::SimulatorOptions Seeded(const std::string& seed) {
  smissim::SimulatorOptions options;
  options.seedJson = seed;
  return options;
}

// The system name the simulator gives an array of this serial.
inline std::string SystemNameOf(const std::string& serial) { return "2FF70002AC" + serial; }

const int kHostId = 7;
const char kUnreachableHost[] = "localhost";  // a control host whose port setting names a closed port
const int kUnreachableHostId = 8;
const int kClosedPort = 1;

class EngineProvisioningTest : public ::testing::Test {
 protected:
  explicit EngineProvisioningTest(const std::string& seed = kOneArray)
      : hidePort_("~Corvane", "3PAR_SMIS_PORT"),
        hideHttps_("~Corvane", "3PAR_SMIS_USE_HTTPS"),
        hideFull_("~Corvane", "nHP3PAREnableFullyProvision"),
        hideFaultRetry_("Corvane", "TQ_PEGASUS_FAULT_RETRY"),
        hidePoolCheck_("Corvane", "nHP3PARDisablePoolCheck"),
        hideTimeout_("Corvane", "TQ_SMIS_CLIENT_TIMEOUT_IN_SEC"),
        instantWaits_(TqSleepMode::Instant),
        server_(Seeded(seed)),
        registry_(std::make_shared<TQSO::ArrayRegistry>()),
        os_(registry_, nullptr) {
    PutControlHost(server_.host(), kHostId, server_.port());
    PutControlHost(kUnreachableHost, kUnreachableHostId, kClosedPort);
    os_.setJobId(4242);
  }

  void PutControlHost(const std::string& host, int hostId, int port) {
    registry_->put(TQSO::ArrayEntry{"array-" + host,
                                    "{hostid:" + std::to_string(hostId) + ",hostName:" + host + "}",
                                    host,
                                    hostId,
                                    {{"SMCONFIG_NAME_SMIS_SERVER_PORT", std::to_string(port)}}});
  }

  smissim::Simulator& sim() { return server_.simulator(); }

  // A LUN record as the host fills it for the simulated array (array name given in lower case).
  // No size: the host gives none.
  std::unique_ptr<TQSO::LUNInfo> Lun(const std::string& volume, const std::string& pool = "FC_r5",
                                     std::optional<long> sizeBytes = 1073741824L) {
    auto lun = std::make_unique<TQSO::LUNInfo>();
    lun->setArrayNameText("2ff70002ac0b0001");
    lun->setArrayControlHostText(server_.host());
    lun->setArrayLoginText(server_.user());
    lun->setArrayPasswordText(TQPassword::encipher(server_.password()));
    lun->setRequestVolumeName(volume);
    lun->setPoolNameText(pool);
    if (sizeBytes) lun->setVolumeSizeBytes(*sizeBytes);
    lun->setJobId(99);
    return lun;
  }

  template <class Call>
  TQSO::ResultCode Run(Call call, const std::vector<TQSO::LUNInfo*>& luns) {
    std::vector<TQSO::LUNInfo*> list = luns;
    return call(list.data(), static_cast<short>(list.size()), &os_);
  }

  const Pegasus::CIMInstance* FindVolume(smissim::Model& model, const std::string& name) {
    smissim::StorageArray* array = model.arrayBySerial("0B0001");
    return array ? model.findVolumeByName(*array, name) : nullptr;
  }

  bool VolumeExists(const std::string& name) {
    return sim().withModel([&](smissim::Model& model) { return FindVolume(model, name) != nullptr; });
  }

  std::string VolumeProperty(const std::string& name, const char* property) {
    return sim().withModel([&](smissim::Model& model) -> std::string {
      const Pegasus::CIMInstance* volume = FindVolume(model, name);
      if (!volume) return "";
      Pegasus::Uint32 index = volume->findProperty(property);
      return index == Pegasus::PEG_NOT_FOUND ? "" : volume->getProperty(index).getValue().toString().str();
    });
  }

  void RemoveVolumeBehindTheEnginesBack(const std::string& name) {
    sim().withModel([&](smissim::Model& model) {
      const Pegasus::CIMInstance* volume = FindVolume(model, name);
      ASSERT_NE(nullptr, volume);
      model.removeVolume(*model.arrayBySerial("0B0001"), volume->getPath());
    });
  }

  const std::string array_ = SystemNameOf("0B0001");
  TqConfigOverride hidePort_, hideHttps_, hideFull_, hideFaultRetry_, hidePoolCheck_, hideTimeout_;
  TqSleepScope instantWaits_;
  smissim::TestServer server_;
  std::shared_ptr<TQSO::ArrayRegistry> registry_;
  TQSO::TQOSUtil os_;
};

}  // namespace engprov
