// The array's firmware version read from the provider's software identities, and the hardware-ID texts it
// selects, against the simulated 3PAR array.
#include "SmisHardwareId.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

class FirmwareVersionTest : public SmisActionTest {
 protected:
  void SetFirmware(const std::string& version, std::uint16_t build) {
    sim().withModel([&](smissim::Model& model) {
      model.setFirmware(*model.arrayBySerial(kOneArraySerial), version, build);
      return 0;
    });
  }
};

// The version read back, and the prefix of the hardware-ID texts it selects (byte order, not numeric).
TEST_F(FirmwareVersionTest, VersionSelectsTheHardwareIdPrefix) {
  const struct {
    const char* version;
    const char* prefix;
  } cases[] = {{"3.1.2", "HP_3PAR:"}, {"3.1.10", "HP_3PAR:"}, {"3.2.1", "HP_3PAR:"},
               {"3.1.1", "3PAR:"},    {"2.3.1", "3PAR:"},     {"10.0", "3PAR:"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    SetFirmware(c.version, 321);
    std::string version;
    std::uint16_t build = 0;
    ASSERT_TRUE(action_.Get3PARFirmware(conn_, version, build));
    EXPECT_EQ(c.version, version);
    EXPECT_EQ(321, build);
    EXPECT_STREQ(c.prefix, smishwid::InstanceIdPrefix(version));
    EXPECT_EQ(std::string("TPD_StorageHardwareID.InstanceID=\"") + c.prefix + "FC-10000000C9A1B2C3\"",
              smishwid::HardwareIdText(smishwid::InstanceIdPrefix(version), "10:00:00:00:c9:a1:b2:c3"));
  }
}

TEST_F(FirmwareVersionTest, InstanceIdMatchesExactly) {
  SetFirmware("3.1.1", 99);  // read under "3PAR:InForm OS Version"
  std::string version = "stale";
  std::uint16_t build = 7;
  EXPECT_EQ(0u, action_.GetVersionStrings(conn_, "3par:InForm OS Version", version, build));
  EXPECT_EQ("", version);
  EXPECT_EQ(7, build);  // the caller's value stays when nothing matches
  EXPECT_EQ(0u, action_.GetVersionStrings(conn_, "3PAR:InForm OS Version", version, build));
  EXPECT_EQ("3.1.1", version);
  EXPECT_EQ(99, build);
  EXPECT_EQ(2, CountMessages(record_, "Class [CIM_SoftwareIdentity] got 1 instances"));
}

// A build number of 0 counts as no version under either InstanceID.
TEST_F(FirmwareVersionTest, BuildZeroIsNoVersion) {
  SetFirmware("3.2.1", 0);
  std::string version;
  std::uint16_t build = 0;
  EXPECT_FALSE(action_.Get3PARFirmware(conn_, version, build));
  EXPECT_EQ(2, CountMessages(record_, "Class [CIM_SoftwareIdentity]"));
}

TEST_F(FirmwareVersionTest, ProviderErrorStillAnswersZeroWithNoVersion) {
  sim().injectFault(On("EnumerateInstances", CimErrorFault(1, "provider down", kLasting)));
  std::string version = "stale";
  std::uint16_t build = 5;
  EXPECT_EQ(0u, action_.GetVersionStrings(conn_, "HP_3PAR:InForm OS Version", version, build));
  EXPECT_EQ("", version);
  EXPECT_EQ(5, build);
  EXPECT_EQ(1, CountMessages(record_, "Caught CIMException"));
  EXPECT_FALSE(action_.Get3PARFirmware(conn_, version, build));
}

TEST(HardwareIdText, PortKindsAndForms) {
  const struct {
    const char* port;
    const char* text;
  } cases[] = {
      {"10000000c9a1b2c3", "TPD_StorageHardwareID.InstanceID=\"3PAR:FC-10000000C9A1B2C3\""},
      {"iqn.1994-05.com.redhat:h1", "TPD_StorageHardwareID.InstanceID=\"3PAR:iSCSI-iqn.1994-05.com.redhat:h1\""},
      {"IQN.1994-05.com.Example:A", "TPD_StorageHardwareID.InstanceID=\"3PAR:iSCSI-IQN.1994-05.com.Example:A\""},
      {"eui.02004567A425678D", "TPD_StorageHardwareID.InstanceID=\"3PAR:iSCSI-eui.02004567A425678D\""},
      {"naa.52004567BA64678D", "TPD_StorageHardwareID.InstanceID=\"3PAR:iSCSI-naa.52004567BA64678D\""},
      // Quoting survives a port text that holds a quote.
      {"iqn.x\"y", "TPD_StorageHardwareID.InstanceID=\"3PAR:iSCSI-iqn.x\\\"y\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.port);
    EXPECT_EQ(c.text, smishwid::HardwareIdText("3PAR:", c.port));
  }
}

}  // namespace
}  // namespace smisactiontest
