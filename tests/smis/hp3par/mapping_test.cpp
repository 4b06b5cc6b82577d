// The mapping check of a 3PAR volume against initiator ports: presented to them, to another host only, to
// nobody, or not there; and the codes of the underlying check.
#include <gtest/gtest.h>

#include "support/ProvisioningFixture.h"

using namespace Pegasus;
using namespace provtest;

namespace {

class MappingCheckTest : public ProvisioningTest {
 protected:
  int StateOf(const std::string& volume, const std::string& initiators) {
    std::string uuid;
    return util3par_.IsVolumeMapped(conn_, array1_, volume, initiators, uuid);
  }
};

TEST_F(MappingCheckTest, StatesOfNamedVolumesAgainstPorts) {
  struct Case {
    const char* volume;
    std::string initiators;
    int state;
  } cases[] = {
      {"shared", kHostAIscsi, kHP3ParMappedToPorts},
      {"shared", std::string(kHostBFc) + "," + kHostAFc, kHP3ParMappedToPorts},  // one of the ports is enough
      {"shared", kHostBFc, kHP3ParMappedToOtherHost},
      {"vol10", kHostBFc, kHP3ParMappedToPorts},
      {"vol1", kHostAIscsi, kHP3ParNotMapped},
      {"nosuchvol", kHostAIscsi, kHP3ParVolumeNameNotFound},
      {"vol", kHostBFc, kHP3ParVolumeNameNotFound},  // part of vol1 and vol10: selects neither
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.volume) + " / " + c.initiators);
    EXPECT_EQ(c.state, StateOf(c.volume, c.initiators));
  }
  EXPECT_EQ(0, record_.errorCode());
}

TEST_F(MappingCheckTest, MissingArgumentsAskNothing) {
  std::string uuid;
  EXPECT_EQ(kHP3ParMappingError, util3par_.IsVolumeMapped(conn_, array1_, "shared", "", uuid));
  EXPECT_EQ(kHP3ParMappingError, util3par_.IsVolumeMapped(conn_, array1_, "", kHostAIscsi, uuid));
  EXPECT_EQ(kHP3ParMappingError, util3par_.IsVolumeMapped(conn_, "", "shared", kHostAIscsi, uuid));
  EXPECT_EQ(0u, TotalRequests(server_));
}

TEST_F(MappingCheckTest, TheUniqueNameIsFilledOrTakenAsGiven) {
  std::string uuid;
  EXPECT_EQ(kHP3ParMappedToPorts, util3par_.IsVolumeMapped(conn_, array1_, "shared", kHostAIscsi, uuid));
  EXPECT_EQ(WwnOf("0B0001", "shared"), uuid);

  // A unique name passed in is what is checked: here that of an unmapped volume.
  uuid = WwnOf("0B0001", "vol1");
  EXPECT_EQ(kHP3ParNotMapped, util3par_.IsVolumeMapped(conn_, array1_, "shared", kHostAIscsi, uuid));
  EXPECT_EQ(WwnOf("0B0001", "vol1"), uuid);
}

// Failures of the check are state 0, never "mapped", and set the error on the record.
TEST_F(MappingCheckTest, FailuresOfTheCheckAreErrorsNotMappings) {
  std::string uuid = "60002AC0000000000000FFFF0B0001";  // no such volume by unique name
  EXPECT_EQ(kHP3ParMappingError, util3par_.IsVolumeMapped(conn_, array1_, "shared", kHostAIscsi, uuid));
  EXPECT_EQ(static_cast<int>(kSmisVolumeNotFound), record_.errorCode());
  EXPECT_EQ("HP3ParCimUtil::IsVolumeMapped: Volume shared not found", record_.errorText());

  // The views cannot be read: a failure of the CIM layer.
  server_->injectFault(On("AssociatorNames", CimErrorFault(CIM_ERR_FAILED, "busy", kLasting)));
  uuid.clear();
  EXPECT_EQ(kHP3ParMappingError, util3par_.IsVolumeMapped(conn_, array1_, "shared", kHostAIscsi, uuid));
  EXPECT_EQ(3, record_.errorCode());
  EXPECT_EQ("HP3ParCimUtil::IsVolumeMapped:SMIS API failure", record_.errorText());
  sim().clearFaults();

  // The volume is found but its array's system no longer is: the check answers "array not found".
  sim().withModel([](smissim::Model& model) {
    smissim::StorageArray* array = model.arrayBySerial("0B0001");
    Pegasus::CIMObjectPath system = array->system;
    return model.store().remove(system);
  });
  record_.setError(0, "");
  uuid.clear();
  EXPECT_EQ(kHP3ParMappingError, util3par_.IsVolumeMapped(conn_, array1_, "shared", kHostAIscsi, uuid));
  EXPECT_EQ(3, record_.errorCode());
  EXPECT_EQ(1, CountMessages(record_, "HP3ParCimUtil::IsVolumeMappedUtil: SystemName <" + array1_ + "> not found"));
}

TEST_F(MappingCheckTest, TheUnderlyingCheckAnswersWithCodes) {
  const std::string shared = WwnOf("0B0001", "shared");
  const std::string sharedPath = VolumePath("0B0001", "shared").toString().str();
  struct Case {
    const char* what;
    std::vector<std::string> args;
    SmisResultCode code;
  } cases[] = {
      {"two positions", {array1_, shared}, kSmisTooFewArguments},
      {"unknown array", {"2FF70002AC0FFFFF", shared, kHostAIscsi}, kSmisObjectNotFound},
      {"unknown unique name", {array1_, "60002AC0000000000000FFFF0B0001", kHostAIscsi}, kSmisVolumeNotFound},
      {"no volume", {array1_, "null", kHostAIscsi}, kSmisMappingNotFound},
      {"by path", {array1_, sharedPath, kHostAIscsi}, kSmisSuccess},
      {"no ports, mapped", {array1_, shared, "null"}, kSmisSuccess},
      {"no ports, unmapped", {array1_, WwnOf("0B0001", "vol1"), "null"}, kSmisMappingNotFound},
      {"other host", {array1_, shared, kHostBFc}, kSmisHostMappingsFound},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.code, util3par_.IsVolumeMappedUtil(conn_, c.args));
  }
}

}  // namespace
