// Synchronization operations through the replication service of the simulated 3PAR array: one operation
// for every pair of a list, or for one pair, checked by the pairs left in the array; lists and pairs that
// cannot be resolved, a failed job and a connection dropped halfway send nothing or report the failure. On
// a simulated LSI array, the synchronizations of point-in-time views and of consistency-group views.
#include <cstdlib>

#include "lookups/support/VendorArrayFixture.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;

constexpr const char* kPairedArray = R"({
  "arrays": [
    {"serial": "0B0001", "cpgs": ["CPG1"],
     "volumes": [{"name": "base1", "cpg": "CPG1"}, {"name": "base2", "cpg": "CPG1"},
                 {"name": "copy1", "cpg": "CPG1"}, {"name": "copy2", "cpg": "CPG1"}]}
  ]
})";

constexpr std::uint16_t kDetach = 8, kFracture = 12, kResyncReplica = 14;
constexpr std::uint16_t kSynchronized = 6, kBroken = 12, kFractured = 13;

class ReplicationSyncTest : public SmisActionTest {
 protected:
  ReplicationSyncTest() : SmisActionTest(kPairedArray) {}

  void SetUp() override {
    SmisActionTest::SetUp();
    Pair("base1", "copy1");
    Pair("base2", "copy2");
  }

  void Pair(const std::string& source, const std::string& target) {
    Pegasus::CIMObjectPath s = VolumePath(kOneArraySerial, source), t = VolumePath(kOneArraySerial, target);
    sim().withModel([&](smissim::Model& model) { model.addSynchronization(s, t, 4, 2, kSynchronized); });
  }

  // The SyncState of the pair whose copy is `target`; -1 when it has no pair.
  int StateOf(const std::string& target) {
    Pegasus::CIMObjectPath t = VolumePath(kOneArraySerial, target);
    return sim().withModel([&](smissim::Model& model) {
      auto syncs = model.synchronizations(t, false);
      if (syncs.empty()) return -1;
      Pegasus::Uint16 state = 0;
      syncs[0]->getProperty(syncs[0]->findProperty("SyncState")).getValue().get(state);
      return static_cast<int>(state);
    });
  }

  _ModListSyncParams ListOf(std::uint16_t operation, std::list<_ReplicationPair> pairs) {
    _ModListSyncParams params;
    params.systemName = SystemName();
    params.Operation = operation;
    params.pairs = std::move(pairs);
    return params;
  }

  std::list<_ReplicationPair> BothPairs() {
    // One pair named by paths, the other by the volumes' Names.
    return {{VolumeText("base1"), VolumeText("copy1"), ""},
            {WwnOf(kOneArraySerial, "base2"), WwnOf(kOneArraySerial, "copy2"), ""}};
  }
};

TEST_F(ReplicationSyncTest, ListOperationAppliesToEveryPairInOneCall) {
  _ModListSyncParams fracture = ListOf(kFracture, BothPairs());
  ASSERT_EQ(kSmisSuccess, action_.ModifyListSynchronization(conn_, fracture, false));
  EXPECT_EQ(kFractured, StateOf("copy1"));
  EXPECT_EQ(kFractured, StateOf("copy2"));

  _ModListSyncParams detach = ListOf(kDetach, BothPairs());
  detach.Force = true;
  ASSERT_EQ(kSmisSuccess, action_.ModifyListSynchronization(conn_, detach, false));
  EXPECT_EQ(-1, StateOf("copy1"));
  EXPECT_EQ(-1, StateOf("copy2"));

  std::vector<smissim::MethodCallRecord> calls = CallsOf("ModifyListSynchronization");
  ASSERT_EQ(2u, calls.size());
  const smissim::ParamRecord* syncs = calls[1].param("Synchronization");
  ASSERT_NE(nullptr, syncs);
  EXPECT_TRUE(syncs->isArray);
  ASSERT_NE(nullptr, calls[1].param("Force"));
  EXPECT_EQ("TRUE", calls[1].param("Force")->value);
  ASSERT_NE(nullptr, calls[1].param("WaitForCopyState"));
  EXPECT_EQ("0", calls[1].param("WaitForCopyState")->value);
}

