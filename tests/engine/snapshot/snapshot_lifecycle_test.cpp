// One 3PAR snapshot object against the simulated array: a snapshot prepared and created, a clone attached
// and split, the source restored from its copy, the copy's presence and the array's support asked, and
// the refusals before and after connecting; every operation leaves its connection closed.
#include <gtest/gtest.h>

#include <string>

#include "SimFaults.h"
#include "TQPlatformInfo.h"
#include "support/SnapshotFixture.h"

namespace snapshottest {
namespace {

using TQ_SMIS_SNAP::TqSnapParams;

class SnapshotLifecycleTest : public SnapshotTest {
 protected:
  // Prepares and creates a snapshot of base1; the copy's path and id are in the object afterwards.
  void MakeSnapshot(const std::string& name) {
    AskForSnapshot(name);
    ASSERT_EQ(TQSO::SS_PREPARED, snap_.PrepareSnap());
    ASSERT_EQ(TQSO::SS_SNAPSHOT_CREATED, snap_.SnapCreate());
  }
};

TEST_F(SnapshotLifecycleTest, NewObjectHoldsItsDefaultsAndThe3PARTable) {
  Tq3PARSnapshot fresh;
  EXPECT_EQ(99, fresh.m_SnapOp);
  EXPECT_EQ(0, fresh.m_SnapStatus);
  EXPECT_EQ(99, fresh.m_DeviceAccess);
  EXPECT_EQ(0, fresh.m_CloneProvisionType);
  EXPECT_FALSE(fresh.m_DGRequired);
  EXPECT_EQ(TparSmisTqErrorMap, fresh.m_ErrorMap);
  EXPECT_EQ(SmisAction::kOpType3PARSnapshot, fresh.GetOpType());
  EXPECT_EQ(0, fresh.UnprepareSnap());
}

TEST_F(SnapshotLifecycleTest, RecordsFillTheObjectAndAnEmptySystemNameKeepsTheArrays) {
  TqSnapParams request;
  request.snapName = "s1";
  request.targetDG = "";
  request.servicePath = "svc";
  snap_.m_TargetDG = "old";
  snap_.SetSnapInfo(request);
  EXPECT_EQ(SystemName(), snap_.m_SystemName);
  EXPECT_EQ("", snap_.m_TargetDG) << "every other text replaces its member even when empty";
  EXPECT_EQ("svc", snap_.m_ServicePath);
  request.systemName = "other";
  snap_.SetSnapInfo(request);
  EXPECT_EQ("other", snap_.m_SystemName);

  TQ_SMIS_SNAP::TqSnapViewParams view;
  view.targetDev = "T";
  view.initiatorPorts = "p1,p2";
  snap_.SetSnapViewInfo(view);
  EXPECT_EQ("T", snap_.GetSnapDevice());
  EXPECT_EQ("p1,p2", snap_.m_InitiatorPorts);
  EXPECT_EQ(99, snap_.m_DeviceAccess);
}

TEST_F(SnapshotLifecycleTest, SnapshotIsPreparedThenCreatedAndItsIdRecorded) {
  AskForSnapshot("base1-snap");
  EXPECT_EQ(TQSO::SS_PREPARED, snap_.PrepareSnap());
  ExpectClosed();
  EXPECT_EQ(TQSO::SS_PREPARED, snap_.m_SnapStatus);
  EXPECT_FALSE(snap_.m_ServicePath.empty());
  EXPECT_TRUE(Pegasus::refersToSameObject(Pegasus::CIMObjectPath(Pegasus::String(snap_.GetSourceDevPath())),
                                          VolumePath(kArraySerial, "base1")));
  EXPECT_EQ("base1", snap_.m_SourceFriendlyName);

  Tq3PARSnapshot worker(snap_);  // the worker thread's own copy, disconnected, logging to the same record
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, worker.SnapCreate());
  EXPECT_EQ(nullptr, worker.m_Conn.m_Client);
  EXPECT_EQ(Wwn("base1-snap"), worker.GetSnapDevice()) << "the copy's DeviceID, its WWN on 3PAR";
  EXPECT_TRUE(Pegasus::refersToSameObject(Pegasus::CIMObjectPath(Pegasus::String(worker.GetSnapDevPath())),
                                          VolumePath(kArraySerial, "base1-snap")));
  std::vector<smissim::MethodCallRecord> creates = CallsOf("CreateReplica");
  ASSERT_EQ(1u, creates.size());
  EXPECT_EQ("4", creates[0].param("CopyType")->value);
  EXPECT_EQ(0, DeviceErrorCode(record_));
}

TEST_F(SnapshotLifecycleTest, UnderFaultRetryTheArrayFirstSeesASpoiledCreation) {
  TqConfigOverride faultRetry("Corvane", "TQ_PEGASUS_FAULT_RETRY", "1");
  MakeSnapshot("base1-snap");
  std::vector<smissim::MethodCallRecord> creates = CallsOf("CreateReplica");
  ASSERT_EQ(2u, creates.size());
  EXPECT_EQ("15", creates[0].param("CopyType")->value);
  EXPECT_EQ("4", creates[1].param("CopyType")->value);
  EXPECT_EQ(1, simtest::CountMessages(record_, "Pegasus retry in faulty environment"));
}

TEST_F(SnapshotLifecycleTest, CreationRefusalsBecomeTheirDeviceErrors) {
  struct Case {
    int op;
    std::uint32_t answer;
    int engine;
    const char* text;
  };
  const Case cases[] = {
      {4, 32773, 60544, "Snapshot::SnapCreate: Snap Failed, snapshot/clone name already exists"},
      {4, 32771, 60543, "Snapshot::SnapCreate: Snap Failed, maximum number of snaps reached"},
      {5, 32771, 60546,
       "Snapshot::SnapCreate: Clone Failed, previous clone still in progress or Snapshot may exist for the source "
       "lun"},
      {4, 32770, 60545, "Snapshot::SnapCreate: Snap Failed, snapshot disk used as source disk"},
      {4, 4, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    record_.setError(0, "");
    AskForSnapshot("refused", c.op);
    ASSERT_EQ(TQSO::SS_PREPARED, snap_.PrepareSnap());
    ForceAnswer("CreateReplica", c.answer);
    EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapCreate());
    EXPECT_EQ(c.engine, DeviceErrorCode(record_));
    EXPECT_EQ(c.text, DeviceErrorText(record_));
    EXPECT_FALSE(VolumeExists("refused"));
    ExpectClosed();
  }
}

// A copy the array does not name could never be mapped, deleted or reconciled: it is no snapshot.
TEST_F(SnapshotLifecycleTest, CreationThatNamesNoCopyFails) {
  AskForSnapshot("unnamed");
  ASSERT_EQ(TQSO::SS_PREPARED, snap_.PrepareSnap());
  smissim::FaultRule rule;
  rule.operation = "CreateReplica";
  rule.action = smissim::FaultAction::DropOutput;
  rule.parameter = "TargetElement";
  sim().injectFault(rule);
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapCreate());
  EXPECT_EQ("", snap_.GetSnapDevice());
  EXPECT_EQ(0, DeviceErrorCode(record_));
  ExpectClosed();
}

