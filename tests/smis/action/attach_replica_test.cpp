// Attaching a target volume to its source as a replica against the simulated 3PAR array: the call the
// provider receives, the synchronization handed back, and the results of refusals and jobs.
#include "TqSleep.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;

constexpr const char* kAttachArrays = R"({
  "arrays": [
    {"serial": "0B0001", "cpgs": ["CPG1"],
     "volumes": [{"name": "base1", "cpg": "CPG1"}, {"name": "clone1", "cpg": "CPG1"},
                 {"name": "small", "cpg": "CPG1", "sizeBytes": 1073741824}]},
    {"serial": "0B0002", "cpgs": ["CPG2"], "volumes": [{"name": "other", "cpg": "CPG2"}]}
  ]
})";

class AttachReplicaTest : public SmisActionTest {
 protected:
  AttachReplicaTest() : SmisActionTest(kAttachArrays) {}

  SmisArgs CloneArgs() { return {SystemName(), "4", VolumeText("base1"), VolumeText("clone1")}; }
};

TEST_F(AttachReplicaTest, SyncPathNamesTheNewPair) {
  SmisArgs args = CloneArgs();
  std::string syncPath;
  ASSERT_EQ(kSmisSuccess, action_.AttachModRep(conn_, args, syncPath));
  Pegasus::CIMObjectPath sync{Pegasus::String(syncPath)};
  Pegasus::CIMObjectPath source{Pegasus::String(util_.GetPropByObjPath(sync, "SystemElement"))};
  Pegasus::CIMObjectPath target{Pegasus::String(util_.GetPropByObjPath(sync, "SyncedElement"))};
  EXPECT_TRUE(Pegasus::refersToSameObject(source, VolumePath(kOneArraySerial, "base1")));
  EXPECT_TRUE(Pegasus::refersToSameObject(target, VolumePath(kOneArraySerial, "clone1")));
  // The provider knows the pair by that path.
  std::string syncState = util_.GetCIMProp(conn_, sync, "SyncState");
  EXPECT_EQ("14", syncState);  // frozen: the copy is done
}

TEST_F(AttachReplicaTest, RefusalsAndJobsMapToResults) {
  struct Case {
    const char* what;
    std::function<void(SmisArgs&)> shape;
    FaultAction action;  // Delay: no fault
    std::uint16_t finalState;
    SmisResultCode result;
  };
  const Case cases[] = {
      {"target smaller than its source", [&](SmisArgs& a) { a[3] = VolumeText("small"); }, FaultAction::Delay, 7, 4},
      {"provider refuses", [](SmisArgs&) {}, FaultAction::ForceReturnValue, 7, 4},
      {"job terminated: its state", [](SmisArgs&) {}, FaultAction::JobFails, 8, 8},
      {"job in exception: its state", [](SmisArgs&) {}, FaultAction::JobFails, 10, 10},
      {"job vanishes: completed", [](SmisArgs&) {}, FaultAction::JobVanishes, 7, kSmisSuccess},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.action != FaultAction::Delay) FaultOnMethod("AttachOrModifyReplica", c.action, c.finalState);
    SmisArgs args = CloneArgs();
    c.shape(args);
    std::string syncPath = "untouched";
    EXPECT_EQ(c.result, action_.AttachModRep(conn_, args, syncPath));
    EXPECT_EQ(c.result == kSmisSuccess, syncPath != "untouched");
  }
}

TEST_F(AttachReplicaTest, JobIsFollowedFifteenHundredPollsFortyFiveSecondsApart) {
  FaultOnMethod("AttachOrModifyReplica", FaultAction::JobNeverEnds);
  TqSleepControl::resetCounters();
  SmisArgs args = CloneArgs();
  std::string syncPath;
  EXPECT_EQ(kSmisSuccess, action_.AttachModRep(conn_, args, syncPath));
  EXPECT_EQ(1500, TqSleepControl::requestCount());
  EXPECT_EQ(1500LL * 45000, TqSleepControl::requestedMillis());
}

// Names are looked up on the named array; nothing is attached when a volume is not found there.
TEST_F(AttachReplicaTest, VolumesByNameOnTheNamedArrayOnly) {
  const std::string clone = WwnOf(kOneArraySerial, "clone1");
  const std::string other = WwnOf("0B0002", "other");
  struct Case {
    const char* what;
    std::string source;
    std::string target;
    SmisResultCode result;
  };
  const Case cases[] = {
      {"volume of another array", WwnOf(kOneArraySerial, "base1"), other, kSmisObjectNotFound},
      {"empty source name", "", clone, kSmisObjectNotFound},
      {"blank target name", WwnOf(kOneArraySerial, "base1"), "   ", kSmisObjectNotFound},
      {"names of the array", WwnOf(kOneArraySerial, "base1"), clone, kSmisSuccess},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server_->clearLog();
    SmisArgs args = {SystemName(), "4", c.source, c.target};
    std::string syncPath;
    EXPECT_EQ(c.result, action_.AttachModRep(conn_, args, syncPath));
    EXPECT_EQ(c.result == kSmisSuccess ? 1u : 0u, CallsOf("AttachOrModifyReplica").size());
  }
  EXPECT_EQ(3, CountMessages(record_, " LUN UUID "));
}

TEST_F(AttachReplicaTest, ShortArgumentsAndUnknownArrayMakeNoCall) {
  SmisArgs shortArgs = {SystemName(), "4", VolumeText("base1")};
  std::string syncPath;
  EXPECT_EQ(kSmisTooFewArguments, action_.AttachModRep(conn_, shortArgs, syncPath));
  EXPECT_EQ(0u, TotalRequests(server_));
  EXPECT_EQ(1, CountMessages(record_, "atmodrep: insufficient args specified"));
  SmisArgs unknown = CloneArgs();
  unknown[0] = "2FF70002ACFFFFFF";
  EXPECT_EQ(kSmisObjectNotFound, action_.AttachModRep(conn_, unknown, syncPath));
  EXPECT_EQ(0u, CallsOf("AttachOrModifyReplica").size());
}

TEST_F(AttachReplicaTest, ExceptionsAreTracedUnderTheMethodName) {
  sim().injectFault(On("AttachOrModifyReplica", CimErrorFault(Pegasus::CIM_ERR_FAILED, "busy")));
  SmisArgs args = CloneArgs();
  std::string syncPath = "untouched";
  EXPECT_EQ(kSmisFailed, action_.AttachModRep(conn_, args, syncPath));
  EXPECT_EQ("untouched", syncPath);
  EXPECT_EQ(1, CountMessages(record_, "AttachOrModifyReplica:SmisImplAttachModRep.cpp:"));
}

}  // namespace
}  // namespace smisactiontest