// A list that cannot be resolved whole sends nothing, and every pair stays as it was.
TEST_F(ReplicationSyncTest, UnresolvedListSendsNothing) {
  struct Case {
    const char* what;
    std::string system;
    std::list<_ReplicationPair> pairs;
    SmisResultCode result;
  };
  const Case cases[] = {
      {"no pairs", SystemName(), {}, kSmisTooFewArguments},
      {"no system name", "", BothPairs(), kSmisTooFewArguments},
      {"no replication service on the array", "NOSUCH", BothPairs(), kSmisObjectNotFound},
      {"unknown id in the second pair",
       SystemName(),
       {{VolumeText("base1"), VolumeText("copy1"), ""}, {"60002AC0000000000000000000009999", VolumeText("copy2"), ""}},
       kSmisObjectNotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    _ModListSyncParams params = ListOf(kDetach, c.pairs);
    params.systemName = c.system;
    EXPECT_EQ(c.result, action_.ModifyListSynchronization(conn_, params, false));
  }
  EXPECT_TRUE(CallsOf("ModifyListSynchronization").empty());
  EXPECT_EQ(kSynchronized, StateOf("copy1"));
  EXPECT_EQ(kSynchronized, StateOf("copy2"));

  // The 3PAR synchronization path is built without asking the array: a pair that does not exist is refused
  // by the array, which then changes none of the list.
  _ModListSyncParams unpaired =
      ListOf(kDetach, {{VolumeText("base1"), VolumeText("copy1"), ""}, {VolumeText("base1"), VolumeText("copy2"), ""}});
  EXPECT_EQ(5u, action_.ModifyListSynchronization(conn_, unpaired, false));
  EXPECT_EQ(kSynchronized, StateOf("copy1"));
  EXPECT_EQ(kSynchronized, StateOf("copy2"));
}

// The connection drops while the second pair is being resolved: the failure is the result, nothing is sent.
TEST_F(ReplicationSyncTest, ConnectionDroppedHalfwayThroughTheList) {
  _ModListSyncParams params = ListOf(kDetach, BothPairs());
  // With the service given and the first pair named by paths, the first request is a Name lookup of the
  // second pair's source: from there on the connection drops.
  params.servicePath = sim().withModel(
      [&](smissim::Model& model) { return model.arrayBySerial(kOneArraySerial)->replicationService.toString().str(); });
  smissim::FaultRule rule;
  rule.operation = "*";
  rule.action = FaultAction::DropConnection;
  rule.count = 1000;
  sim().injectFault(rule);
  EXPECT_EQ(kSmisFailed, action_.ModifyListSynchronization(conn_, params, false));
  EXPECT_TRUE(CallsOf("ModifyListSynchronization").empty());
  EXPECT_EQ(1, CountMessages(record_, "Source Volume [" + VolumeText("base1") + "]"));
  sim().clearFaults();
  EXPECT_EQ(kSynchronized, StateOf("copy1"));
  EXPECT_EQ(kSynchronized, StateOf("copy2"));
}

// A resync whose job fails gives the job's final state; the array reports the pairs broken.
TEST_F(ReplicationSyncTest, FailedJobGivesItsFinalState) {
  FaultOnMethod("ModifyListSynchronization", FaultAction::JobFails, 10);
  _ModListSyncParams params = ListOf(kResyncReplica, BothPairs());
  EXPECT_EQ(10u, action_.ModifyListSynchronization(conn_, params, false));
  EXPECT_EQ(kBroken, StateOf("copy1"));
  EXPECT_EQ(kBroken, StateOf("copy2"));
}

TEST_F(ReplicationSyncTest, ReplicaOperationOnOnePair) {
  SmisArgs args = {SystemName(), "8", WwnOf(kOneArraySerial, "base1"), VolumeText("copy1"), "0", "1"};
  ASSERT_EQ(kSmisSuccess, action_.ModifyReplicaSynchronization(conn_, args, false));
  EXPECT_EQ(-1, StateOf("copy1"));
  EXPECT_EQ(kSynchronized, StateOf("copy2"));
  std::vector<smissim::MethodCallRecord> calls = CallsOf("ModifyReplicaSynchronization");
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ("TRUE", calls[0].param("Force")->value);
  ASSERT_NE(nullptr, calls[0].param("ReplicationSettingData"));
  EXPECT_TRUE(calls[0].param("ReplicationSettingData")->isNull);

  // The pair is gone: the array refuses its synchronization.
  EXPECT_EQ(5u, action_.ModifyReplicaSynchronization(conn_, args, false));
  EXPECT_EQ(1, CountMessages(record_, "ModifyReplicaSynchronization: Method failed, retVal = 5 (0x5)"));
}

TEST_F(ReplicationSyncTest, ReplicaOperationRefusedBeforeAnythingIsSent) {
  struct Case {
    const char* what;
    SmisArgs args;
    SmisResultCode result;
  };
  const Case cases[] = {
      {"four positions", {SystemName(), "8", VolumeText("base1"), VolumeText("copy1")}, kSmisTooFewArguments},
      {"no replication service", {"NOSUCH", "8", VolumeText("base1"), VolumeText("copy1"), "0"}, kSmisObjectNotFound},
      {"unknown replica",
       {SystemName(), "8", VolumeText("base1"), "60002AC0000000000000000000009999", "0"},
       kSmisObjectNotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = c.args;
    EXPECT_EQ(c.result, action_.ModifyReplicaSynchronization(conn_, args, false));
  }
  EXPECT_TRUE(CallsOf("ModifyReplicaSynchronization").empty());
  EXPECT_EQ(kSynchronized, StateOf("copy1"));
}

// Not waiting: a started job answers 0 at once and is left to the array.
TEST_F(ReplicationSyncTest, NoWaitLeavesTheJobRunning) {
  FaultOnMethod("ModifyReplicaSynchronization", FaultAction::JobNeverEnds);
  SmisArgs args = {SystemName(), "14", VolumeText("base1"), VolumeText("copy1"), "0"};
  EXPECT_EQ(kSmisSuccess, action_.ModifyReplicaSynchronization(conn_, args, true));
  EXPECT_EQ(1, CountMessages(record_, "ModifyReplicaSynchronization: Job started"));
  EXPECT_EQ(5, StateOf("copy1"));
}

// Force is asked for only by exactly "1" in the sixth position.
TEST_F(ReplicationSyncTest, OnlyExactlyOneAsksForForce) {
  const struct {
    const char* sixth;  // null: no sixth position
    const char* force;
  } cases[] = {{nullptr, "FALSE"}, {"1", "TRUE"},     {"01", "FALSE"},
               {"true", "FALSE"},  {"null", "FALSE"}, {"1 ", "FALSE"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sixth != nullptr ? c.sixth : "absent");
    SmisArgs args = {SystemName(), std::to_string(kFracture), VolumeText("base1"), VolumeText("copy1"), "0"};
    if (c.sixth != nullptr) args.push_back(c.sixth);
    ASSERT_EQ(kSmisSuccess, action_.ModifyReplicaSynchronization(conn_, args, false));
    std::vector<smissim::MethodCallRecord> calls = CallsOf("ModifyReplicaSynchronization");
    ASSERT_FALSE(calls.empty());
    ASSERT_NE(nullptr, calls.back().param("Force"));
    EXPECT_EQ(c.force, calls.back().param("Force")->value);
  }
  EXPECT_EQ(kFractured, StateOf("copy1"));
}

// An LSI array with point-in-time views of v1 and v3, and of v2 in the consistency group cg1. The provider
// spells the class of v3's view synchronization in lower case.
constexpr const char* kLsiArray = "600A0B800011AAAA";
constexpr const char* kLsiNameSpace = "root/LsiArray13";
constexpr const char* kPointInTimeViews = R"({"arrays": [{"family": "lsi", "name": "600A0B800011AAAA",
  "volumes": [{"name": "v1"}, {"name": "v2"}, {"name": "v3"}, {"name": "plain"}],
  "pitViews": [{"name": "s1", "source": "v1"}, {"name": "s2", "source": "v2", "group": "cg1"},
               {"name": "s3", "source": "v3", "syncClass": "LSISSI_pitviewsynchronized"}]}]})";

