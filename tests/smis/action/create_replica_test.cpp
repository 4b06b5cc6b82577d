// Replica creation through the action class against the simulated 3PAR array: what reaches the provider,
// what the caller gets back, and how jobs and refusals become results.
#include "TqSleep.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;

class CreateReplicaTest : public SmisActionTest {
 protected:
  SmisArgs SnapshotArgs(const std::string& name) {
    return {ConfigServiceText(), name, "4", VolumeText("base1"), "null"};
  }

  // The one CreateReplica call the provider received.
  smissim::MethodCallRecord OnlyCall() {
    std::vector<smissim::MethodCallRecord> calls = CallsOf("CreateReplica");
    EXPECT_EQ(1u, calls.size());
    return calls.empty() ? smissim::MethodCallRecord() : calls[0];
  }
};

TEST_F(CreateReplicaTest, SnapshotExistsAfterwardsWithItsSynchronization) {
  action_.SetOpType(SmisAction::kOpType3PARSnapshot);
  SmisArgs args = SnapshotArgs("base1-snap");
  std::string target;
  ASSERT_EQ(kSmisSuccess, action_.CreateReplica(conn_, args, target));

  Pegasus::CIMObjectPath targetPath{Pegasus::String(target)};
  EXPECT_FALSE(util_.GetPropByObjPath(targetPath, "DeviceID").empty());
  EXPECT_FALSE(WwnOf(kOneArraySerial, "base1-snap").empty());
  std::string syncPath, sourcePath, sourceName;
  ASSERT_EQ(0, util_.GetSyncPathFromTarget(conn_, target, syncPath, sourcePath, sourceName));
  EXPECT_TRUE(Pegasus::refersToSameObject(Pegasus::CIMObjectPath(Pegasus::String(sourcePath)),
                                          VolumePath(kOneArraySerial, "base1")));
  EXPECT_EQ(1, CountMessages(record_, "CreateReplica: Method, retVal = 0 (0x0)"));
}

