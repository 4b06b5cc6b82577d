// The single form of a settings-define-state change, over CIM-XML against a scripted replication service: the
// point-in-time object of a volume or a group, its one settings-define-state association, the target (its
// point-in-time view synchronization for Operation 5), the lookups that end the call before it reaches the
// array, and what the provider's answers and jobs give.
#include <map>

#include "support/ScriptedFamilyFixture.h"

namespace smisactiontest {
namespace {

using Pegasus::CIMObjectPath;
typedef std::map<std::string, std::string> Named;

class SettingsDefineStateTest : public ScriptedFamilyTest {
 protected:
  SettingsDefineStateTest() {
    cimom_.SetNames("SNIA_ReplicationService",
                    {FamilyPath("LSISSI_ReplicationService", {{"CreationClassName", "LSISSI_ReplicationService"},
                                                              {"Name", "replication"},
                                                              {"SystemCreationClassName", "LSISSI_StorageSystem"},
                                                              {"SystemName", "LSI1"}})});
    source_ = Volume("LSISSI", "LSI1", "v1");
    target_ = Volume("LSISSI", "LSI1", "view1");
    cimom_.SetInstances("CIM_StorageVolume",
                        {FamilyInstance(source_, {{"ElementName", "src"}, {"Name", "600A-src"}}),
                         FamilyInstance(target_, {{"ElementName", "view1"}, {"Name", "600A-view1"}})});
    cimom_.SetInstances("CIM_ReplicationGroup",
                        {FamilyInstance(FamilyPath("LSISSI_ReplicationGroup", {{"InstanceID", "LSI1:cg1"}}),
                                        {{"ElementName", "cg1"}})});
    // A point-in-time object of each kind under one name: the source decides which is meant.
    pit_ = PointInTime("LSISSI_PiT", "pit1", 1);
    groupPit_ = PointInTime("LSISSI_ConsistencyGroupPiT", "pit1", 1);
    viewSync_ = FamilyPath("LSISSI_PiTViewSynchronized", {{"SyncedElement", target_.toString().str()}});
    cimom_.SetReferences(target_, "LSISSI_PiTViewSynchronized", {FamilyInstance(viewSync_, {})});
  }

  // A point-in-time object of the class with `states` settings-define-state associations.
  CIMObjectPath PointInTime(const std::string& className, const std::string& name, int states) {
    CIMObjectPath pit = FamilyPath(className, {{"InstanceID", "LSI1:" + className + ":" + name}});
    pits_[className].push_back(FamilyInstance(pit, {{"ElementName", name}}));
    cimom_.SetInstances(className, pits_[className]);
    std::vector<Pegasus::CIMInstance> refs;
    for (int i = 0; i < states; ++i) refs.push_back(FamilyInstance(StateOf(pit, i), {}));
    cimom_.SetReferences(pit, "CIM_SettingsDefineState", refs);
    return pit;
  }

  static CIMObjectPath StateOf(const CIMObjectPath& pit, int n = 0) {
    return FamilyPath("LSISSI_SettingsDefineState",
                      {{"ManagedElement", "source" + std::to_string(n)}, {"SettingData", pit.toString().str()}});
  }

  static CIMObjectPath Reference(const lookuptest::ScriptedCimom::MethodCall& call, const char* name) {
    CIMObjectPath path;
    const Pegasus::CimXml::ParamValue* param = call.find(name);
    if (param && !param->value.isNull()) param->value.get(path);
    return path;
  }

  static bool Same(const CIMObjectPath& a, const CIMObjectPath& b) { return Pegasus::refersToSameObject(a, b); }

  SmisResultCode Modify(Named args) {
    Pegasus::Array<Pegasus::CIMParamValue> out;
    return action_.ModifySettingDefineState(conn_, args, out);
  }

  Named Request(const char* operation, const char* source, const char* target) {
    return {{"SystemName", "LSI1"},
            {"Operation", operation},
            {"sourceElement", source},
            {"targetSyncData", "pit1"},
            {"targetElement", target}};
  }

