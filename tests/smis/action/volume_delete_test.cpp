// Volume deletion against the simulated 3PAR array: by path or Name, kept while exposed or copied, and how
// jobs become results.
#include "TqSleep.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;

class VolumeDeleteTest : public SmisActionTest {
 protected:
  bool Exists(const std::string& name) { return !WwnOf(kOneArraySerial, name).empty(); }

  // Exposes the volume to one new host per name.
  void ExposeTo(const std::string& volume, const std::vector<std::string>& hosts) {
    Pegasus::CIMObjectPath path = VolumePath(kOneArraySerial, volume);
    sim().withModel([&](smissim::Model& model) {
      smissim::StorageArray& array = *model.arrayBySerial(kOneArraySerial);
      for (const std::string& host : hosts) model.expose(array, model.addHost(array, host), path, -1, 2);
      return 0;
    });
  }

  SmisResultCode Delete(const std::string& volume) {
    SmisArgs args{SystemName(), volume};
    return action_.DeleteVol(conn_, args);
  }
};

TEST_F(VolumeDeleteTest, DeletedByPathOrByName) {
  EXPECT_EQ(kSmisSuccess, Delete(VolumeText("base1")));
  EXPECT_FALSE(Exists("base1"));
  // A Name is matched ignoring case.
  std::string wwn = WwnOf(kOneArraySerial, "base2");
  for (char& c : wwn) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(kSmisSuccess, Delete(wwn));
  EXPECT_FALSE(Exists("base2"));
  // A Name beginning with a letter reads as a class path without keys; it is still a Name.
  sim().withModel([&](smissim::Model& model) {
    smissim::VolumeSpec spec;
    spec.name = "lettered";
    spec.thin = false;
    spec.sizeBytes = 1ull << 30;
    spec.wwn = "B0002AC000000000000000000A0ABCDE";
    model.addVolume(*model.arrayBySerial(kOneArraySerial), spec);
    return 0;
  });
  EXPECT_EQ(kSmisSuccess, Delete("B0002AC000000000000000000A0ABCDE"));
  EXPECT_FALSE(Exists("lettered"));
  EXPECT_EQ(3u, CallsOf("ReturnToStoragePool").size());
}

TEST_F(VolumeDeleteTest, RefusedWithoutCallWhenUnknownExposedOrShort) {
  ExposeTo("base1", {"hostA", "hostB"});
  EXPECT_EQ(kSmisHostMappingsFound, Delete(VolumeText("base1")));
  EXPECT_EQ(1, CountMessages(record_, "Can not delete, Volume found 2 Host mappings"));
  EXPECT_TRUE(Exists("base1"));

  // An unknown Name counts for the callers as a volume already gone.
  EXPECT_EQ(kSmisVolumeNotFound, Delete("60002AC0000000000000FFFF0000FFFF"));
  EXPECT_EQ(kSmisVolumeNotFound, Delete(" "));
  SmisArgs shortArgs{SystemName()};
  EXPECT_EQ(kSmisTooFewArguments, action_.DeleteVol(conn_, shortArgs));
  EXPECT_EQ(1, CountMessages(record_, "delvol: Insufficient params specified"));
  SmisArgs otherSystem{"2FF70002AC0FFFFF", VolumeText("base2")};
  EXPECT_EQ(kSmisObjectNotFound, action_.DeleteVol(conn_, otherSystem));
  EXPECT_TRUE(CallsOf("ReturnToStoragePool").empty());
  EXPECT_TRUE(Exists("base2"));
}

TEST_F(VolumeDeleteTest, VolumeWithCopiesIsRefusedByProvider) {
  SmisArgs snap{ConfigServiceText(), "base2-snap", "4", VolumeText("base2"), "null"};
  std::string target;
  ASSERT_EQ(kSmisSuccess, action_.CreateReplica(conn_, snap, target));
  SmisResultCode result = Delete(VolumeText("base2"));
  EXPECT_NE(kSmisSuccess, result);
  EXPECT_EQ(result, static_cast<SmisResultCode>(CallsOf("ReturnToStoragePool").at(0).returnValue));
  EXPECT_TRUE(Exists("base2"));
}

TEST_F(VolumeDeleteTest, JobsMapToResults) {
  struct Case {
    const char* what;
    FaultAction action;
    std::uint16_t finalState;
    SmisResultCode result;
  };
  const Case cases[] = {
      {"job in exception", FaultAction::JobFails, 10, 10},
      {"job terminated", FaultAction::JobFails, 8, 8},
      {"job completes", FaultAction::AsJob, 7, kSmisSuccess},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FaultOnMethod("ReturnToStoragePool", c.action, c.finalState);
    EXPECT_EQ(c.result, Delete(VolumeText("base1")));
  }
  EXPECT_FALSE(Exists("base1"));

  FaultOnMethod("ReturnToStoragePool", FaultAction::JobNeverEnds);
  TqSleepControl::resetCounters();
  EXPECT_EQ(kSmisSuccess, Delete(VolumeText("base2")));
  EXPECT_EQ(60, TqSleepControl::requestCount());
  EXPECT_EQ(600000, TqSleepControl::requestedMillis());
}

}  // namespace
}  // namespace smisactiontest