// How the positions and the op type reach the provider's parameters.
TEST_F(CreateReplicaTest, PositionsBecomeTypedParameters) {
  struct Case {
    const char* what;
    std::function<void(SmisArgs&)> shape;
    short opType;
    SmisResultCode result;
    const char* param;
    bool sentNull;
    const char* value;  // checked when not null
  };
  const std::string gold = util_.GetDGByName(conn_, SystemName(), "Gold1");
  ASSERT_FALSE(gold.empty());
  const Case cases[] = {
      {"no goal: typed null", [](SmisArgs&) {}, 0, kSmisSuccess, "TargetSettingGoal", true, nullptr},
      {"no pool: typed null", [](SmisArgs&) {}, 0, kSmisSuccess, "TargetPool", true, nullptr},
      {"3PAR snapshot never sends its pool", [&](SmisArgs& a) { a.push_back(gold); }, 25, kSmisSuccess, "TargetPool",
       true, nullptr},
      // The provider refuses a pool other than the volume's snapshot space: proof that the pool was sent.
      {"other op types send the pool", [&](SmisArgs& a) { a.push_back(gold); }, 0, kSmisInvalidParameter, "TargetPool",
       false, nullptr},
      {"empty name: typed null string", [](SmisArgs& a) { a[1] = ""; }, 0, kSmisSuccess, "ElementName", true, nullptr},
      {"copy type passed through", [](SmisArgs&) {}, 0, kSmisSuccess, "CopyType", false, "4"},
      {"non-numeric copy type sends 0", [](SmisArgs& a) { a[2] = "abc"; }, 0, kSmisInvalidParameter, "CopyType", false,
       "0"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server_->clearLog();
    SmisArgs args = SnapshotArgs("snap" + std::to_string(n++));
    c.shape(args);
    action_.SetOpType(c.opType);
    std::string target;
    EXPECT_EQ(c.result, action_.CreateReplica(conn_, args, target));
    smissim::MethodCallRecord call = OnlyCall();
    const smissim::ParamRecord* param = call.param(c.param);
    ASSERT_NE(nullptr, param);
    EXPECT_TRUE(param->typed);
    EXPECT_EQ(c.sentNull, param->isNull);
    if (c.value) {
      EXPECT_EQ(c.value, param->value);
    }
  }
}

TEST_F(CreateReplicaTest, ShortVectorsAreRefusedWithoutProviderCall) {
  const struct {
    std::size_t size;
    SmisResultCode result;
  } cases[] = {{0, kSmisInvalidParameter}, {1, kSmisTooFewArguments}, {3, kSmisTooFewArguments}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    SmisArgs full = SnapshotArgs("short");
    SmisArgs args(full.begin(), full.begin() + c.size);
    std::string target = "untouched";
    EXPECT_EQ(c.result, action_.CreateReplica(conn_, args, target));
    EXPECT_EQ("untouched", target);
  }
  EXPECT_EQ(0u, TotalRequests(server_));
  EXPECT_EQ(2, CountMessages(record_, "    need: "));
}

// Answers and jobs of the provider, and the result each gives.
TEST_F(CreateReplicaTest, AnswersAndJobsMapToResults) {
  struct Case {
    const char* what;
    FaultAction action;
    std::uint16_t finalState;
    SmisResultCode result;
    bool targetSet;
  };
  const Case cases[] = {
      {"job completes", FaultAction::AsJob, 7, kSmisSuccess, true},
      {"job terminated", FaultAction::JobFails, 8, kSmisFailed, true},
      {"job in exception", FaultAction::JobFails, 10, kSmisFailed, true},
      {"job still running after the budget", FaultAction::JobNeverEnds, 7, kSmisSuccess, true},
      {"provider refuses", FaultAction::ForceReturnValue, 7, 4, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FaultOnMethod("CreateReplica", c.action, c.finalState);
    SmisArgs args = SnapshotArgs("job" + std::to_string(n++));
    std::string target = "untouched";
    EXPECT_EQ(c.result, action_.CreateReplica(conn_, args, target));
    EXPECT_EQ(c.targetSet, target != "untouched" && !target.empty());
  }
}

TEST_F(CreateReplicaTest, JobIsFollowedForSixtyPollsTenSecondsApart) {
  FaultOnMethod("CreateReplica", FaultAction::JobNeverEnds);
  SmisArgs args = SnapshotArgs("slow");
  std::string target;
  TqSleepControl::resetCounters();
  EXPECT_EQ(kSmisSuccess, action_.CreateReplica(conn_, args, target));
  EXPECT_EQ(60, TqSleepControl::requestCount());
  EXPECT_EQ(600000, TqSleepControl::requestedMillis());
}

// A copy the provider does not name cannot be mapped or deleted later: it is no success.
TEST_F(CreateReplicaTest, SuccessWithoutTargetElementIsFailure) {
  smissim::FaultRule rule;
  rule.operation = "CreateReplica";
  rule.action = FaultAction::DropOutput;
  rule.parameter = "TargetElement";
  sim().injectFault(rule);
  SmisArgs args = SnapshotArgs("unnamed");
  std::string target = "untouched";
  EXPECT_EQ(kSmisFailed, action_.CreateReplica(conn_, args, target));
  EXPECT_TRUE(target.empty());
  EXPECT_EQ(1, CountMessages(record_, "named no target element"));
}

// A provider that names the copy only when its job ends answers 4096 with TargetElement typed but empty:
// that is no path to parse, and the job is followed to its end.
TEST_F(CreateReplicaTest, AnEmptyTargetElementBesideAJobIsPassedOverAndTheJobFollowed) {
  smissim::FaultRule rule;
  rule.operation = "CreateReplica";
  rule.action = FaultAction::AsJob;
  sim().injectFault(rule);
  rule.action = FaultAction::EmptyOutput;
  rule.parameter = "TargetElement";
  sim().injectFault(rule);
  SmisArgs args = SnapshotArgs("later");
  std::string target = "untouched";
  TqSleepControl::resetCounters();
  EXPECT_EQ(kSmisFailed, action_.CreateReplica(conn_, args, target)) << "a copy still unnamed at the end";
  EXPECT_LT(0, TqSleepControl::requestCount()) << "the job was followed";
  EXPECT_EQ(0, CountMessages(record_, "malformed"));
  EXPECT_EQ(1, CountMessages(record_, "named no target element"));
  EXPECT_TRUE(target.empty());
}

TEST_F(CreateReplicaTest, TextsThatAreNoPathsEndInTheGuard) {
  SmisArgs args = SnapshotArgs("nopath");
  args[3] = WwnOf(kOneArraySerial, "base1");
  std::string target;
  EXPECT_EQ(kSmisFailed, action_.CreateReplica(conn_, args, target));
  EXPECT_EQ(1, CountMessages(record_, "Caught Exception: malformed"));
  EXPECT_EQ(0u, CallsOf("CreateReplica").size());
}

// An LSI provider serialises the call on the shared lock; a call that throws leaves the lock free.
TEST_F(CreateReplicaTest, ExceptionOnLsiProviderLeavesTheSharedLockFree) {
  SmisArgs args = SnapshotArgs("lsi");
  args[0] =
      "LSISSI_StorageConfigurationService.CreationClassName=\"LSISSI_StorageConfigurationService\","
      "Name=\"svc\",SystemCreationClassName=\"LSISSI_StorageSystem\",SystemName=\"lsi1\"";
  std::string target;
  EXPECT_EQ(kSmisFailed, action_.CreateReplica(conn_, args, target));
  EXPECT_EQ(1, CountMessages(record_, "Caught CIMException"));
  ASSERT_EQ(1, SmisAction::m_Lock.enter(false));
  SmisAction::m_Lock.leave();
}

TEST_F(CreateReplicaTest, CopiesKeepTheOpType) {
  SmisAction snapshot;
  snapshot.SetOpType(SmisAction::kOpType3PARSnapshot);
  snapshot.m_SnapInfo = &record_;
  SmisAction copy(snapshot);
  SmisAction assigned;
  assigned = snapshot;
  EXPECT_EQ(SmisAction::kOpType3PARSnapshot, copy.GetOpType());
  EXPECT_EQ(SmisAction::kOpType3PARSnapshot, assigned.GetOpType());
  EXPECT_EQ(&record_, copy.m_SnapInfo);
  EXPECT_EQ(&record_, assigned.m_SnapInfo);
  EXPECT_EQ(0, SmisAction().GetOpType());

  // The copy still keeps the pool back.
  SmisArgs args = SnapshotArgs("copied");
  args.push_back(util_.GetDGByName(conn_, SystemName(), "Gold1"));
  std::string target;
  EXPECT_EQ(kSmisSuccess, copy.CreateReplica(conn_, args, target));
}

}  // namespace
}  // namespace smisactiontest
