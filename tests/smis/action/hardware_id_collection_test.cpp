// Presenting a volume to a host through its hardware-ID collection against the simulated 3PAR array: the
// collection made on demand, the identifiers' prefix by firmware, what the initiators then see, and the
// refusals.
#include "SmisHardwareId.h"
#include "support/MaskingSeed.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;

const char* const kNewPortFc = "10:00:00:00:c9:e0:00:0e";
const char* const kNewPortIscsi = "iqn.1994-05.com.example:newhost";

class HardwareIdCollectionTest : public SmisActionTest {
 protected:
  HardwareIdCollectionTest() : SmisActionTest(kMaskingArray) {}

  std::string System() { return lookuptest::SystemNameOf(kMaskingArraySerial); }
  std::string Wwn(const char* volume) { return WwnOf(kMaskingArraySerial, volume); }

  void SetFirmware(const std::string& version) {
    sim().withModel([&](smissim::Model& model) {
      model.setFirmware(*model.arrayBySerial(kMaskingArraySerial), version, 100);
      model.settings().checkHardwareIdPrefix = true;  // the array takes only its own prefix
      return 0;
    });
  }

  // The hardware-ID texts of the ports, under the prefix the array's firmware selects.
  std::string IdsOf(const std::vector<std::string>& ports) {
    std::string version;
    std::uint16_t build = 0;
    EXPECT_TRUE(action_.Get3PARFirmware(conn_, version, build));
    std::string ids;
    for (const std::string& port : ports)
      ids += (ids.empty() ? "" : ",") + smishwid::HardwareIdText(smishwid::InstanceIdPrefix(version), port);
    return ids;
  }

  std::vector<std::string> SeenBy(const std::vector<std::string>& ports) {
    std::vector<std::string> volumes;
    for (const smissim::ExposedLun& lun : sim().exposedTo(ports)) volumes.push_back(lun.volume);
    return volumes;
  }

  using Volumes = std::vector<std::string>;
};

// The whole presentation, as the snapshot and provisioning callers make it, on old and new firmware.
TEST_F(HardwareIdCollectionTest, VolumeReachesExactlyTheHostsInitiatorsThenIsHidden) {
  for (const char* firmware : {"3.1.1", "3.2.2"}) {
    SCOPED_TRACE(firmware);
    sim().reset(kMaskingArray);
    SetFirmware(firmware);
    server_->clearLog();

    SmisArgs add = {System(), "newhost", IdsOf({kNewPortFc, kNewPortIscsi})};
    ASSERT_EQ(kSmisSuccess, action_.AddPortsToHardwareIDCollection(conn_, add));
    std::vector<smissim::MethodCallRecord> creates = CallsOf("CreateHardwareIDCollection");
    ASSERT_EQ(1u, creates.size());
    EXPECT_TRUE(creates[0].param("HardwareIDs")->isNull);  // ports go in by the second call only
    EXPECT_EQ(1u, CallsOf("AddHardwareIDsToCollection").size());

    SmisArgs expose = {System(), "newhost", Wwn("freevol"), "2"};
    ASSERT_EQ(kSmisSuccess, action_.ExposeLUsToCollections(conn_, expose));
    EXPECT_EQ(Volumes{"freevol"}, SeenBy({"10000000C9E0000E"}));
    EXPECT_EQ(Volumes{"freevol"}, SeenBy({kNewPortIscsi}));
    EXPECT_EQ((Volumes{"ownvol", "sharedvol"}), SeenBy({kPortA}));
    EXPECT_EQ((Volumes{"othervol", "sharedvol"}), SeenBy({kPortB}));

    SmisArgs hide = {System(), Wwn("freevol"), std::string("10000000C9E0000E,") + kNewPortIscsi};
    EXPECT_EQ(kSmisSuccess, action_.HidePaths(conn_, hide));
    EXPECT_TRUE(SeenBy({"10000000C9E0000E", kNewPortIscsi}).empty());
  }
}

TEST_F(HardwareIdCollectionTest, ExistingCollectionIsUsedAsItIs) {
  SmisArgs add = {System(), "HOSTA", IdsOf({"10000000C9A0000F"})};  // names match ignoring case
  EXPECT_EQ(kSmisSuccess, action_.AddPortsToHardwareIDCollection(conn_, add));
  EXPECT_EQ(0u, CallsOf("CreateHardwareIDCollection").size());
  SmisArgs expose = {System(), "hostA", Wwn("freevol"), "2"};
  ASSERT_EQ(kSmisSuccess, action_.ExposeLUsToCollections(conn_, expose));
  EXPECT_EQ((Volumes{"ownvol", "sharedvol", "freevol"}), SeenBy({"10000000C9A0000F"}));
}

// Identifiers of the wrong kind or form are refused by the array (4096 there means an invalid hardware
// ID, never a job) and nothing joins the host.
TEST_F(HardwareIdCollectionTest, IdsOfTheWrongFormOrPrefixAreRefused) {
  SetFirmware("3.2.2");
  const struct {
    const char* what;
    std::string ids;
    SmisResultCode result;
  } cases[] = {
      {"bare port, no path", "10000000C9E0000E", 4096},
      {"prefix of older firmware", smishwid::HardwareIdText("3PAR:", "10000000C9E0000E"), 4096},
      {"not a hardware-ID class", "TPD_StorageVolume.DeviceID=\"x\"", 4096},
      {"no port kind", "TPD_StorageHardwareID.InstanceID=\"HP_3PAR:10000000C9E0000E\"", 4096},
      {"port of another host", smishwid::HardwareIdText("HP_3PAR:", kPortB), 4098},
      {"one good, one bad", smishwid::HardwareIdText("HP_3PAR:", "10000000C9E0000E") + ",junk", 4096},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs add = {System(), "hostA", c.ids};
    EXPECT_EQ(c.result, action_.AddPortsToHardwareIDCollection(conn_, add));
  }
  EXPECT_EQ((Volumes{"ownvol", "sharedvol"}), SeenBy({kPortA}));
  EXPECT_TRUE(SeenBy({"10000000C9E0000E"}).empty());
  EXPECT_EQ(0, CountMessages(record_, "Job started"));
  EXPECT_EQ(static_cast<int>(std::size(cases)), CountMessages(record_, "Method, Failed..."));
}

