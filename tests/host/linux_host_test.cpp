// The Linux host over a fake root: initiators, devices, rescans, and INQUIRY answered from sysfs.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeHostTree.h"
#include "InquiryCommands.h"
#include "LinuxHostPlatform.h"
#include "TQOSUtil.h"
#include "TqDeviceTree.h"

namespace {

// Page 0x83 with one 16-byte NAA designator.
std::vector<unsigned char> page83(unsigned char firstWwnByte) {
  std::vector<unsigned char> page = {0x00, 0x83, 0x00, 0x14, 0x01, 0x03, 0x00, 0x10};
  for (unsigned char i = 0; i < 16; ++i) page.push_back(i == 0 ? firstWwnByte : i);
  return page;
}

class LinuxHost : public testing::Test {
 protected:
  void SetUp() override {
    tree.write("/sys/class/fc_host/host3/port_name", "0x10000000c9a1b2c3\n");
    tree.write("/sys/class/fc_host/host4/port_name", "0x10000000c9a1b2c4\n");
    tree.makeDirectories("/sys/class/fc_host/host5");  // an HBA whose port name is missing
    tree.write("/etc/iscsi/initiatorname.iscsi", "## generated\n#InitiatorName=iqn.old:x\nInitiatorName=" + iqn + "\n");
    tree.write("/sys/class/scsi_host/host0/scan", "");
    tree.write("/sys/class/scsi_host/host3/scan", "");
    tree.addDisk("sda", "ATA", "Samsung SSD");
    tree.addDisk("sdb", "3PARdata", "VV", page83(0x60));
    tree.addDisk("sdc", "3PARdata", "VV", page83(0x50));
    tree.makeDirectories("/sys/block/loop0");  // not SCSI: no device/vendor
  }