TEST_F(SnapshotLifecycleTest, PairLookupsAndSingleProperties) {
  MakeSnapshot("base1-snap");
  Tq3PARSnapshot found;
  found.SetLogger(&record_);
  found.m_Conn = snap_.m_Conn;
  found.m_SystemName = SystemName();
  found.m_TargetDevPath = snap_.GetSnapDevPath();
  found.m_TargetDev = snap_.GetSnapDevice();
  EXPECT_EQ(0, found.GetSyncPathFromTarget());
  EXPECT_FALSE(found.GetSyncPath().empty());
  EXPECT_EQ(Wwn("base1"), found.GetSourceDev());
  std::string sync = found.GetSyncPath();
  found.m_SyncPath.clear();
  EXPECT_EQ(0, found.GetSyncPathFromTargetAndSource());
  EXPECT_EQ(sync, found.GetSyncPath());
  EXPECT_EQ("base1-snap", found.GetSnapObjectProperty(found.m_TargetDevPath, "ElementName"));
  EXPECT_EQ("", found.GetSnapObjectProperty(found.m_TargetDevPath, "NoSuchProperty"));
  EXPECT_EQ(-1, found.SetSnapObjectProperty("", "ElementName", "x"));
  found.m_SystemName.clear();
  EXPECT_EQ(-1, found.GetSyncPathFromTarget());
  EXPECT_EQ(nullptr, found.m_Conn.m_Client);
}

TEST_F(SnapshotLifecycleTest, IncompleteObjectsAreRefusedBeforeAnyConnection) {
  std::uint64_t before = simtest::TotalRequests(server_);
  AskForSnapshot("s", 6);
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, snap_.PrepareSnap());
  AskForSnapshot("", 4);
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, snap_.PrepareSnap());
  AskForSnapshot("s", 4);
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapCreate()) << "status 1 is needed";
  snap_.SetSnapStatus(TQSO::SS_PREPARED);
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapCreate()) << "no service path";
  EXPECT_EQ(TQSO::SS_RESTORE_FAILED, snap_.SnapRestore(0)) << "a snapshot op is no restore";
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapSyncOp(2, false)) << "no target";
  EXPECT_EQ(TQSO::SS_DELETE_FAILED, snap_.DetachSnap());
  EXPECT_EQ(0, snap_.GetSnapStatus());
  EXPECT_FALSE(snap_.AttachCloneVolume("4"));
  EXPECT_EQ(0, snap_.IsSupported(static_cast<TQSO::SNAP_TYPE>(3)));
  EXPECT_EQ(before, simtest::TotalRequests(server_));
  EXPECT_EQ(0, DeviceErrorCode(record_));
}

