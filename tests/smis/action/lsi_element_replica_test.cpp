// Element replicas on LSI-family providers, over CIM-XML against a scripted replication service: the snapshot
// parameters (Mode, WaitForCopyState, TargetPool) and, for a job that names no target element, the
// point-in-time view the job made, found through the target class's family.
#include "support/ScriptedFamilyFixture.h"

namespace smisactiontest {
namespace {

using Pegasus::CIMObjectPath;

class LsiElementReplicaTest : public ScriptedFamilyTest {
 protected:
  CIMObjectPath Service(const std::string& prefix) {
    const std::string cls = prefix + "_ReplicationService";
    return FamilyPath(cls, {{"CreationClassName", cls},
                            {"Name", "replication"},
                            {"SystemCreationClassName", prefix + "_StorageSystem"},
                            {"SystemName", "ARRAY1"}});
  }

  SmisArgs Args(const std::string& prefix, const char* copyType, bool withPool = true) {
    return {Service(prefix).toString().str(),
            "snap1",
            copyType,
            Volume(prefix, "ARRAY1", "v1").toString().str(),
            Volume(prefix, "ARRAY1", "v2").toString().str(),
            "ARRAY1",
            withPool ? Pool(prefix).toString().str() : std::string()};
  }

  static CIMObjectPath Pool(const std::string& prefix) {
    return FamilyPath(prefix + "_StoragePool", {{"InstanceID", "ARRAY1:pool1"}});
  }

