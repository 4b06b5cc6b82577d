// The target setting an HP EVA replica is created with when the caller names none, over CIM-XML against a
// scripted EVA provider: none while a replica of the same copy type exists or when the host turns the choice
// off, otherwise a goal made from the source volume's own setting with the allocation policy appended.
#include <memory>

#include "support/ScriptedFamilyFixture.h"

namespace smisactiontest {
namespace {

using Pegasus::CIMObjectPath;

const char* const kOnDemandSetting = "SMCONFIG_NAME_ENABLE_ONDEMAND_SNAPSHOT_ALLOCATION_POLICY";

class EvaTargetSettingTest : public ScriptedFamilyTest {
 protected:
  EvaTargetSettingTest()
      : hiddenNoSetting_("Corvane", "HPEVA_NO_STORAGE_SETTING"),
        hiddenPolicy_("Corvane", "HPEVA_SNAPSHOT_ALLOCATION_POLICY") {
    service_ = ConfigService("HPEVA", "EVA1");
    source_ = Volume("HPEVA", "EVA1", "vdisk1");
    replica_ = Volume("HPEVA", "EVA1", "vdisk2");
    setting_ = FamilyPath("HPEVA_StorageSetting", {{"InstanceID", "EVA1:vdisk1:setting"}});
    cimom_.SetMethodAnswer(
        "CreateReplica", 0,
        {Pegasus::CIMParamValue("TargetElement", Pegasus::CIMValue(Volume("HPEVA", "EVA1", "new")))});
  }

  // The source's pair with `replica_` as the provider shows it, of the copy type.
  void ServeReplica(Pegasus::Uint16 copyType) {
    Pegasus::CIMInstance pair(Pegasus::CIMName("HPEVA_StorageSynchronized"));
    pair.addProperty(Pegasus::CIMProperty(Pegasus::CIMName("CopyType"), Pegasus::CIMValue(copyType)));
    pair.addProperty(Pegasus::CIMProperty(Pegasus::CIMName("SyncedElement"), Pegasus::CIMValue(replica_)));
    pair.setPath(FamilyPath("HPEVA_StorageSynchronized", {{"SyncedElement", replica_.toString().str()}}));
    cimom_.SetReferences(source_, "CIM_StorageSynchronized", {pair});
  }

  void ServeSettingOf(const CIMObjectPath& volume) {
    cimom_.SetAssociators(volume, "CIM_ElementSettingData", {setting_});
  }

  // Creates a snapshot of the source without a named setting; the goal sent, or an empty path for a null.
  CIMObjectPath SentGoal() {
    SmisArgs args = {service_.toString().str(), "snap", "4", source_.toString().str(), "null"};
    std::string target;
    EXPECT_EQ(kSmisSuccess, action_.CreateReplica(conn_, args, target));
    lookuptest::ScriptedCimom::MethodCall call = OnlyCall();
    cimom_.ClearCalls();
    const Pegasus::CimXml::ParamValue* goal = call.find("TargetSettingGoal");
    if (!goal) {
      ADD_FAILURE() << "no TargetSettingGoal sent";
      return CIMObjectPath();
    }
    EXPECT_EQ(Pegasus::CIMTYPE_REFERENCE, goal->value.getType());
    CIMObjectPath path;
    if (!goal->value.isNull()) goal->value.get(path);
    return path;
  }

  std::string GoalId(CIMObjectPath goal) { return action_.GetPropByObjPath(goal, "InstanceID"); }

