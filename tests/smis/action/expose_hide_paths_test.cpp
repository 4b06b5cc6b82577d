// Exposing volumes to initiator ports with ExposePaths and hiding them with HidePaths and Hide3PARPath,
// against the simulated 3PAR array: what the initiators then see, what reaches the provider, and the
// refusals.
#include "support/MaskingSeed.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;
using Volumes = std::vector<std::string>;

class ExposeHidePathsTest : public SmisActionTest {
 protected:
  ExposeHidePathsTest() : SmisActionTest(kMaskingArray) {}

  std::string System() { return lookuptest::SystemNameOf(kMaskingArraySerial); }
  std::string Wwn(const char* volume) { return WwnOf(kMaskingArraySerial, volume); }

  Volumes SeenBy(const std::vector<std::string>& ports) {
    Volumes volumes;
    for (const smissim::ExposedLun& lun : sim().exposedTo(ports)) volumes.push_back(lun.volume);
    return volumes;
  }

  // The DeviceID of the view through which the host sees its volumes.
  std::string ViewIdOf(const char* host) {
    return sim().withModel([&](smissim::Model& model) {
      smissim::StorageArray* array = model.arrayBySerial(kMaskingArraySerial);
      Pegasus::CIMObjectPath view = model.viewOf(model.findHost(*array, host)->getPath());
      return util_.GetPropByObjPath(view, "DeviceID");
    });
  }

  smissim::MethodCallRecord OnlyCall(const char* method) {
    std::vector<smissim::MethodCallRecord> calls = CallsOf(method);
    EXPECT_EQ(1u, calls.size());
    return calls.empty() ? smissim::MethodCallRecord() : calls[0];
  }

  void SetFirmware(const std::string& version) {
    sim().withModel([&](smissim::Model& model) {
      model.setFirmware(*model.arrayBySerial(kMaskingArraySerial), version, 100);
      return 0;
    });
  }
};

TEST_F(ExposeHidePathsTest, ExposedToTheHostOfThePortsThenHidden) {
  SmisArgs expose = {System(), Wwn("freevol"), std::string(kPortA) + "," + kPortA2, "null", "2"};
  ASSERT_EQ(kSmisSuccess, action_.ExposePaths(conn_, expose));
  EXPECT_EQ((Volumes{"ownvol", "sharedvol", "freevol"}), SeenBy({kPortA2}));
  EXPECT_EQ((Volumes{"othervol", "sharedvol"}), SeenBy({kPortB}));

  // On 3PAR no view is searched: the ports go out, the views as a typed null.
  smissim::MethodCallRecord call = OnlyCall("ExposePaths");
  EXPECT_EQ(std::string(kPortA) + " " + kPortA2 + " ", call.param("InitiatorPortIDs")->value);
  EXPECT_TRUE(call.param("ProtocolControllers")->isNull);
  EXPECT_TRUE(call.param("DeviceNumbers")->isNull);
  EXPECT_EQ("2 ", call.param("DeviceAccesses")->value);
  EXPECT_EQ(nullptr, call.param("Force"));

  SmisArgs hide = {System(), Wwn("freevol"), kPortA};
  ASSERT_EQ(kSmisSuccess, action_.HidePaths(conn_, hide));
  EXPECT_EQ((Volumes{"ownvol", "sharedvol"}), SeenBy({kPortA}));
  smissim::MethodCallRecord hidden = OnlyCall("HidePaths");
  EXPECT_TRUE(hidden.param("InitiatorPortIDs")->isNull);
  EXPECT_TRUE(hidden.param("TargetPortIDs")->isNull);
  EXPECT_FALSE(hidden.param("ProtocolControllers")->isNull);

  // Nothing left to hide: no call.
  EXPECT_EQ(kSmisMappingNotFound, action_.HidePaths(conn_, hide));
  EXPECT_EQ(1u, CallsOf("HidePaths").size());
}

// A named view takes the volumes as they are; the initiators are then left out.
TEST_F(ExposeHidePathsTest, NamedViewTakesTheVolumes) {
  SmisArgs expose = {System(), Wwn("freevol"), kPortB, "null", "2", "null", ViewIdOf("hostA")};
  ASSERT_EQ(kSmisSuccess, action_.ExposePaths(conn_, expose));
  EXPECT_EQ((Volumes{"ownvol", "sharedvol", "freevol"}), SeenBy({kPortA}));
  EXPECT_EQ((Volumes{"othervol", "sharedvol"}), SeenBy({kPortB}));
  EXPECT_TRUE(OnlyCall("ExposePaths").param("InitiatorPortIDs")->isNull);
}

TEST_F(ExposeHidePathsTest, RefusalsAndTheirResults) {
  const struct {
    const char* what;
    SmisArgs args;
    SmisResultCode result;
  } cases[] = {
      // Without a view every refusal reads as initiators the array does not take.
      {"port of no host", {System(), Wwn("freevol"), kLonePort}, kSmisInitiatorsRefused},
      {"unknown port", {System(), Wwn("freevol"), "10000000C9FFFFFF"}, kSmisInitiatorsRefused},
      {"unknown volume, no view", {System(), "60002AC0000000000000FFFF0C0001", kPortA}, kSmisInitiatorsRefused},
      // With a view the array's own code passes.
      {"unknown volume into a view",
       {System(), "60002AC0000000000000FFFF0C0001", kPortA, "null", "null", "null", ViewIdOf("hostA")},
       4097},
      {"two volumes, one access",
       {System(), Wwn("freevol") + "," + Wwn("freevol2"), kPortA, "null", "2"},
       kSmisInvalidParameter},
      {"one volume, two device numbers", {System(), Wwn("freevol"), kPortA, "1,2"}, kSmisInvalidParameter},
      {"unknown system", {"2FF70002AC999999", Wwn("freevol"), kPortA}, kSmisObjectNotFound},
      {"two positions", {System(), Wwn("freevol")}, kSmisTooFewArguments},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = c.args;
    EXPECT_EQ(c.result, action_.ExposePaths(conn_, args));
  }
  EXPECT_EQ(4u, CallsOf("ExposePaths").size());  // the count refusals make no call
  EXPECT_EQ((Volumes{"ownvol", "sharedvol"}), SeenBy({kPortA}));
  EXPECT_EQ(1, CountMessages(record_, "DeviceAccess array size mismatch with Volume: 1 not == 2"));
}

