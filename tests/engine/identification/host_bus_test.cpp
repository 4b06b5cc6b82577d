// The host's initiator ports and device list as the engine reads them from the host services, and a rescan
// that makes a newly exported volume a host disk.
#include <gtest/gtest.h>

#include <cstring>
#include <list>
#include <string>
#include <vector>

#include "TQOSUtil.h"
#include "TqHostBus.h"
#include "support/EngineJobFixture.h"

namespace {

// Host services answering with fixed texts.
class ScriptedServices : public TQSO::TQOSUtil {
 public:
  std::string names;
  std::vector<unsigned char> kinds;
  std::string firstPort;
  std::string deviceList;
  int listCalls = 0;

  int detectHbalist(const char*, const char*, char* out, uint16_t* outLength, unsigned char* kindsOut,
                    uint16_t* kindsLength, uint16_t* third) override {
    *third = 0;
    if (out == nullptr || *outLength < names.size() + 1) {
      *outLength = static_cast<uint16_t>(names.empty() ? 0 : names.size() + 1);
      *kindsLength = static_cast<uint16_t>(kinds.size());
      return 0;
    }
    std::memcpy(out, names.c_str(), names.size() + 1);
    std::memcpy(kindsOut, kinds.data(), kinds.size());
    return kDetected;
  }
  int detectHostHBA(const char*, const char*, char* buffer, uint16_t* length, bool* iscsi) override {
    *iscsi = false;
    if (*length < firstPort.size() + 1) {
      *length = static_cast<uint16_t>(firstPort.size() + 1);
      return 0;
    }
    std::memcpy(buffer, firstPort.c_str(), firstPort.size() + 1);
    return kDetected;
  }
  int listDevices(const char*, const char*, char, uint32_t size, char* buffer) override {
    ++listCalls;
    if (size < deviceList.size() + 1) return static_cast<int>(deviceList.size() + 1);
    std::memcpy(buffer, deviceList.c_str(), deviceList.size() + 1);
    return 0;
  }
};

TEST(HostInitiators, TheFirstPortsKindDecidesWhichPortsAreTaken) {
  struct Case {
    std::vector<unsigned char> kinds;
    bool iscsi;
    std::list<std::string> taken;
  } cases[] = {
      {{0, 1}, false, {"10:00:00:00:c9:a1:b2:c3"}},
      {{1, 0}, true, {"iqn.1998-01.com.host:a"}},
  };
  for (const Case& c : cases) {
    ScriptedServices services;
    services.names = "10:00:00:00:c9:a1:b2:c3,iqn.1998-01.com.host:a";
    if (c.iscsi) services.names = "iqn.1998-01.com.host:a,10:00:00:00:c9:a1:b2:c3";
    services.kinds = c.kinds;
    std::list<std::string> initiators;
    std::string arrayId = "A";
    bool iscsi = !c.iscsi;
    ASSERT_TRUE(detectHbalist(&services, initiators, "", arrayId, iscsi));
    EXPECT_EQ(c.iscsi, iscsi);
    EXPECT_EQ(c.taken, initiators);
  }
  ScriptedServices none;
  std::list<std::string> initiators;
  std::string arrayId;
  bool iscsi = false;
  EXPECT_FALSE(detectHbalist(&none, initiators, "", arrayId, iscsi));
}

TEST(HostInitiators, FibreChannelNamesAreNormalisedEachOnItsOwn) {
  std::list<std::string> ports = {"10:00:00:00:c9:a1:b2:c3", "5:ab"};
  EXPECT_EQ("10000000C9A1B2C3,5AB", convertHbaList(ports, false));
  std::list<std::string> iscsi = {"iqn.a:b", "iqn.c"};
  EXPECT_EQ("iqn.a:b,iqn.c", convertHbaList(iscsi, true));
  std::list<std::string> empty;
  EXPECT_EQ("", convertHbaList(empty, false));

  ScriptedServices services;
  services.firstPort = "21:00:00:24:ff:" + std::string(2000, 'a');  // needs a larger buffer than the first
  std::string port, arrayId;
  bool iscsiPort = true;
  ASSERT_TRUE(detectHBA(port, iscsiPort, arrayId, &services, "esx1"));
  EXPECT_EQ("21000024FF" + std::string(2000, 'A'), port);
}

TEST(HostDeviceList, EntriesAreSplitAtTheSeparator) {
  struct Case {
    std::string answer;
    std::list<std::string> entries;
  } cases[] = {
      {"/dev/sda*/dev/sdb*", {"/dev/sda", "/dev/sdb"}},
      {"/dev/sda*/dev/sdb", {"/dev/sda", "/dev/sdb"}},
      {"{corvtype:vmware,a:1*2}*{corvtype:vmware,b:2}*", {"{corvtype:vmware,a:1*2}", "{corvtype:vmware,b:2}*"}},
      {std::string(5000, 'x') + "*", {std::string(5000, 'x')}},
  };
  for (const Case& c : cases) {
    ScriptedServices services;
    services.deviceList = c.answer;
    std::list<std::string> devices;
    ASSERT_TRUE(getDeviceList(devices, &services, "")) << c.answer;
    EXPECT_EQ(c.entries, devices) << c.answer;
  }
  ScriptedServices empty;
  std::list<std::string> devices;
  EXPECT_FALSE(getDeviceList(devices, &empty, ""));
}

class HostRescan : public enginejob::EngineJobTest {
 protected:
  HostRescan() : EngineJobTest({"vol1"}) {}
};

TEST_F(HostRescan, ANewlyExportedVolumeBecomesAHostDeviceWithItsWwn) {
  std::list<std::string> before, after;
  ASSERT_TRUE(getDeviceList(before, &services_, ""));
  ASSERT_EQ(1u, before.size());

  array_->reset(enginejob::ArraySeed({"vol1", "vol2"}));
  std::list<std::string> initiators;
  std::string arrayId = enginejob::kArrayId;
  bool iscsi = true;
  ASSERT_TRUE(detectHbalist(&services_, initiators, "", arrayId, iscsi));
  EXPECT_FALSE(iscsi);
  refreshSystemBus(&services_, initiators, {}, "");
  ASSERT_TRUE(getDeviceList(after, &services_, ""));
  ASSERT_EQ(2u, after.size());

  std::list<DeviceCheckParams> ids;
  GetDeviceIdsFromDeviceList(after, ids, nullptr, nullptr);
  ASSERT_EQ(2u, ids.size());
  for (const DeviceCheckParams& id : ids) EXPECT_EQ(enginejob::kArrayId, id.arrayId);
  std::list<std::string> paths;
  getAllDevicePaths(ids.back().lunWWN, after, "", paths);
  EXPECT_EQ(std::list<std::string>{ids.back().deviceName}, paths);
  getAllDevicePaths("", after, "", paths);
  EXPECT_TRUE(paths.empty()) << "an empty WWN matches no device";
}

}  // namespace