  TqConfigOverride hiddenNoSetting_;
  TqConfigOverride hiddenPolicy_;
  CIMObjectPath service_, source_, replica_, setting_;
};

// The policy suffix: the host key when present, else the array's on-demand setting (absent or 0: fully
// allocated).
TEST_F(EvaTargetSettingTest, GoalIsTheSourceSettingWithThePolicyAppended) {
  ServeSettingOf(source_);
  struct Case {
    const char* policyKey;  // nullptr: absent
    int onDemand;
    const char* suffix;
    int arrayConfigLines;
  };
  const Case cases[] = {
      {nullptr, 0, "FULLY_ALLOCATED", 1},
      {nullptr, 1, "ON_DEMAND", 1},
      {"0", 1, "ON_DEMAND", 0},
      {"1", 1, "FULLY_ALLOCATED", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.policyKey ? c.policyKey : "no key") + " / " + std::to_string(c.onDemand));
    std::unique_ptr<TqConfigOverride> policy;
    if (c.policyKey)
      policy = std::make_unique<TqConfigOverride>("Corvane", "HPEVA_SNAPSHOT_ALLOCATION_POLICY", c.policyKey);
    record_.setSetting(kOnDemandSetting, c.onDemand);
    record_.clearMessages();
    CIMObjectPath goal = SentGoal();
    EXPECT_EQ(std::string("EVA1:vdisk1:setting") + c.suffix, GoalId(goal));
    EXPECT_EQ("HPEVA_StorageSetting", goal.getClassName().getString().str());
    EXPECT_EQ("127.0.0.1", goal.getHost().str()) << "the host of the source's setting";
    EXPECT_EQ(c.arrayConfigLines, CountMessages(record_, std::string(" Array Config [") + kOnDemandSetting + ":" +
                                                             std::to_string(c.onDemand) + "]"));
    EXPECT_EQ(std::string(c.suffix) == "FULLY_ALLOCATED" ? 1 : 0,
              CountMessages(record_, "RegKey set for FULLY_ALLOCATED snapshot creation"));
  }
  EXPECT_EQ(0, cimom_.Requests("GetInstance")) << "the goal is sent as built, not read first";
}

TEST_F(EvaTargetSettingTest, NoGoalWhileAReplicaOfTheSameCopyTypeExists) {
  ServeSettingOf(source_);
  TqConfigOverride policy("Corvane", "HPEVA_SNAPSHOT_ALLOCATION_POLICY", "1");
  ServeReplica(4);
  EXPECT_TRUE(SentGoal().getClassName().isNull());
  EXPECT_EQ(1, CountMessages(record_,
                             "Not able to obtain snap volume storage setting instance, proceeding default "
                             "allocation scheme"));

  ServeSettingOf(replica_);
  EXPECT_TRUE(SentGoal().getClassName().isNull());
  EXPECT_EQ(1, CountMessages(record_, "Already allocation policy fixed by previous snap setting: ["));
}

TEST_F(EvaTargetSettingTest, AReplicaOfAnotherCopyTypeLeavesTheChoiceToThePolicy) {
  ServeSettingOf(source_);
  ServeReplica(5);
  EXPECT_EQ("EVA1:vdisk1:settingFULLY_ALLOCATED", GoalId(SentGoal()));
}

TEST_F(EvaTargetSettingTest, NoGoalWhenTheSourceHasNoSettingOrTheHostTurnsTheChoiceOff) {
  ServeSettingOf(replica_);  // the source itself has none
  EXPECT_TRUE(SentGoal().getClassName().isNull());
  EXPECT_EQ(1, CountMessages(record_, "Not able to obtain source volume storage setting instance"));

  ServeSettingOf(source_);
  ServeReplica(4);
  TqConfigOverride off("Corvane", "HPEVA_NO_STORAGE_SETTING", "1");
  const int references = cimom_.Requests("References"), associators = cimom_.Requests("AssociatorNames");
  EXPECT_TRUE(SentGoal().getClassName().isNull());
  EXPECT_EQ(references, cimom_.Requests("References")) << "no replica looked for";
  EXPECT_EQ(associators, cimom_.Requests("AssociatorNames")) << "no setting looked for";
}

// Only HP EVA providers choose; a named setting is sent as given.
TEST_F(ScriptedFamilyTest, OtherVendorsAndNamedSettingsTakeNoChoice) {
  CIMObjectPath service = ConfigService("LSISSI", "LSI1");
  CIMObjectPath source = Volume("LSISSI", "LSI1", "v1");
  cimom_.SetAssociators(source, "CIM_ElementSettingData",
                        {FamilyPath("LSISSI_StorageSetting", {{"InstanceID", "LSI1:setting"}})});
  cimom_.SetMethodAnswer("CreateReplica", 0,
                         {Pegasus::CIMParamValue("TargetElement", Pegasus::CIMValue(Volume("LSISSI", "LSI1", "v2")))});
  SmisArgs args = {service.toString().str(), "snap", "4", source.toString().str(), "null"};
  std::string target;
  EXPECT_EQ(kSmisSuccess, action_.CreateReplica(conn_, args, target));
  EXPECT_TRUE(OnlyCall().find("TargetSettingGoal")->value.isNull());
  EXPECT_EQ(0, cimom_.Requests("References"));
  EXPECT_EQ(0, cimom_.Requests("AssociatorNames"));

  cimom_.ClearCalls();
  CIMObjectPath evaService = ConfigService("HPEVA", "EVA1");
  CIMObjectPath named = FamilyPath("HPEVA_StorageSetting", {{"InstanceID", "EVA1:named"}});
  args = {evaService.toString().str(), "snap", "4", Volume("HPEVA", "EVA1", "vdisk1").toString().str(),
          named.toString().str()};
  EXPECT_EQ(kSmisSuccess, action_.CreateReplica(conn_, args, target));
  CIMObjectPath sent;
  OnlyCall().find("TargetSettingGoal")->value.get(sent);
  EXPECT_EQ("EVA1:named", action_.GetPropByObjPath(sent, "InstanceID"));
  EXPECT_EQ(0, cimom_.Requests("References"));
}

}  // namespace
}  // namespace smisactiontest