  const std::string iqn = "iqn.1994-05.com.redhat:" + std::string(200, 'n');  // 223 bytes
  FakeHostTree tree;
  std::shared_ptr<TQSO::LinuxHostPlatform> platform = std::make_shared<TQSO::LinuxHostPlatform>(tree.root());
};

TEST_F(LinuxHost, InitiatorsComeFromFcHostsAndTheIscsiNameFileUncut) {
  std::vector<TQSO::HostInitiator> ports;
  std::string error;
  ASSERT_TRUE(platform->initiators(ports, error));
  ASSERT_EQ(3u, ports.size());
  EXPECT_EQ("10000000c9a1b2c3", ports[0].name);
  EXPECT_EQ(TQSO::INITIATOR_FC, ports[0].kind);
  EXPECT_EQ("10000000c9a1b2c4", ports[1].name);
  EXPECT_EQ(iqn, ports[2].name);
  EXPECT_EQ(223u, ports[2].name.size());
  EXPECT_EQ(TQSO::INITIATOR_ISCSI, ports[2].kind);

  FakeHostTree empty;
  ports.clear();
  EXPECT_TRUE(TQSO::LinuxHostPlatform(empty.root()).initiators(ports, error)) << "no HBAs is not a failure";
  EXPECT_TRUE(ports.empty());
}

TEST_F(LinuxHost, HostServicesHandTheInitiatorsToTheEngineInTwoCalls) {
  TQSO::TQOSUtil services(nullptr, platform);
  uint16_t namesLength = 0, kindsLength = 0, third = 9;
  EXPECT_NE(1, services.detectHbalist(nullptr, "A1", nullptr, &namesLength, nullptr, &kindsLength, &third));
  const std::string expected = "10000000c9a1b2c3,10000000c9a1b2c4," + iqn;
  EXPECT_EQ(expected.size() + 1, namesLength);
  EXPECT_EQ(3, kindsLength);
  EXPECT_EQ(0, third);
  std::vector<char> names(namesLength);
  std::vector<unsigned char> kinds(kindsLength);
  ASSERT_EQ(1, services.detectHbalist("", "A1", names.data(), &namesLength, kinds.data(), &kindsLength, &third));
  EXPECT_EQ(expected, names.data());
  EXPECT_EQ((std::vector<unsigned char>{0, 0, 1}), kinds);

  uint16_t shortLength = static_cast<uint16_t>(namesLength - 1);
  EXPECT_EQ(0, services.detectHbalist(nullptr, "A1", names.data(), &shortLength, kinds.data(), &kindsLength, &third))
      << "a buffer one byte short is refused, never filled with a cut list";
}

TEST_F(LinuxHost, DeviceListHoldsScsiDisksWithTheVendorFilter) {
  TQSO::TQOSUtil services(nullptr, platform);
  std::vector<char> buffer(4096);
  ASSERT_EQ(0, services.listDevices(nullptr, "3P", '*', 4096, buffer.data()));
  EXPECT_STREQ("/dev/sdb*/dev/sdc*", buffer.data());
  ASSERT_EQ(0, services.listDevices(nullptr, nullptr, '*', 4096, buffer.data()));
  EXPECT_STREQ("/dev/sda*/dev/sdb*/dev/sdc*", buffer.data());
  EXPECT_EQ(19, services.listDevices(nullptr, "3P", '*', 10, buffer.data())) << "size needed";

  tree.remove("/sys/block/sdc/device/vendor");  // the disk goes away while the host lists
  ASSERT_EQ(0, services.listDevices(nullptr, "3P", '*', 4096, buffer.data()));
  EXPECT_STREQ("/dev/sdb*", buffer.data());

  FakeHostTree noSysfs;
  TQSO::TQOSUtil nothing(nullptr, std::make_shared<TQSO::LinuxHostPlatform>(noSysfs.root()));
  EXPECT_LT(nothing.listDevices(nullptr, "3P", '*', 4096, buffer.data()), 0);
}

TEST_F(LinuxHost, RescanDeletesTheListedDevicesAndScansEveryHost) {
  TQSO::TQOSUtil services(nullptr, platform);
  const char* ports[] = {"10000000c9a1b2c3", nullptr};
  const char* deletes[] = {"/dev/sdb", "sdc", nullptr};
  EXPECT_EQ(0, services.rescanBus(nullptr, ports, deletes));
  EXPECT_EQ("- - -", tree.read("/sys/class/scsi_host/host0/scan"));
  EXPECT_EQ("- - -", tree.read("/sys/class/scsi_host/host3/scan"));
  EXPECT_EQ("1", tree.read("/sys/block/sdb/device/delete"));
  EXPECT_EQ("1", tree.read("/sys/block/sdc/device/delete"));
  EXPECT_EQ("", tree.read("/sys/block/sda/device/delete"));

  const char* gone[] = {"/dev/sdq", nullptr};
  EXPECT_EQ(-1, services.rescanBus(nullptr, nullptr, gone)) << "a device that cannot be deleted is a failure";
  EXPECT_EQ("- - -", tree.read("/sys/class/scsi_host/host3/scan")) << "the buses are still scanned";
  EXPECT_EQ(2u, services.rescans().size());
}

TEST_F(LinuxHost, InquiryIsAnsweredFromSysfsWhenTheNodeCannotBeUsed) {
  TqDeviceSourceScope scope(platform);
  CWmError error = CWmError::Success();
  SP<TqDevice> device = TqDeviceTree::getDevice("/dev/sdb", &error);
  ASSERT_NE(nullptr, static_cast<TqDevice*>(device)) << error.AsString();
  EXPECT_EQ("sdb", device->getName());
  EXPECT_EQ(nullptr, device->findInterface("TqDeviceFcIface"));

  unsigned char buffer[255];
  std::memset(buffer, 0xEE, sizeof(buffer));
  ASSERT_EQ(36, inquire(device, kStandardCdb, buffer, &error)) << error.AsString();
  EXPECT_EQ("3PARdata", std::string(reinterpret_cast<char*>(buffer + 8), 8));
  EXPECT_EQ("VV              ", std::string(reinterpret_cast<char*>(buffer + 16), 16));
  EXPECT_EQ(0, buffer[254]) << "the rest of the buffer is zeroed";

  ASSERT_EQ(24, inquire(device, kPage83Cdb, buffer, &error)) << error.AsString();
  EXPECT_EQ(0x83, buffer[1]);
  EXPECT_EQ(0x60, buffer[8]);
  EXPECT_EQ(15, buffer[23]);
  EXPECT_EQ(0, buffer[24]);
}

TEST_F(LinuxHost, BadOrVanishingDevicesFailClearly) {
  TqDeviceSourceScope scope(platform);
  CWmError error = CWmError::Success();
  EXPECT_EQ(nullptr, static_cast<TqDevice*>(TqDeviceTree::getDevice("/dev/sdz", &error)));
  EXPECT_NE(std::string::npos, error.AsString().find("no such device"));
  EXPECT_EQ(nullptr, static_cast<TqDevice*>(TqDeviceTree::getDevice("", &error)));

  unsigned char buffer[255];
  tree.write("/sys/block/sdc/device/vpd_pg83", std::vector<unsigned char>{0x00, 0x83});  // shorter than a header
  SP<TqDevice> shortPage = TqDeviceTree::getDevice("sdc", &error);
  ASSERT_NE(nullptr, static_cast<TqDevice*>(shortPage));
  EXPECT_EQ(-1, inquire(shortPage, kPage83Cdb, buffer, &error));
  EXPECT_NE(std::string::npos, error.AsString().find("header"));

  tree.write("/sys/block/sdc/device/vpd_pg83", std::vector<unsigned char>{0x00, 0x80, 0x00, 0x00});
  EXPECT_EQ(-1, inquire(shortPage, kPage83Cdb, buffer, &error)) << "an answer for another page";

  std::vector<unsigned char> cut = page83(0x60);
  cut.resize(12);  // the header promises 24 bytes
  tree.write("/sys/block/sdc/device/vpd_pg83", cut);
  EXPECT_EQ(-1, inquire(shortPage, kPage83Cdb, buffer, &error));
  EXPECT_NE(std::string::npos, error.AsString().find("cut short"));

  tree.remove("/sys/block/sda/device/vpd_pg83");
  SP<TqDevice> noPage = TqDeviceTree::getDevice("sda", &error);
  EXPECT_EQ(-1, inquire(noPage, kPage83Cdb, buffer, &error)) << "no page 0x83 exposed";

  SP<TqDevice> vanishing = TqDeviceTree::getDevice("/dev/sdb", &error);
  ASSERT_NE(nullptr, static_cast<TqDevice*>(vanishing));
  tree.remove("/sys/block/sdb");
  EXPECT_EQ(-1, inquire(vanishing, kStandardCdb, buffer, &error));
  EXPECT_NE(std::string::npos, error.AsString().find("gone"));
}

}  // namespace