  CIMObjectPath source_, target_, pit_, groupPit_, viewSync_;
  std::map<std::string, std::vector<Pegasus::CIMInstance>> pits_;
};

// Operation 5 sends the target's point-in-time view synchronization, any other Operation the volume itself.
TEST_F(SettingsDefineStateTest, TargetElementByOperation) {
  struct Case {
    const char* operation;
    std::string target;
    const CIMObjectPath* sent;  // nullptr: a null reference
  };
  const Case cases[] = {
      {"5", "600A-view1", &viewSync_},
      {"5", target_.toString().str(), &viewSync_},
      {"19", "600A-view1", &target_},
      {"5", "", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.operation) + " [" + c.target + "]");
    Named args = Request(c.operation, "src", c.target.c_str());
    ASSERT_EQ(kSmisSuccess, Modify(args));
    lookuptest::ScriptedCimom::MethodCall call = OnlyCall();
    cimom_.ClearCalls();
    EXPECT_EQ("ModifySettingsDefineState", call.method);
    EXPECT_EQ(
        (std::vector<std::string>{"Operation", "SettingsState", "TargetElement", "TargetGroup", "TargetPool",
                                  "TargetAccessPoint", "TargetElementCount", "TargetSettingGoal", "WaitForCopyState"}),
        Names(call));
    EXPECT_EQ(std::string("uint16 ") + c.operation, Typed(call, "Operation"));
    EXPECT_TRUE(Same(StateOf(pit_), Reference(call, "SettingsState")));
    if (c.sent) {
      EXPECT_TRUE(Same(*c.sent, Reference(call, "TargetElement")));
    } else {
      EXPECT_TRUE(call.find("TargetElement")->value.isNull());
    }
    for (const char* unused : {"TargetGroup", "TargetPool", "TargetAccessPoint", "TargetElementCount",
                               "TargetSettingGoal", "WaitForCopyState"})
      EXPECT_TRUE(call.find(unused)->value.isNull()) << unused;
  }
}

// A source that is a volume (also when a group has its name) means the point-in-time object; a source that is
// only a group, the group's. A given WaitForCopyState is sent, 0 too.
TEST_F(SettingsDefineStateTest, SourceKindChoosesThePointInTimeClass) {
  cimom_.SetInstances(
      "CIM_ReplicationGroup",
      {FamilyInstance(FamilyPath("LSISSI_ReplicationGroup", {{"InstanceID", "LSI1:cg1"}}), {{"ElementName", "cg1"}}),
       FamilyInstance(FamilyPath("LSISSI_ReplicationGroup", {{"InstanceID", "LSI1:src"}}), {{"ElementName", "src"}})});
  for (const char* source : {"CG1", "src"}) {
    SCOPED_TRACE(source);
    Named args = Request("19", source, "");
    args["WaitForCopyState"] = "0";
    ASSERT_EQ(kSmisSuccess, Modify(args));
    lookuptest::ScriptedCimom::MethodCall call = OnlyCall();
    cimom_.ClearCalls();
    EXPECT_TRUE(Same(StateOf(std::string(source) == "src" ? pit_ : groupPit_), Reference(call, "SettingsState")));
    EXPECT_EQ("uint16 0", Typed(call, "WaitForCopyState"));
  }
}

// Lookups that end the call before anything reaches the array, each with its result and text.
TEST_F(SettingsDefineStateTest, LookupsThatFindNothingSendNothing) {
  PointInTime("LSISSI_PiT", "bare", 0);
  PointInTime("LSISSI_PiT", "twice", 2);
  struct Case {
    const char* what;
    Named args;
    SmisResultCode result;
    std::string trace;
  };
  auto with = [&](const char* key, const char* value) {
    Named args = Request("5", "src", "600A-view1");
    args[key] = value;
    return args;
  };
  Named noSyncData = Request("5", "src", "600A-view1");
  noSyncData.erase("targetSyncData");
  const Case cases[] = {
      {"no replication service", with("SystemName", "LSI9"), kSmisObjectNotFound,
       "Class SNIA_ReplicationService for system LSI9 not found"},
      {"unknown source", with("sourceElement", "nosuch"), kSmisObjectNotFound, "Source element [nosuch]not found."},
      {"no targetSyncData", noSyncData, kSmisTooFewArguments, "Target SyncAspect instance not specified."},
      {"unknown point-in-time object", with("targetSyncData", "nosuch"), kSmisObjectNotFound,
       "Unable to fetch the target SynchronizedAspect element."},
      {"no settings-define-state association", with("targetSyncData", "bare"), kSmisObjectNotFound,
       "Unable to get the SettingsDefineState relation."},
      {"two settings-define-state associations", with("targetSyncData", "twice"), kSmisInvalidParameter,
       "Target PiT/CGPiT has more than one relation to Source Element."},
      {"unknown target", with("targetElement", "600A-none"), kSmisObjectNotFound, " LUN UUID 600A-none not found"},
      {"target without a view synchronization", with("targetElement", "600A-src"), kSmisObjectNotFound,
       "Sync Path for Target Element[600A-src] to Source element[src] not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    record_.clearMessages();
    EXPECT_EQ(c.result, Modify(c.args));
    EXPECT_EQ(1, CountMessages(record_, "SMIS::ModifySettingsDefineState: " + c.trace));
  }
  EXPECT_TRUE(cimom_.Calls().empty());
}

// What the provider answers becomes the result: a started job is followed to its end.
TEST_F(SettingsDefineStateTest, AnswersAndJobsGiveTheResult) {
  struct Case {
    Pegasus::Uint32 answer;
    Pegasus::Uint16 jobState;  // for a started job
    SmisResultCode result;
  };
  const Case cases[] = {{0, 0, kSmisSuccess}, {4, 0, 4}, {4096, 7, kSmisSuccess}, {4096, 10, kSmisFailed}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.answer) + " / " + std::to_string(c.jobState));
    CIMObjectPath job = FamilyPath("LSISSI_ConcreteJob", {{"InstanceID", "LSI1:job1"}});
    Pegasus::CIMInstance state(Pegasus::CIMName("LSISSI_ConcreteJob"));
    state.addProperty(Pegasus::CIMProperty(Pegasus::CIMName("JobState"), Pegasus::CIMValue(c.jobState)));
    state.setPath(job);
    cimom_.SetInstances("LSISSI_ConcreteJob", {state});
    std::vector<Pegasus::CIMParamValue> out;
    if (c.answer == 4096) out.push_back(Pegasus::CIMParamValue("Job", Pegasus::CIMValue(job)));
    cimom_.SetMethodAnswer("ModifySettingsDefineState", c.answer, out);
    EXPECT_EQ(c.result, Modify(Request("5", "src", "600A-view1")));
    EXPECT_EQ(1u, cimom_.Calls().size());
    cimom_.ClearCalls();
  }
}

}  // namespace
}  // namespace smisactiontest