TEST_F(SnapshotLifecycleTest, UnreachableCimomFailsEachOperationWithTheConnectionError) {
  TQ_SMIS_SNAP::TqArrayParams login;
  static_cast<TqCimomParams&>(login) = simtest::ParamsFor(1);  // nothing listens there
  login.m_MaxRetries = 1;
  login.systemName = SystemName();
  snap_.SetArrayInfo(login);
  AskForSnapshot("s");
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, snap_.PrepareSnap());
  EXPECT_EQ(60541, DeviceErrorCode(record_));
  EXPECT_EQ("Snapshot::PrepareSnap: Connection to CIMOM failed", DeviceErrorText(record_));
  ExpectClosed();

  record_.setError(0, "");
  snap_.m_TargetDev = "T";
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, snap_.SnapSyncOp(2, false));
  EXPECT_EQ(0, DeviceErrorCode(record_)) << "a failed synchronization connect is only traced";
  EXPECT_EQ(0, snap_.GetSnapStatus());
  EXPECT_EQ("Snapshot::GetSnapStatus: Connection to CIMOM failed", DeviceErrorText(record_));
}

TEST_F(SnapshotLifecycleTest, MissingSourceVolumeFailsThePrepare) {
  AskForSnapshot("s");
  snap_.m_SourceDev = "60002AC0000000000000000000000BAD";
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, snap_.PrepareSnap());
  EXPECT_EQ(60542, DeviceErrorCode(record_));
  EXPECT_EQ("Snapshot::PrepareSnap: Can not find source volume 60002AC0000000000000000000000BAD\n",
            DeviceErrorText(record_));
  EXPECT_TRUE(CallsOf("CreateReplica").empty());
  ExpectClosed();
}

TEST_F(SnapshotLifecycleTest, AFailedSourceLookupNamesItsCauseAndKeepsTheCode) {
  struct Case {
    const char* name;
    smissim::FaultAction action;
    const char* cause;
  } cases[] = {
      {"CIM error", smissim::FaultAction::CimError, "the lookup failed: CIM error CIM_ERR_FAILED: "},
      {"malformed answer", smissim::FaultAction::MalformedXml, "the lookup failed: XML parse error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    smissim::FaultRule rule;
    rule.operation = "EnumerateInstances";
    rule.className = "CIM_StorageVolume";
    rule.action = c.action;
    rule.description = "volumes offline";
    rule.count = 100;  // past every retry
    sim().injectFault(rule);
    record_.setError(0, "");
    AskForSnapshot("s");
    EXPECT_EQ(TQSO::SS_PREPARE_FAILED, snap_.PrepareSnap());
    EXPECT_EQ(60542, DeviceErrorCode(record_));
    EXPECT_NE(std::string::npos, DeviceErrorText(record_).find(c.cause)) << DeviceErrorText(record_);
    sim().clearFaults();
  }
  // The volume the array does not have says nothing of a fault.
  record_.setError(0, "");
  snap_.m_SourceDev = "60002AC0000000000000000000000BAD";
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, snap_.PrepareSnap());
  EXPECT_EQ(std::string::npos, DeviceErrorText(record_).find("the lookup failed"));
}

TEST_F(SnapshotLifecycleTest, PlainHttpToAnHttpsProviderIsNamedAsTheCause) {
  smissim::SimulatorOptions options = lookuptest::OptionsWithSeed(kArray);
  options.https = true;
  smissim::TestServer https(options);
  TQ_SMIS_SNAP::TqArrayParams login;
  static_cast<TqCimomParams&>(login) = simtest::ParamsFor(https);
  login.m_UseSSL = false;
  login.m_MaxRetries = 1;
  login.systemName = SystemName();
  snap_.SetArrayInfo(login);
  AskForSnapshot("s");
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, snap_.PrepareSnap());
  EXPECT_EQ(60542, DeviceErrorCode(record_));
  EXPECT_NE(std::string::npos,
            DeviceErrorText(record_).find("the lookup failed: Connection closed by CIM Server. (sent "
                                          "over HTTP: does the provider expect HTTPS?)"))
      << DeviceErrorText(record_);
  ExpectClosed();
}

