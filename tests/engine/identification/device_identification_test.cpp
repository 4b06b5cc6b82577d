// Identifying host devices by INQUIRY: device paths through the host's device tree (scripted answers),
// stored inquiry data, and the descriptor texts of VMware hosts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EvDebug.h"
#include "TQOSUtil.h"
#include "TqDeviceInquiry.h"
#include "TqsoEntryPoints.h"
#include "support/ScriptedDevices.h"

namespace {

using enginetest::Page83;
using enginetest::ScriptedDevice;
using enginetest::StandardData;

const char kWwn6[] = "60002AC0000000000000000100001234";

struct Identified {
  bool read = false;
  std::string vendor, product, arrayId, wwn;
};

Identified Identify(const char* name, const unsigned char* standard = nullptr, const unsigned char* page83 = nullptr) {
  Identified r;
  r.read = getDevArrayInfo(name, r.vendor, r.product, r.arrayId, r.wwn, standard, page83);
  return r;
}

class ScriptedDeviceTest : public ::testing::Test {
 protected:
  ScriptedDeviceTest() : devices_(std::make_shared<enginetest::ScriptedDevices>()), scope_(devices_) {}
  std::shared_ptr<enginetest::ScriptedDevices> devices_;
  TqDeviceSourceScope scope_;
};

TEST_F(ScriptedDeviceTest, ThreeParVolumesGiveWwnAndArray) {
  devices_->add("/dev/sdb", {StandardData("3PARdata", "VV"), Page83(kWwn6)});
  devices_->add("/dev/sdc", {StandardData("3PARdata", "VV"), Page83("50002AC000A1B2C3")});
  Identified b = Identify("/dev/sdb");
  ASSERT_TRUE(b.read);
  EXPECT_EQ("3PARdata", b.vendor);
  EXPECT_EQ("VV", b.product);
  EXPECT_EQ(kWwn6, b.wwn);
  EXPECT_EQ("2FF70002AC001234", b.arrayId);
  Identified c = Identify("/dev/sdc");
  EXPECT_EQ("50002AC000A1B2C3", c.wwn);
  EXPECT_EQ("2FF70002AC00B2C3", c.arrayId);
  EXPECT_EQ(0, tqso_isSupported("/dev/sdb", 0, nullptr, nullptr, 0));
}

TEST_F(ScriptedDeviceTest, OtherDevicesAreReadButNotIdentified) {
  struct Case {
    const char* name;
    std::vector<unsigned char> standard;
    const char* vendor;
    const char* product;
    int supported;
    int commands;  // page 0x83 is asked only of 3PAR volumes
  } cases[] = {
      {"/dev/sdd", StandardData("ATA", "Samsung SSD"), "ATA", "Samsung SSD", 2, 1},
      {"/dev/sde", StandardData("3PARdata", "SES"), "3PARdata", "SES", 2, 1},
      {"/dev/sdf", StandardData("HPE", "VV"), "HPE", "VV", 0, 1},  // the product alone decides support
      {"/dev/sdg", StandardData("3PAR*dat", "VV"), "3PAR dat", "VV", 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    devices_->add(c.name, {c.standard, Page83(kWwn6)});
    const int before = devices_->commands();
    Identified r = Identify(c.name);
    ASSERT_TRUE(r.read);
    EXPECT_EQ(c.commands, devices_->commands() - before);
    EXPECT_EQ(c.vendor, r.vendor);
    EXPECT_EQ(c.product, r.product);
    EXPECT_EQ("", r.wwn);
    EXPECT_EQ("", r.arrayId);
    EXPECT_EQ(c.supported, tqso_isSupported(c.name, 0, nullptr, nullptr, 0));
  }
}

TEST_F(ScriptedDeviceTest, DevicesThatCannotBeReadGiveFalse) {
  devices_->add("/dev/noscsi", {StandardData("3PARdata", "VV"), Page83(kWwn6), false});
  devices_->add("/dev/short", {{}, Page83(kWwn6)});
  devices_->add("/dev/nopage", {StandardData("3PARdata", "VV"), {}});
  devices_->add("/dev/notnaa", {StandardData("3PARdata", "VV"), Page83(kWwn6, 8)});
  devices_->add("/dev/cutid", {StandardData("3PARdata", "VV"), Page83("60002AC000000000")});
  const std::pair<const char*, const char*> cases[] = {
      {"/dev/absent", "Failed to get TqDevice. Error:[no device /dev/absent]."},
      {"/dev/noscsi", "'noscsi' is not SCSI device"},
      {"/dev/short", "Failed to send scsi inquiry cdb, caught exception: scripted failure of /dev/short"},
      {"/dev/nopage", "Fail to send scsi inqury cdb, caught exception:scripted failure of /dev/nopage"},
      {"/dev/notnaa", "does not begin with a whole NAA identifier"},
      {"/dev/cutid", "does not begin with a whole NAA identifier"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    EvDebugCapture log;
    Identified r = Identify(c.first);
    EXPECT_FALSE(r.read);
    EXPECT_EQ("", r.arrayId);
    EXPECT_TRUE(log.contains(c.second));
    EXPECT_EQ(1, tqso_isSupported(c.first, 0, nullptr, nullptr, 0));
  }
  EXPECT_FALSE(Identify(nullptr).read);
  EXPECT_EQ(1, tqso_isSupported(nullptr, 0, nullptr, nullptr, 0));
}

TEST_F(ScriptedDeviceTest, StoredDataReplacesTheCommands) {
  std::vector<unsigned char> standard = StandardData("3PARdata", "VV"), page = Page83(kWwn6);
  standard.resize(255, 0);
  page.resize(255, 0);
  Identified r = Identify("/dev/unknown-to-the-tree", standard.data(), page.data());
  ASSERT_TRUE(r.read);
  EXPECT_EQ(kWwn6, r.wwn);
  EXPECT_EQ(0, devices_->commands());

  devices_->add("/dev/sdh", {StandardData("ATA", "x"), Page83(kWwn6)});
  r = Identify("/dev/sdh", standard.data(), nullptr);
  ASSERT_TRUE(r.read) << "stored standard data, page 0x83 asked of the device";
  EXPECT_EQ(kWwn6, r.wwn);
  EXPECT_EQ(1, devices_->commands());
}

std::string Hex(const std::vector<unsigned char>& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char b : bytes) text += std::string{digits[b >> 4], digits[b & 15]};
  return text;
}

TEST(DescriptorIdentification, VmwareDescriptorsCarryTheirOwnInquiry) {
  const std::string standardHex = Hex(StandardData("3PARdata", "VV"));
  struct Case {
    const char* name;
    std::string descriptor;
    bool read;
    const char* wwn;
    const char* arrayId;
  } cases[] = {
      {"hex data with version",
       "{corvtype:vmware,lunuuid:0200000000" + std::string("60002ac0000000000000000100001234") +
           "565620202020,standardinqury:" + standardHex + ",version:1,password:pw}",
       true, kWwn6, "2FF70002AC001234"},
      {"older descriptor carries characters",
       "{corvtype:vmware,lunuuid:020000000050002ac000a1b2c3,standardinqury:" + std::string(8, '.') +
           "3PARdataVV              ,x:y}",
       true, "50002AC000A1B2C3", "2FF70002AC00B2C3"},
      {"older descriptor longer than the buffer",
       "{corvtype:vmware,lunuuid:020000000050002ac000a1b2c3,standardinqury:" + std::string(8, '.') +
           "3PARdataVV              " + std::string(400, 'z') + ",x:y}",
       true, "50002AC000A1B2C3", "2FF70002AC00B2C3"},
      {"lunuuid too short for NAA 6", "{corvtype:vmware,lunuuid:020000000060002ac0,standardinqury:00,version:1}", false,
       "", ""},
      {"lunuuid too short for its NAA", "{corvtype:vmware,lunuuid:0200000000,standardinqury:00,version:1}", false, "",
       ""},
      {"no lunuuid", "{corvtype:vmware,standardinqury:00}", false, "", ""},
      {"no standard data", "{corvtype:vmware,lunuuid:020000000050002ac000a1b2c3}", false, "", ""},
      {"not a 3PAR volume",
       "{corvtype:vmware,lunuuid:020000000050002ac000a1b2c3,standardinqury:" + Hex(StandardData("EMC", "SYM")) +
           ",version:2}",
       true, "50002AC000A1B2C3", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EvDebugCapture log;
    Identified r = Identify(c.descriptor.c_str());
    EXPECT_EQ(c.read, r.read);
    EXPECT_EQ(c.wwn, r.wwn);
    EXPECT_EQ(c.arrayId, r.arrayId);
    EXPECT_EQ(0u, log.countContaining("password:pw"));
  }
}

}  // namespace
