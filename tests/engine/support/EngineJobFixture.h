// A whole job's setting for the engine's list calls: one simulated 3PAR array on loopback whose volumes are
// exported to the simulated host, the host with those volumes as its disks, the array known to the host
// agent (its login and settings), and one job record per source device.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ArrayRegistry.h"
#include "SimulatedHostPlatform.h"
#include "SimulatorExposureSource.h"
#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TqDeviceTree.h"
#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "smis-sim/TestServer.h"

namespace enginejob {

constexpr const char* kHostPort = "10000000C9A1B2C3";
constexpr const char* kArrayId = "2FF70002AC00ABCD";  // the array's system name, as derived from its WWNs

// An array of serial 00ABCD with `volumes` exported to the host "simhost".
inline std::string ArraySeed(const std::vector<std::string>& volumes, const std::string& serial = "00ABCD",
                             const std::string& extra = "") {
  std::string list, exports;
  int lun = 1;
  for (const std::string& name : volumes) {
    if (!list.empty()) list += ",";
    if (!exports.empty()) exports += ",";
    list += R"({"name":")" + name + R"(","cpg":"FC_r1"})";
    exports += R"({"volume":")" + name + R"(","host":"simhost","lun":)" + std::to_string(lun++) + "}";
  }
  return R"({"arrays":[{"serial":")" + serial + R"(","firmware":"3.1.2","cpgs":["FC_r1"],"volumes":[)" + list +
         R"(],"hosts":[{"name":"simhost","fc":[")" + kHostPort + R"("]}],"exports":[)" + exports + "]" + extra + "}]}";
}

// The engine's record of a device (a test failure when it cannot be read).
inline _TQ3PAR_SnapMetadata RecordOf(TQSO::SnapInfo& device) {
  _TQ3PAR_SnapMetadata record;
  EXPECT_TRUE(getMetadata(&device, record));
  return record;
}

// True when the array model (its JSON text) holds a volume of that name.
inline bool HasVolume(const std::string& model, const std::string& name) {
  return model.find("\"" + name + "\"") != std::string::npos;
}

// The array seeded with `volumes`; a non-empty password replaces the provider's default one.
inline smissim::SimulatorOptions SeededOptions(const std::vector<std::string>& volumes,
                                               const std::string& password = "") {
  smissim::SimulatorOptions options;
  options.seedJson = ArraySeed(volumes);
  if (!password.empty()) options.password = password;
  return options;
}

class EngineJobTest : public ::testing::Test {
 protected:
  explicit EngineJobTest(const std::vector<std::string>& volumes = {"vol1", "vol2"}, const std::string& password = "")
      : array_(SeededOptions(volumes, password)),
        host_(std::make_shared<TQSO::SimulatedHostPlatform>(
            std::vector<TQSO::HostInitiator>{{kHostPort, TQSO::INITIATOR_FC}},
            std::make_shared<TQSO::SimulatorExposureSource>(array_->url(), array_.user(), array_.password()))),
        scope_(host_),
        registry_(std::make_shared<TQSO::ArrayRegistry>()),
        services_(registry_, host_) {
    std::string error;
    if (!host_->rescan({}, {}, error)) ADD_FAILURE() << error;
    KnowArray(25);
  }

  // The array as the host agent knows it, with the engine id of the job.
  void KnowArray(int engineId, const std::string& password = "") {
    TQSO::ArrayEntry entry;
    entry.id = kArrayId;
    entry.info = "{hostName:127.0.0.1,hostUserName:" + array_.user() +
                 ",hostPassword:" + (password.empty() ? array_.password() : password) +
                 ",engineId:" + std::to_string(engineId) + "}";
    entry.settings["SMCONFIG_NAME_SMIS_SERVER_PORT"] = std::to_string(array_.port());
    registry_->put(entry);
  }

  // The host disk of a volume ("" when the host does not see it).
  std::string DiskOf(const std::string& volume) const {
    for (const auto& disk : host_->visibleDevices())
      if (disk.second.volume == volume) return disk.first;
    return "";
  }

  // One job record per volume, its host disk as the device path.
  void JobOf(const std::vector<std::string>& volumes) {
    devices_.clear();
    list_.clear();
    for (const std::string& volume : volumes) {
      auto device = std::make_unique<TQSO::SnapInfo>();
      device->setArrayRegistry(registry_);
      device->setHostDevicePath(DiskOf(volume).c_str());
      device->setSourceDeviceName("snap-" + volume);
      list_.push_back(device.get());
      devices_.push_back(std::move(device));
    }
  }

  // Prepares and snaps every device of the job (a test failure when either call does not fully succeed).
  void SnapAll() {
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  }

  // The array answers the next call of `method` with 4 and changes nothing.
  void RefuseNext(const std::string& method) {
    smissim::FaultRule rule;
    rule.operation = method;
    rule.action = smissim::FaultAction::ForceReturnValue;
    rule.returnValue = 4;
    rule.count = 1;
    array_->injectFault(rule);
  }

  // The array refuses the next exposure of volumes to a host definition.
  void RefuseExposure() { RefuseNext("ExposeLUsToStorageHardwareIDCollection"); }

  // A second array beside the first on the same provider (the first seeded anew with `volumes`): serial 00BEEF,
  // system name "2FF70002AC00BEEF", its volume "far1" exported to the host at LUN 9; its login is registered
  // with the engine id and provider port setting given.
  void AddSecondArray(const std::vector<std::string>& volumes, int engineId, const std::string& port) {
    std::string seed = ArraySeed(volumes);
    seed.replace(seed.size() - 2, 2,
                 R"(,{"serial":"00BEEF","firmware":"3.1.2","cpgs":["FC_r1"],"volumes":[{"name":"far1","cpg":"FC_r1"}],)"
                 R"("hosts":[{"name":"simhost","fc":[")" +
                     std::string(kHostPort) + R"("]}],"exports":[{"volume":"far1","host":"simhost","lun":9}]}]})");
    array_->reset(seed);
    std::string error;
    ASSERT_TRUE(host_->rescan({}, {}, error)) << error;
    TQSO::ArrayEntry entry;
    entry.id = "2FF70002AC00BEEF";
    entry.info = "{hostName:127.0.0.1,hostUserName:" + array_.user() + ",hostPassword:" + array_.password() +
                 ",engineId:" + std::to_string(engineId) + "}";
    entry.settings["SMCONFIG_NAME_SMIS_SERVER_PORT"] = port;
    registry_->put(entry);
  }

  // The extrinsic calls of the method the array received, in order.
  std::vector<smissim::MethodCallRecord> CallsOf(const std::string& method) {
    std::vector<smissim::MethodCallRecord> calls;
    for (const smissim::MethodCallRecord& call : array_->methodCalls())
      if (call.method == method) calls.push_back(call);
    return calls;
  }

  short Count() const { return static_cast<short>(list_.size()); }
  TQSO::SnapInfo& Device(size_t i) { return *devices_.at(i); }
  std::string Model() { return array_->modelJson(); }

  smissim::TestServer array_;
  std::shared_ptr<TQSO::SimulatedHostPlatform> host_;
  TqDeviceSourceScope scope_;
  std::shared_ptr<TQSO::ArrayRegistry> registry_;
  TQSO::TQOSUtil services_;
  std::vector<std::unique_ptr<TQSO::SnapInfo>> devices_;
  std::vector<TQSO::SnapInfo*> list_;
};

}  // namespace enginejob
