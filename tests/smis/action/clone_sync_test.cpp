// A clone's life through the action class against the simulated 3PAR array: attached to its source,
// resynchronized and split, snapshots restored onto their source, and how refusals, failing, vanishing and
// never-ending jobs become results.
#include "TqSleep.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;

constexpr const char* kCloneArray = R"({
  "arrays": [
    {"serial": "0B0001", "cpgs": ["CPG1"],
     "volumes": [{"name": "base1", "cpg": "CPG1"}, {"name": "clone1", "cpg": "CPG1"},
                 {"name": "small", "cpg": "CPG1", "sizeBytes": 1073741824}]}
  ]
})";

class CloneSyncTest : public SmisActionTest {
 protected:
  CloneSyncTest()
      : SmisActionTest(kCloneArray),
        hiddenRetryCount_("Corvane", "n3PARJobRetryCount"),
        hiddenWaitSeconds_("Corvane", "n3PARJobWaitSeconds") {}

  // Attaches clone1 to base1 (its job ends) and forgets the requests this took.
  std::string AttachClone() {
    SmisArgs args = {SystemName(), "4", VolumeText("base1"), VolumeText("clone1")};
    std::string syncPath;
    EXPECT_EQ(kSmisSuccess, action_.AttachModRep(conn_, args, syncPath));
    server_->clearLog();
    record_.clearMessages();
    return syncPath;
  }

  std::size_t PairsOfClone() {
    Pegasus::CIMObjectPath clone = VolumePath(kOneArraySerial, "clone1");
    return sim().withModel([&](smissim::Model& model) { return model.synchronizations(clone, false).size(); });
  }

  SmisArgs SplitArgs() { return {SystemName(), WwnOf(kOneArraySerial, "base1"), WwnOf(kOneArraySerial, "clone1")}; }

  std::vector<std::string> Operations() {
    std::vector<std::string> operations;
    for (const smissim::MethodCallRecord& call : CallsOf("ModifySynchronization"))
      operations.push_back(call.param("Operation")->value);
    return operations;
  }

  TqConfigOverride hiddenRetryCount_;
  TqConfigOverride hiddenWaitSeconds_;
};

TEST_F(CloneSyncTest, CloneIsAttachedResynchronizedAndSplit) {
  SmisArgs attach = {SystemName(), "4", VolumeText("base1"), WwnOf(kOneArraySerial, "clone1")};
  std::string syncPath;
  ASSERT_EQ(kSmisSuccess, action_.AttachModRep(conn_, attach, syncPath));
  std::vector<smissim::MethodCallRecord> attached = CallsOf("AttachOrModifyReplica");
  ASSERT_EQ(1u, attached.size());
  EXPECT_EQ(3u, attached[0].params.size());
  EXPECT_EQ("4", attached[0].param("CopyType")->value);
  Pegasus::CIMObjectPath sync{Pegasus::String(syncPath)};
  EXPECT_EQ("TPD_StorageSynchronized", sync.getClassName().getString().str());
  EXPECT_EQ(1u, PairsOfClone());

  server_->clearLog();
  SmisArgs split = SplitArgs();
  EXPECT_EQ(kSmisSuccess, action_.DetachVol(conn_, split));
  EXPECT_EQ((std::vector<std::string>{"4", "2"}), Operations());
  std::vector<smissim::MethodCallRecord> calls = CallsOf("ModifySynchronization");
  EXPECT_EQ(calls[0].param("Synchronization")->value, calls[1].param("Synchronization")->value);
  EXPECT_EQ(0u, PairsOfClone());  // the array drops the pair of a split clone
}