TEST_F(SnapshotLifecycleTest, DiskGroupRulesOfSnapshotsAndClones) {
  AskForSnapshot("s", 4);
  snap_.m_TargetDG = "NoSuchCPG";
  snap_.m_DGRequired = true;
  EXPECT_EQ(TQSO::SS_PREPARED, snap_.PrepareSnap()) << "a 3PAR snapshot goes to the default pool";
  EXPECT_EQ(
      1, simtest::CountMessages(
             record_, "Supplied DiskGroup [NoSuchCPG] not found, Going to use Default Disk Group for Snap operation"));

  AskForSnapshot("c", 5);
  snap_.m_TargetDG = "NoSuchCPG";
  snap_.m_DGRequired = true;
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, snap_.PrepareSnap());
  EXPECT_EQ(60552, DeviceErrorCode(record_));
  ExpectClosed();
}

TEST_F(SnapshotLifecycleTest, CloneIsAttachedAndSplit) {
  TqSnapParams request;
  request.snapOp = 5;
  request.sourceDev = Wwn("base1");
  request.targetDev = Wwn("clone1");
  snap_.SetSnapInfo(request);
  ASSERT_TRUE(snap_.AttachCloneVolume("4"));
  ExpectClosed();
  Pegasus::CIMObjectPath sync{Pegasus::String(snap_.GetSyncPath())};
  EXPECT_EQ("TPD_StorageSynchronized", sync.getClassName().getString().str());

  sim().clearLog();
  snap_.m_SourceDevPath = PathText("base1");
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, snap_.SnapSyncOp(2, false));
  ExpectClosed();
  std::vector<smissim::MethodCallRecord> calls = CallsOf("ModifySynchronization");
  ASSERT_EQ(2u, calls.size()) << "a 3PAR split resynchronizes first";
  EXPECT_EQ("4", calls[0].param("Operation")->value);
  EXPECT_EQ("2", calls[1].param("Operation")->value);
  EXPECT_EQ(1, simtest::CountMessages(record_, "[3PAR Sync path] " + snap_.GetSyncPath()));
}

TEST_F(SnapshotLifecycleTest, SourceIsRestoredFromItsCopy) {
  MakeSnapshot("base1-snap");
  sim().clearLog();
  snap_.m_SnapOp = 6;
  EXPECT_EQ(TQSO::SS_RESTORED, snap_.SnapRestore(0));
  ExpectClosed();
  std::vector<smissim::MethodCallRecord> calls = CallsOf("ModifySynchronization");
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ("5", calls.back().param("Operation")->value);

  ForceAnswer("ModifySynchronization", 4, simtest::kLasting);
  EXPECT_EQ(TQSO::SS_RESTORE_FAILED, snap_.SnapRestore(0));
  EXPECT_EQ(TQSO::SS_RESTORE_FAILED, snap_.m_SnapStatus);
}

TEST_F(SnapshotLifecycleTest, CopyPresenceArraySupportAndDetach) {
  MakeSnapshot("base1-snap");
  EXPECT_EQ(0, snap_.GetSnapStatus()) << "the copy is there";
  EXPECT_EQ(1, snap_.IsSupported(TQSO::SNAP_TYPE_SNAPSHOT));
  EXPECT_EQ(0, snap_.CheckArrayExistence());
  ExpectClosed();

  Tq3PARSnapshot other(snap_);
  other.m_SourceDev = "60002AC0000000000000000000000BAD";
  EXPECT_EQ(2, other.CheckArrayExistence());
  other.m_SystemName = "NOSUCHARRAY";
  EXPECT_EQ(1, other.CheckArrayExistence());

  Tq3PARSnapshot gone(snap_);
  gone.m_TargetDevPath.clear();
  gone.m_TargetDev = "60002AC0000000000000000000000BAD";
  EXPECT_EQ(TQSO::SS_GONE_FROM_ARRAY, gone.GetSnapStatus());
}

TEST_F(SnapshotLifecycleTest, DetachOfAClonePairAndOfAMissingCopy) {
  TqSnapParams request;
  request.snapOp = 5;
  request.sourceDev = Wwn("base1");
  request.targetDev = Wwn("clone1");
  snap_.SetSnapInfo(request);
  ASSERT_TRUE(snap_.AttachCloneVolume("4"));
  EXPECT_EQ(TQSO::SS_DELETED, snap_.DetachSnap());
  ExpectClosed();
  EXPECT_EQ(0, DeviceErrorCode(record_));
  EXPECT_TRUE(VolumeExists("clone1")) << "a detach keeps the volume";

  // The action names a missing replica as an object it cannot find, which is no removal.
  snap_.m_TargetDev = "60002AC0000000000000000000000BAD";
  EXPECT_EQ(TQSO::SS_DELETE_FAILED, snap_.DetachSnap());
  EXPECT_EQ(0, DeviceErrorCode(record_));
  ExpectClosed();
}

}  // namespace
}  // namespace snapshottest