  // The method starts a job that ends in `state`, naming no target element.
  CIMObjectPath StartJob(const std::string& prefix, Pegasus::Uint16 state) {
    CIMObjectPath job = FamilyPath(prefix + "_ConcreteJob", {{"InstanceID", "ARRAY1:job1"}});
    Pegasus::CIMInstance instance(Pegasus::CIMName(prefix + "_ConcreteJob"));
    instance.addProperty(Pegasus::CIMProperty(Pegasus::CIMName("JobState"), Pegasus::CIMValue(state)));
    instance.setPath(job);
    cimom_.SetInstances(prefix + "_ConcreteJob", {instance});
    cimom_.SetMethodAnswer("CreateElementReplica", 4096, {Pegasus::CIMParamValue("Job", Pegasus::CIMValue(job))});
    return job;
  }
};

// LSI-family snapshots (SyncType 7) are sent with Mode 3, WaitForCopyState 4 and the pool; every other case
// with 2, 2 and no pool.
TEST_F(LsiElementReplicaTest, SnapshotParametersOfTheFamily) {
  struct Case {
    const char* prefix;
    const char* copyType;
    bool withPool;
    const char* mode;
    const char* wait;
    bool poolSent;
  };
  const Case cases[] = {
      {"LSISSI", "7", true, "uint16 3", "uint16 4", true}, {"NETAPP", "7", true, "uint16 3", "uint16 4", true},
      {"DCIM", "7", false, "uint16 3", "uint16 4", false}, {"LSISSI", "8", true, "uint16 2", "uint16 2", false},
      {"HPEVA", "7", true, "uint16 2", "uint16 2", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prefix) + " " + c.copyType);
    const CIMObjectPath element = Volume(c.prefix, "ARRAY1", "v2");
    cimom_.SetMethodAnswer("CreateElementReplica", 0,
                           {Pegasus::CIMParamValue("TargetElement", Pegasus::CIMValue(element))});
    SmisArgs args = Args(c.prefix, c.copyType, c.withPool);
    std::string result;
    ASSERT_EQ(kSmisSuccess, action_.CreateElementReplica(conn_, args, result));
    lookuptest::ScriptedCimom::MethodCall call = OnlyCall();
    cimom_.ClearCalls();
    EXPECT_EQ((std::vector<std::string>{"ElementName", "SyncType", "SourceElement", "TargetElement", "WaitForCopyState",
                                        "Mode", "TargetSettingGoal", "TargetPool"}),
              Names(call));
    EXPECT_EQ(std::string("uint16 ") + c.copyType, Typed(call, "SyncType"));
    EXPECT_EQ(c.mode, Typed(call, "Mode"));
    EXPECT_EQ(c.wait, Typed(call, "WaitForCopyState"));
    const Pegasus::CimXml::ParamValue* pool = call.find("TargetPool");
    ASSERT_NE(nullptr, pool);
    EXPECT_EQ(c.poolSent, !pool->value.isNull());
    if (c.poolSent) {
      CIMObjectPath sent;
      pool->value.get(sent);
      EXPECT_TRUE(Pegasus::refersToSameObject(Pool(c.prefix), sent));
    }
    EXPECT_TRUE(call.find("TargetSettingGoal")->value.isNull());
    EXPECT_TRUE(Pegasus::refersToSameObject(element, CIMObjectPath(Pegasus::String(result))));
  }
  EXPECT_EQ(0, cimom_.Requests("AssociatorNames")) << "a named target element needs no view lookup";
}

// A completed job without a target element: the replica is the first point-in-time view associated with
// the job through the target family's classes.
TEST_F(LsiElementReplicaTest, ACompletedJobWithoutTargetGivesThePointInTimeView) {
  const CIMObjectPath job = StartJob("LSISSI", 7);
  const CIMObjectPath view = FamilyPath("LSISSI_PiTView", {{"DeviceID", "Snapshot1"}});
  cimom_.SetAssociators(job, "LSISSI_AffectedJobElement", {view});
  SmisArgs args = Args("LSISSI", "7");
  std::string result;
  ASSERT_EQ(kSmisSuccess, action_.CreateElementReplica(conn_, args, result));
  EXPECT_TRUE(Pegasus::refersToSameObject(view, CIMObjectPath(Pegasus::String(result))));
  EXPECT_EQ(1, CountMessages(record_, "SMIS::CreateElementReplica: resultPath = " + result));
}

TEST_F(LsiElementReplicaTest, NoViewLookupAfterAFailedJobOrOnOtherVendors) {
  struct Case {
    const char* prefix;
    Pegasus::Uint16 state;
    SmisResultCode result;
  };
  const Case cases[] = {{"LSISSI", 10, kSmisFailed}, {"LSISSI", 8, kSmisFailed}, {"HPEVA", 7, kSmisSuccess}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prefix) + " " + std::to_string(c.state));
    cimom_.SetAssociators(StartJob(c.prefix, c.state), std::string(c.prefix) + "_AffectedJobElement",
                          {FamilyPath(std::string(c.prefix) + "_PiTView", {{"DeviceID", "Snapshot1"}})});
    SmisArgs args = Args(c.prefix, "7");
    std::string result;
    EXPECT_EQ(c.result, action_.CreateElementReplica(conn_, args, result));
    EXPECT_TRUE(result.empty());
  }
  EXPECT_EQ(0, cimom_.Requests("AssociatorNames"));
}

// A bare word parses as a class path without keys: it names no service, which is then looked up by the array.
TEST_F(LsiElementReplicaTest, ABareWordForTheServiceIsLookedUpByTheArray) {
  cimom_.SetNames("CIM_ReplicationService", {Service("LSISSI")});
  cimom_.SetMethodAnswer(
      "CreateElementReplica", 0,
      {Pegasus::CIMParamValue("TargetElement", Pegasus::CIMValue(Volume("LSISSI", "ARRAY1", "v2")))});
  SmisArgs args = Args("LSISSI", "8");
  args[0] = "replication";
  std::string result;
  ASSERT_EQ(kSmisSuccess, action_.CreateElementReplica(conn_, args, result));
  EXPECT_TRUE(Pegasus::refersToSameObject(Service("LSISSI"), OnlyCall().target));
}

}  // namespace
}  // namespace smisactiontest