TEST_F(ExposeHidePathsTest, JobAnswerAndDroppedConnection) {
  smissim::FaultRule job;
  job.operation = "ExposePaths";
  job.action = FaultAction::ForceReturnValue;
  job.returnValue = 4096;
  sim().injectFault(job);
  SmisArgs args = {System(), Wwn("freevol"), kPortA, "null", "2"};
  EXPECT_EQ(kSmisJobStarted, action_.ExposePaths(conn_, args));
  EXPECT_EQ(1, CountMessages(record_, "ExposePaths: Method failed, retVal = 4096 (0x1000)"));

  // Two drops: the client sends a request again once when a kept connection closes unanswered.
  sim().injectFault(On("ExposePaths", AnyOperation(FaultAction::DropConnection, 2)));
  EXPECT_EQ(kSmisFailed, action_.ExposePaths(conn_, args));
  sim().clearFaults();
  EXPECT_EQ((Volumes{"ownvol", "sharedvol"}), SeenBy({kPortA}));
}

// Older firmware refuses HidePaths on a host's view: HidePaths reports it, Hide3PARPath falls back to the
// collection method.
TEST_F(ExposeHidePathsTest, OlderFirmwareHidesThroughTheCollectionMethod) {
  SetFirmware("2.3.1");
  SmisArgs hide = {System(), Wwn("ownvol"), kPortA};
  EXPECT_EQ(4u, action_.HidePaths(conn_, hide));
  EXPECT_EQ((Volumes{"ownvol", "sharedvol"}), SeenBy({kPortA}));

  Pegasus::CIMObjectPath system = util_.GetSystemObjPathByNameProp(conn_, System());
  Pegasus::CIMObjectPath view =
      util_.GetSystemObjPathByProp(conn_, "CIM_SCSIProtocolController", System(), "DeviceID", ViewIdOf("hostA"));
  Pegasus::Array<Pegasus::String> names;
  names.append(Pegasus::String(Wwn("ownvol")));
  server_->clearLog();
  EXPECT_EQ(kSmisSuccess, action_.Hide3PARPath(conn_, system, names, view));
  EXPECT_EQ(Volumes{"sharedvol"}, SeenBy({kPortA}));
  EXPECT_EQ(1u, CallsOf("HidePaths").size());
  EXPECT_EQ(1u, CallsOf("HideLUsFromStorageHardwareIDCollection").size());
  EXPECT_EQ(nullptr, OnlyCall("HideLUsFromStorageHardwareIDCollection").param("Force"));

  // Both refuse: the fallback's answer.
  names[0] = Pegasus::String(Wwn("freevol"));
  EXPECT_EQ(4097u, action_.Hide3PARPath(conn_, system, names, view));
  Pegasus::Array<Pegasus::String> none;
  EXPECT_EQ(kSmisFailed, action_.Hide3PARPath(conn_, system, none, view));
}

TEST_F(ExposeHidePathsTest, CurrentFirmwareHidesWithoutFallback) {
  Pegasus::CIMObjectPath system = util_.GetSystemObjPathByNameProp(conn_, System());
  Pegasus::CIMObjectPath view =
      util_.GetSystemObjPathByProp(conn_, "CIM_SCSIProtocolController", System(), "DeviceID", ViewIdOf("hostB"));
  Pegasus::Array<Pegasus::String> names;
  names.append(Pegasus::String(Wwn("othervol")));
  EXPECT_EQ(kSmisSuccess, action_.Hide3PARPath(conn_, system, names, view));
  EXPECT_EQ(Volumes{"sharedvol"}, SeenBy({kPortB}));
  EXPECT_EQ(0u, CallsOf("HideLUsFromStorageHardwareIDCollection").size());
}

TEST_F(ExposeHidePathsTest, HideRefusals) {
  const struct {
    const char* what;
    SmisArgs args;
    SmisResultCode result;
  } cases[] = {
      {"one position", {System()}, kSmisTooFewArguments},
      {"unknown system", {"2FF70002AC999999", Wwn("ownvol"), kPortA}, kSmisObjectNotFound},
      {"initiator that sees none of it", {System(), Wwn("othervol"), kPortA}, kSmisMappingNotFound},
      // A named view that is no view of the array hides nothing.
      {"view name of no view", {System(), Wwn("ownvol"), kPortA, "null", "23"}, kSmisMappingNotFound},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = c.args;
    EXPECT_EQ(c.result, action_.HidePaths(conn_, args));
  }
  EXPECT_EQ(0u, sim().methodCalls().size());
  EXPECT_EQ((Volumes{"ownvol", "sharedvol"}), SeenBy({kPortA}));

  // The single volume's path finds its views when given.
  SmisArgs byPath = {System(), Wwn("ownvol"), kPortA,
                     "null",   "null",        VolumePath(kMaskingArraySerial, "ownvol").toString().str()};
  EXPECT_EQ(kSmisSuccess, action_.HidePaths(conn_, byPath));
  EXPECT_EQ(Volumes{"sharedvol"}, SeenBy({kPortA}));
}

}  // namespace
}  // namespace smisactiontest