TEST_F(HardwareIdCollectionTest, ArgumentsRefusedWithoutProviderCall) {
  const struct {
    const char* what;
    std::function<SmisResultCode()> call;
    SmisResultCode result;
  } cases[] = {
      {"add: two positions",
       [&] {
         SmisArgs a = {System(), "h"};
         return action_.AddPortsToHardwareIDCollection(conn_, a);
       },
       kSmisTooFewArguments},
      {"add: only commas",
       [&] {
         SmisArgs a = {System(), "h", ",,"};
         return action_.AddPortsToHardwareIDCollection(conn_, a);
       },
       kSmisTooFewArguments},
      {"expose: three positions",
       [&] {
         SmisArgs a = {System(), "hostA", Wwn("freevol")};
         return action_.ExposeLUsToCollections(conn_, a);
       },
       kSmisTooFewArguments},
      {"expose: no collections",
       [&] {
         SmisArgs a = {System(), ",", Wwn("freevol"), "2"};
         return action_.ExposeLUsToCollections(conn_, a);
       },
       kSmisTooFewArguments},
      {"expose: no accesses",
       [&] {
         SmisArgs a = {System(), "hostA", Wwn("freevol"), ""};
         return action_.ExposeLUsToCollections(conn_, a);
       },
       kSmisTooFewArguments},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.result, c.call());
  }
  EXPECT_EQ(0u, TotalRequests(server_));

  // Two volumes with one access: refused after the system lookup, before any method.
  SmisArgs mismatch = {System(), "hostA", Wwn("freevol") + "," + Wwn("freevol2"), "2"};
  EXPECT_EQ(kSmisInvalidParameter, action_.ExposeLUsToCollections(conn_, mismatch));
  SmisArgs unknownSystem = {"2FF70002AC999999", "hostA", Wwn("freevol"), "2"};
  EXPECT_EQ(kSmisObjectNotFound, action_.ExposeLUsToCollections(conn_, unknownSystem));
  SmisArgs unknownService = {"2FF70002AC999999", "newhost", IdsOf({kNewPortFc})};
  EXPECT_EQ(kSmisFailed, action_.AddPortsToHardwareIDCollection(conn_, unknownService));  // cannot create it there
  EXPECT_EQ(kSmisObjectNotFound, action_.CreateStorageHardwareIDCollection(conn_, "2FF70002AC999999", "x"));
  EXPECT_EQ(0u, sim().methodCalls().size());
  EXPECT_EQ(kSmisSuccess, action_.DeleteHardwareIDCollection(conn_, nullptr, nullptr));
}

// The array's refusals pass through unchanged; a job answer is a refusal too.
TEST_F(HardwareIdCollectionTest, ExposeRefusalsPassThrough) {
  const struct {
    const char* what;
    std::string host;
    std::string volume;
    std::string access;
    SmisResultCode result;
  } cases[] = {
      {"unknown host", "nohost", Wwn("freevol"), "2", 4098},
      {"unknown volume", "hostA", "60002AC0000000000000FFFF0C0001", "2", 4097},
      {"access other than the volume's", "hostA", Wwn("freevol"), "3", 4100},
      {"access not a number reads 0", "hostA", Wwn("freevol"), "rw", 4100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = {System(), c.host, c.volume, c.access};
    EXPECT_EQ(c.result, action_.ExposeLUsToCollections(conn_, args));
  }
  smissim::FaultRule job;
  job.operation = "ExposeLUsToStorageHardwareIDCollection";
  job.action = FaultAction::ForceReturnValue;
  job.returnValue = 4096;
  sim().injectFault(job);
  SmisArgs args = {System(), "hostA", Wwn("freevol"), "2"};
  EXPECT_EQ(kSmisJobStarted, action_.ExposeLUsToCollections(conn_, args));
  EXPECT_EQ(0, CountMessages(record_, "Job started"));
  EXPECT_EQ((Volumes{"ownvol", "sharedvol"}), SeenBy({kPortA}));
}

TEST_F(HardwareIdCollectionTest, DroppedConnectionDuringExposeIsOneAndExposesNothing) {
  // Two drops: the client sends a request again once when a kept connection closes unanswered.
  sim().injectFault(On("ExposeLUsToStorageHardwareIDCollection", AnyOperation(FaultAction::DropConnection, 2)));
  SmisArgs args = {System(), "hostA", Wwn("freevol"), "2"};
  EXPECT_EQ(kSmisFailed, action_.ExposeLUsToCollections(conn_, args));
  sim().clearFaults();
  EXPECT_EQ(1, CountMessages(record_, "Caught"));
  EXPECT_EQ((Volumes{"ownvol", "sharedvol"}), SeenBy({kPortA}));
}

}  // namespace
}  // namespace smisactiontest