// A stale clone must never pass for a fresh copy: a resync that does not succeed keeps the pair unsplit.
TEST_F(CloneSyncTest, ResyncThatDoesNotSucceedStopsTheSplitWithItsCode) {
  struct Case {
    const char* what;
    FaultAction action;
    std::uint16_t finalState;
    SmisResultCode result;
  };
  const Case cases[] = {
      {"provider refuses the resync", FaultAction::ForceReturnValue, 0, 4},
      {"resync job ends in exception", FaultAction::JobFails, 10, 10},
      {"resync job killed", FaultAction::JobFails, 9, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AttachClone();
    FaultOnMethod("ModifySynchronization", c.action, c.finalState);
    SmisArgs split = SplitArgs();
    EXPECT_EQ(c.result, action_.DetachVol(conn_, split));
    EXPECT_EQ((std::vector<std::string>{"4"}), Operations());
    EXPECT_EQ(1, CountMessages(record_, "the replica is not detached"));
  }
}

TEST_F(CloneSyncTest, ResyncIsFollowedSixtyPollsOneSecondApartThenTheSplitGoesOn) {
  AttachClone();
  FaultOnMethod("ModifySynchronization", FaultAction::JobNeverEnds);
  TqSleepControl::resetCounters();
  SmisArgs split = SplitArgs();
  // The provider refuses to split a pair whose resync still runs: that refusal is the result.
  EXPECT_EQ(4u, action_.DetachVol(conn_, split));
  EXPECT_EQ(60, TqSleepControl::requestCount());
  EXPECT_EQ(60000, TqSleepControl::requestedMillis());
  EXPECT_EQ((std::vector<std::string>{"4", "2"}), Operations());
}

TEST_F(CloneSyncTest, SnapshotIsRestoredOntoItsSource) {
  SmisArgs create = {ConfigServiceText(), "snap1", "4", VolumeText("base1"), "null"};
  std::string snapshot;
  ASSERT_EQ(kSmisSuccess, action_.CreateReplica(conn_, create, snapshot));
  server_->clearLog();
  SmisArgs restore = {SystemName(), "5", VolumeText("base1"), snapshot};
  EXPECT_EQ(kSmisSuccess, action_.ModifySync(conn_, restore, false));
  EXPECT_EQ((std::vector<std::string>{"5"}), Operations());
  EXPECT_GT(Requests("GetInstance"), 0u);  // the restore job was followed
}

// How a restore's job becomes the result, and the 3PAR budget the host keys set.
TEST_F(CloneSyncTest, RestoreJobsGiveTheirFinalStateOrSuccess) {
  struct Case {
    const char* what;
    FaultAction action;
    std::uint16_t finalState;
    const char* retryCount;  // nullptr: the key is absent
    SmisResultCode result;
    int sleeps;  // checked for jobs that run out their budget
  };
  const Case cases[] = {
      {"job terminated", FaultAction::JobFails, 8, nullptr, 8, -1},
      {"job vanishes", FaultAction::JobVanishes, 7, nullptr, kSmisSuccess, -1},
      {"job never ends: 720 polls by default", FaultAction::JobNeverEnds, 7, nullptr, kSmisSuccess, 720},
      {"a retry count of 0 means the default", FaultAction::JobNeverEnds, 7, "0", kSmisSuccess, 720},
      {"the retry count key", FaultAction::JobNeverEnds, 7, "3", kSmisSuccess, 3},
  };
  SmisArgs create = {ConfigServiceText(), "snap1", "4", VolumeText("base1"), "null"};
  std::string snapshot;
  ASSERT_EQ(kSmisSuccess, action_.CreateReplica(conn_, create, snapshot));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<TqConfigOverride> key;
    if (c.retryCount) key.reset(new TqConfigOverride("Corvane", "n3PARJobRetryCount", c.retryCount));
    FaultOnMethod("ModifySynchronization", c.action, c.finalState);
    TqSleepControl::resetCounters();
    SmisArgs restore = {SystemName(), "5", VolumeText("base1"), snapshot};
    EXPECT_EQ(c.result, action_.ModifySync(conn_, restore, false));
    if (c.sleeps >= 0) {
      EXPECT_EQ(c.sleeps, TqSleepControl::requestCount());
      EXPECT_EQ(c.sleeps * 10000, TqSleepControl::requestedMillis());
    }
  }
}

TEST_F(CloneSyncTest, NoWaitLeavesAStartedJobAlone) {
  SmisArgs create = {ConfigServiceText(), "snap1", "4", VolumeText("base1"), "null"};
  std::string snapshot;
  ASSERT_EQ(kSmisSuccess, action_.CreateReplica(conn_, create, snapshot));
  server_->clearLog();
  SmisArgs restore = {SystemName(), "5", VolumeText("base1"), snapshot};
  EXPECT_EQ(kSmisSuccess, action_.ModifySync(conn_, restore, true));
  EXPECT_EQ(0u, Requests("GetInstance"));
}

TEST_F(CloneSyncTest, OperationNumberIsCutToSixteenBits) {
  AttachClone();
  SmisArgs split = {SystemName(), "65538", VolumeText("base1"), VolumeText("clone1")};
  EXPECT_EQ(kSmisSuccess, action_.ModifySync(conn_, split, false));
  EXPECT_EQ((std::vector<std::string>{"4", "2"}), Operations());
}

TEST_F(CloneSyncTest, MissingArgumentsAndObjectsAreRefusedWithoutMethodCall) {
  AttachClone();
  const std::string base = VolumeText("base1");
  const std::string clone = VolumeText("clone1");
  const std::string noWwn = "60002AC0000000000000000000FFFFFF";
  struct Case {
    const char* what;
    SmisArgs args;
    bool detach;
    SmisResultCode result;
  };
  const Case cases[] = {
      {"modify with three positions", {SystemName(), "5", base}, false, kSmisTooFewArguments},
      {"detach with two positions", {SystemName(), base}, true, kSmisTooFewArguments},
      {"unknown array", {"2FF70002ACFFFFFF", "2", base, clone}, false, kSmisObjectNotFound},
      {"source named by no volume", {SystemName(), "2", noWwn, clone}, false, kSmisObjectNotFound},
      {"replica named by no volume", {SystemName(), base, noWwn}, true, kSmisObjectNotFound},
      {"blank replica name", {SystemName(), base, "  "}, true, kSmisObjectNotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = c.args;
    EXPECT_EQ(c.result, c.detach ? action_.DetachVol(conn_, args) : action_.ModifySync(conn_, args, false));
  }
  EXPECT_EQ(0u, CallsOf("ModifySynchronization").size());
  EXPECT_EQ(1, CountMessages(record_, "modsync: Insufficient params specified"));
  EXPECT_EQ(1, CountMessages(record_, "detachvol: Insufficient params specified"));
  EXPECT_EQ(1, CountMessages(record_, "Instance not found for Source volume Name " + std::string(noWwn)));
  EXPECT_EQ(1, CountMessages(record_, "Instance not found for Replicated volume Name " + std::string(noWwn)));
}

TEST_F(CloneSyncTest, CimErrorDuringTheResyncGivesOne) {
  AttachClone();
  sim().injectFault(On("ModifySynchronization", CimErrorFault(Pegasus::CIM_ERR_FAILED, "array busy")));
  SmisArgs split = SplitArgs();
  EXPECT_EQ(kSmisFailed, action_.DetachVol(conn_, split));
  EXPECT_EQ(1, CountMessages(record_, "Caught CIMException: CIM_ERR_FAILED"));
  EXPECT_EQ(1u, PairsOfClone());
}

}  // namespace
}  // namespace smisactiontest
