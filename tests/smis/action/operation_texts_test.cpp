// The trace lines operations write when they refuse, fail or report an answer, as the host's logs are read
// for them: one table against the simulated 3PAR array, and the replication operations of an IBM SVC
// provider (a scripted CIMOM), whose refusals are only traced, never recorded on the device.
#include <functional>
#include <map>

#include "support/ScriptedFamilyFixture.h"
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

using smissim::FaultAction;
typedef std::map<std::string, std::string> Named;

// The number of messages that begin with `start` and hold `part` after it.
int CountLines(const TQSO::SnapInfo& record, const std::string& start, const std::string& part) {
  int count = 0;
  for (const TQSO::JobMessage& message : record.messages())
    if (message.text.compare(0, start.size(), start) == 0 && message.text.find(part, start.size()) != std::string::npos)
      ++count;
  return count;
}

class OperationTextsTest : public SmisActionTest {
 protected:
  std::string ReplicationServiceText() {
    return sim().withModel([&](smissim::Model& model) {
      return model.arrayBySerial(kOneArraySerial)->replicationService.toString().str();
    });
  }
};

TEST_F(OperationTextsTest, RefusalsFailuresAndAnswersAreTracedInTheirOwnWords) {
  const std::string unknownArray = "2FF70002AC0FFFFF";
  const std::string unknownWwn = "60002AC0000000000000000000FFFFFF";
  const std::string noService = "Class CIM_StorageConfigurationService for system " + unknownArray + " not found";
  struct Case {
    const char* what;
    std::function<void()> run;
    std::string start;  // the line begins with this (label and text)
    std::string part;   // and holds this after it
  };
  const Case cases[] = {
      {"synchronization change on an unknown array",
       [&] {
         SmisArgs args = {unknownArray, "2", VolumeText("base1"), VolumeText("base2")};
         action_.ModifySync(conn_, args, false);
       },
       "SMIS::ModifySync: " + noService, ""},
      {"attachment on an unknown array",
       [&] {
         SmisArgs args = {unknownArray, "8", VolumeText("base1"), VolumeText("base2")};
         std::string sync;
         action_.AttachModRep(conn_, args, sync);
       },
       "SMIS::AttachModRep: " + noService, ""},
      {"synchronized set on an unknown array",
       [&] {
         CreateSynchronizedSet_PARAMS params;
         params.SystemName = unknownArray;
         params.SetName = "set1";
         params.CopyType = 4;
         action_.CreateSynchronizedSet(conn_, params);
       },
       "CreateSynchronizedSet: " + noService, ""},
      {"creation parameters of an unknown source",
       [&] {
         SmisArgs args = {SystemName(), "new", "null", "1"}, out;
         action_.CreateStorageVolParams(conn_, args, unknownWwn, out);
       },
       "SMIS::CreateStorageVolParams:  LUN UUID " + unknownWwn + " not found", ""},
      {"deletion of an unknown volume",
       [&] {
         SmisArgs args = {SystemName(), unknownWwn};
         action_.DeleteVol(conn_, args);
       },
       "SMIS::DeleteVol: Class CIM_StorageVolume: Lun UUID " + unknownWwn + " not found", ""},
      {"creation that meets a CIM error",
       [&] {
         sim().injectFault(On("CreateOrModifyElementFromStoragePool", CimErrorFault(1, "no space")));
         SmisArgs args = {SystemName(), "v", util_.GetDGByName(conn_, SystemName(), "CPG1"), "1073741824"};
         std::string path;
         action_.CreateStorageVolume(conn_, args, path);
       },
       "SMIS::CreateStorageVolume: CreateOrModifyElementFromStoragePool: ", ": Caught CIMException: "},
      {"deletion that meets a CIM error",
       [&] {
         sim().injectFault(On("ReturnToStoragePool", CimErrorFault(1, "busy")));
         SmisArgs args = {SystemName(), VolumeText("base2")};
         action_.DeleteVol(conn_, args);
       },
       "SMIS::DeleteVol: ReturnToStoragePool: ", ": Caught CIMException: "},
      {"element replica whose job starts",
       [&] {
         FaultOnMethod("CreateElementReplica", FaultAction::AsJob);
         SmisArgs args = {ReplicationServiceText(), "er1", "7", VolumeText("base1"), "", SystemName()};
         std::string result;
         action_.CreateElementReplica(conn_, args, result);
       },
       "SMIS::CreateElementReplica: CreateElementReplica: Job started, RETvAL = 4096", ""},
      {"synchronization point answered 0",
       [&] {
         Named args = {
             {"SystemName", SystemName()}, {"SyncType", "7"}, {"Name", "t1"}, {"SourceElement", VolumeText("base1")}};
         Pegasus::Array<Pegasus::CIMParamValue> out;
         action_.CreateSynchronizationAspect(conn_, args, out);
       },
       "SMIS::CreateSynchronizationAspect: CreateSynchronizationAspect: Method returned, retVal = 0 (0x0)", ""},
      {"list settings change answered 0",
       [&] {
         Named args = {{"SystemName", SystemName()}, {"Operation", "19"}, {"targetSyncData", "t1"}};
         Pegasus::Array<Pegasus::CIMParamValue> out;
         action_.ModifyListSettingsDefineState(conn_, args, out);
       },
       "SMIS::ModifyListSettingsDefineState: ModifyListSettingsDefineState method Return Value = 0 (0x0)", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    record_.clearMessages();
    c.run();
    EXPECT_EQ(1, CountLines(record_, c.start, c.part));
  }
}

// IBM SVC replication operations: a refusal is traced with its code and the out-parameters and returned;
// no provider text is looked up or recorded on the device. Only an answer of 0 has a return-value line.
class SvcReplicationTextsTest : public ScriptedFamilyTest {
 protected:
  void SetUp() override {
    ScriptedFamilyTest::SetUp();
    service_ = FamilyPath("IBMTSSVC_ReplicationService", {{"Name", "rs"}, {"SystemName", "CL1"}});
    cimom_.SetNames("SNIA_ReplicationService", {service_});
  }
  Pegasus::CIMObjectPath service_;
};

TEST_F(SvcReplicationTextsTest, RefusalsAreTracedNotRecordedOnTheDevice) {
  struct Case {
    const char* method;
    std::function<SmisResultCode(Pegasus::Array<Pegasus::CIMParamValue>&)> run;
    const char* answeredLine;  // traced only for an answer of 0, which follows it
  };
  const std::string servicePath = service_.toString().str();
  const Case cases[] = {
      {"CreateSynchronizationAspect",
       [&](Pegasus::Array<Pegasus::CIMParamValue>& out) {
         Named args = {{"SystemName", "CL1"}, {"SyncType", "7"}, {"Name", "a1"}};
         return action_.CreateSynchronizationAspect(conn_, args, out);
       },
       "CreateSynchronizationAspect: Method returned, retVal = "},
      {"CreateListSynchronizationAspect",
       [&](Pegasus::Array<Pegasus::CIMParamValue>& out) {
         Named args = {{"ServicePath", servicePath}, {"SyncType", "7"}, {"Names", "a1|a2"}};
         return action_.CreateListSynchronizationAspect(conn_, args, out);
       },
       "CreateListSynchronizationAspect: Method returned, retVal = "},
      {"ModifyListSettingsDefineState",
       [&](Pegasus::Array<Pegasus::CIMParamValue>& out) {
         Named args = {{"ServicePath", servicePath}, {"Operation", "19"}, {"targetSyncData", ""}};
         return action_.ModifyListSettingsDefineState(conn_, args, out);
       },
       "ModifyListSettingsDefineState method Return Value = "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    Pegasus::Array<Pegasus::CIMParamValue> out;
    record_.clearMessages();
    cimom_.SetMethodAnswer(c.method, 4097);
    EXPECT_EQ(4097u, c.run(out));
    EXPECT_EQ(1, CountMessages(record_, std::string(c.method) + ": Method failed, retVal = 4097 (0x1001)"));
    EXPECT_EQ(0, CountMessages(record_, "Error: "));
    EXPECT_EQ(0, CountMessages(record_, c.answeredLine));
    EXPECT_EQ(0, record_.errorCode()) << "nothing recorded on the device";

    record_.clearMessages();
    cimom_.SetMethodAnswer(c.method, 0);
    EXPECT_EQ(kSmisSuccess, c.run(out));
    EXPECT_EQ(1, CountMessages(record_, std::string(c.answeredLine) + "0 (0x0)"));
  }
  // The list change traces the targets it leaves null, each with an empty text.
  for (const char* name :
       {"TargetGroups", "TargetPools", "TargetAccessPoint", "TargetElementCount", "TargetSettingGoals"})
    EXPECT_EQ(1, CountMessages(record_, std::string(name) + " []")) << name;
}

// A group-form synchronization point shows its group and, when none is given, an empty consistency; the element form
// shows "None" for both.
TEST_F(SvcReplicationTextsTest, SyncPointTraceShowsTheGroupFormsConsistency) {
  Pegasus::CIMObjectPath group = FamilyPath("IBMTSSVC_ReplicationGroup", {{"InstanceID", "CL1:g1"}});
  cimom_.SetInstances("CIM_ReplicationGroup", {FamilyInstance(group, {{"ElementName", "g1"}})});
  Pegasus::Array<Pegasus::CIMParamValue> out;
  Named grouped = {{"SystemName", "CL1"}, {"SyncType", "7"}, {"SourceGroup", "g1"}};
  ASSERT_EQ(kSmisSuccess, action_.CreateSynchronizationAspect(conn_, grouped, out));
  EXPECT_EQ(1, CountMessages(record_, "Consistency   - :"));
  record_.clearMessages();
  Named plain = {{"SystemName", "CL1"}, {"SyncType", "7"}, {"Name", "n"}};
  ASSERT_EQ(kSmisSuccess, action_.CreateSynchronizationAspect(conn_, plain, out));
  EXPECT_EQ(1, CountMessages(record_, "Consistency   - None:"));
  EXPECT_EQ(1, CountMessages(record_, "SourceGroup   - None:"));
}

}  // namespace
}  // namespace smisactiontest