class PointInTimeSyncTest : public lookuptest::VendorArrayTest {
 protected:
  PointInTimeSyncTest() : VendorArrayTest(kPointInTimeViews, kLsiNameSpace) { action_.m_SnapInfo = &record_; }

  std::string PathText(const std::string& volume) {
    Pegasus::CIMObjectPath path = VolumeNamed(kLsiArray, volume);
    path.setNameSpace(Pegasus::CIMNamespaceName(kLsiNameSpace));
    return path.toString().str();
  }

  SmisArgs Fracture(const std::string& source, const std::string& replica) {
    return {kLsiArray, std::to_string(kFracture), PathText(source), PathText(replica), "0"};
  }

  // The SyncState of the synchronization whose SyncedElement is named `synced`; -1 when there is none.
  int StateOf(const std::string& synced) {
    return sim().withModel([&](smissim::Model& model) {
      for (const Pegasus::CIMInstance* sync : model.store().enumerate("CIM_StorageSynchronized")) {
        const Pegasus::CIMInstance* found = model.store().find(smissim::referenceProperty(*sync, "SyncedElement"));
        if (found == nullptr) continue;
        Pegasus::CIMInstance element = *found, pair = *sync;
        if (util_.GetCIMProp(element, "ElementName") == synced)
          return std::atoi(util_.GetCIMProp(pair, "SyncState").c_str());
      }
      return -1;
    });
  }

