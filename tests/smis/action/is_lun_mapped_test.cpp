// The mapping check against the simulated 3PAR array: the host's own mapping, another host's only, none,
// and the refusals.
#include "support/MaskingSeed.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

class IsLunMappedTest : public SmisActionTest {
 protected:
  IsLunMappedTest() : SmisActionTest(kMaskingArray) {}
  std::string System() { return lookuptest::SystemNameOf(kMaskingArraySerial); }
  std::string Wwn(const char* volume) { return WwnOf(kMaskingArraySerial, volume); }
};

TEST_F(IsLunMappedTest, TellsOwnOtherAndNoMapping) {
  const std::string ownPath = VolumePath(kMaskingArraySerial, "ownvol").toString().str();
  const struct {
    const char* what;
    std::string volume;
    std::string ports;
    SmisResultCode result;
  } cases[] = {
      {"own host", Wwn("ownvol"), kPortA, kSmisSuccess},
      {"own host, second port among others", Wwn("ownvol"), std::string(kLonePort) + "," + kPortA2, kSmisSuccess},
      {"only another host", Wwn("ownvol"), kPortB, kSmisHostMappingsFound},
      {"port of no host", Wwn("ownvol"), kLonePort, kSmisHostMappingsFound},
      {"mapped to this and another host", Wwn("sharedvol"), kPortB, kSmisSuccess},
      {"not mapped, with ports", Wwn("freevol"), kPortA, kSmisMappingNotFound},
      {"not mapped, no ports", Wwn("freevol"), "null", kSmisMappingNotFound},
      {"any view counts without ports", Wwn("othervol"), "null", kSmisSuccess},
      {"no volume", "null", kPortA, kSmisMappingNotFound},
      // A path text holds commas of its own: the position is never split.
      {"volume as path text", ownPath, kPortA, kSmisSuccess},
      {"unknown volume", "60002AC0000000000000FFFF0C0001", kPortA, kSmisVolumeNotFound},
      {"blank volume name", " ", kPortA, kSmisVolumeNotFound},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = {System(), c.volume, c.ports};
    EXPECT_EQ(c.result, action_.IsLunMapped(conn_, args));
  }
  EXPECT_EQ(0u, sim().methodCalls().size());  // nothing is changed on the array
  EXPECT_EQ(2, CountMessages(record_, "mapped to another host"));
  EXPECT_EQ(kErrorLevel, lookuptest::LevelOf(record_, "mapped to another host"));
}

TEST_F(IsLunMappedTest, RefusalsBeforeAnyVolumeLookup) {
  SmisArgs shortArgs = {System(), Wwn("ownvol")};
  EXPECT_EQ(kSmisTooFewArguments, action_.IsLunMapped(conn_, shortArgs));
  EXPECT_EQ(0u, TotalRequests(server_));
  EXPECT_EQ(1, CountMessages(record_, "    need: SystemName volName initiatorPortsList"));

  SmisArgs unknownSystem = {"2FF70002AC999999", Wwn("ownvol"), kPortA};
  EXPECT_EQ(kSmisObjectNotFound, action_.IsLunMapped(conn_, unknownSystem));
  EXPECT_EQ(1, CountMessages(record_, "SystemName <2FF70002AC999999> not found"));
}

TEST_F(IsLunMappedTest, ProviderFailureIsOne) {
  sim().injectFault(On("AssociatorNames", CimErrorFault(1, "provider down", kLasting)));
  SmisArgs args = {System(), Wwn("ownvol"), kPortA};
  EXPECT_EQ(kSmisFailed, action_.IsLunMapped(conn_, args));
}

}  // namespace
}  // namespace smisactiontest