  std::vector<smissim::MethodCallRecord> Calls() {
    std::vector<smissim::MethodCallRecord> calls;
    for (const smissim::MethodCallRecord& call : sim().methodCalls())
      if (call.method == "ModifyReplicaSynchronization") calls.push_back(call);
    return calls;
  }

  SmisAction action_;
};

// The view's own synchronization, or its group view's; ReplicationSettingData goes along (as a null) unless
// the synchronization found first already names the view's class in lower case, which also skips the
// point-in-time lookups.
TEST_F(PointInTimeSyncTest, OperatesOnTheViewsOrItsGroupsSynchronization) {
  const struct {
    const char* what;
    const char* source;
    const char* replica;
    const char* synced;     // the element whose synchronization is operated on
    const char* syncClass;  // the class of the Synchronization sent
    std::vector<std::string> params;
    bool lookedUp;  // the point-in-time lookups ran
  } cases[] = {
      {"view",
       "v1",
       "s1",
       "s1",
       "LSISSI_PiTViewSynchronized",
       {"Operation", "Synchronization", "Force", "WaitForCopyState", "ReplicationSettingData"},
       true},
      {"view in a consistency group",
       "v2",
       "s2",
       "cg1",
       "LSISSI_CGPiTViewSynchronized",
       {"Operation", "Synchronization", "Force", "WaitForCopyState", "ReplicationSettingData"},
       true},
      {"view synchronization in lower case",
       "v3",
       "s3",
       "s3",
       "LSISSI_pitviewsynchronized",
       {"Operation", "Synchronization", "Force", "WaitForCopyState"},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sim().clearLog();
    SmisArgs args = Fracture(c.source, c.replica);
    ASSERT_EQ(kSmisSuccess, action_.ModifyReplicaSynchronization(conn_, args, false));
    std::vector<smissim::MethodCallRecord> calls = Calls();
    ASSERT_EQ(1u, calls.size());
    std::vector<std::string> names;
    for (const smissim::ParamRecord& param : calls[0].params) names.push_back(param.name);
    EXPECT_EQ(c.params, names);
    ASSERT_NE(nullptr, calls[0].param("Synchronization"));
    EXPECT_EQ(c.syncClass, Pegasus::CIMObjectPath(Pegasus::String(calls[0].param("Synchronization")->value))
                               .getClassName()
                               .getString()
                               .str());
    if (const smissim::ParamRecord* settings = calls[0].param("ReplicationSettingData")) {
      EXPECT_TRUE(settings->isNull);
    }
    EXPECT_EQ(c.lookedUp, Requests("AssociatorNames") > 0);
    EXPECT_EQ(kFractured, StateOf(c.synced));
  }
  EXPECT_EQ(kSynchronized, StateOf("s2")) << "a grouped view's own synchronization is left alone";
}

// A replica with no view synchronization, or in a group whose view has none, is refused before any call.
TEST_F(PointInTimeSyncTest, WithoutAViewSynchronizationNothingIsSent) {
  const struct {
    const char* what;
    const char* replica;
    const char* trace;
  } cases[] = {
      {"volume without a view", "plain", "ModifyReplicaSynchronization operation failed due to empty sync path"},
      {"group view without its synchronization", "s2", "No SyncPath exists between ConsistencyGroup To CGPiTView."},
  };
  sim().withModel([](smissim::Model& model) {
    std::vector<Pegasus::CIMObjectPath> groupSyncs;
    for (const Pegasus::CIMInstance* sync : model.store().enumerate("LSISSI_CGPiTViewSynchronized"))
      groupSyncs.push_back(sync->getPath());
    for (const Pegasus::CIMObjectPath& path : groupSyncs) model.store().remove(path);
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SmisArgs args = Fracture("v2", c.replica);
    EXPECT_EQ(kSmisObjectNotFound, action_.ModifyReplicaSynchronization(conn_, args, false));
    EXPECT_EQ(1, CountMessages(record_, c.trace));
  }
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(kSynchronized, StateOf("s2"));
}

}  // namespace
}  // namespace smisactiontest
