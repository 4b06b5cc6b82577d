// Deleting copies and creating clone volumes through one 3PAR snapshot object against the simulated
// array: a copy deleted, one already gone, one still exposed to a host; a clone volume created, attached
// and split; every connection closed again.
#include <gtest/gtest.h>

#include <string>

#include "TQPlatformInfo.h"
#include "support/SnapshotFixture.h"

namespace snapshottest {
namespace {

using TQ_SMIS_SNAP::TqSnapParams;
using TQ_SMIS_SNAP::TqSnapViewParams;

class SnapshotDeleteTest : public SnapshotTest {
 protected:
  // A snapshot of base1 made through the object; the object then names the copy.
  void MakeSnapshot(const std::string& name) {
    AskForSnapshot(name);
    ASSERT_EQ(TQSO::SS_PREPARED, snap_.PrepareSnap());
    ASSERT_EQ(TQSO::SS_SNAPSHOT_CREATED, snap_.SnapCreate());
    sim().clearLog();
  }

  void ExposeToHost(const std::string& volume) {
    Pegasus::CIMObjectPath path = VolumePath(kArraySerial, volume);
    sim().withModel([&](smissim::Model& model) {
      smissim::StorageArray& array = *model.arrayBySerial(kArraySerial);
      model.expose(array, model.addHost(array, "hostA"), path, -1, 2);
      return 0;
    });
  }

  // The delete worker's object: the copy named by the view record only.
  Tq3PARSnapshot DeleterOf(const std::string& device, const std::string& path) {
    Tq3PARSnapshot deleter(snap_);
    TqSnapViewParams view;
    view.targetDev = device;
    view.targetDevPath = path;
    deleter.SetSnapViewInfo(view);
    return deleter;
  }
};

TEST_F(SnapshotDeleteTest, CopyIsDeletedThenCountsAsGone) {
  MakeSnapshot("base1-snap");
  Tq3PARSnapshot deleter = DeleterOf("", snap_.GetSnapDevPath());
  EXPECT_EQ(TQSO::SS_DELETED, deleter.SnapDelete());
  EXPECT_EQ(Wwn("base1"), deleter.GetSourceDev());
  EXPECT_EQ(snap_.GetSnapDevice(), deleter.GetSnapDevice()) << "the id is read from the path first";
  EXPECT_FALSE(VolumeExists("base1-snap"));
  EXPECT_EQ(1u, CallsOf("ReturnToStoragePool").size());
  EXPECT_EQ(nullptr, deleter.m_Conn.m_Client);

  EXPECT_EQ(TQSO::SS_GONE_FROM_ARRAY, snap_.GetSnapStatus());
  Tq3PARSnapshot again = DeleterOf(snap_.GetSnapDevice(), "");
  EXPECT_EQ(TQSO::SS_DELETED, again.SnapDelete()) << "a copy already gone counts as deleted";
  EXPECT_EQ(0, DeviceErrorCode(record_));
  EXPECT_EQ(nullptr, again.m_Conn.m_Client);
}

TEST_F(SnapshotDeleteTest, CopyStillExposedIsKeptWithTheHostMappingError) {
  MakeSnapshot("base1-snap");
  ExposeToHost("base1-snap");
  Tq3PARSnapshot deleter = DeleterOf(snap_.GetSnapDevice(), snap_.GetSnapDevPath());
  EXPECT_EQ(TQSO::SS_DELETE_FAILED, deleter.SnapDelete());
  EXPECT_TRUE(VolumeExists("base1-snap"));
  EXPECT_EQ(60551, DeviceErrorCode(record_));
  EXPECT_EQ("Snapshot::SnapDelete Device base1-snap delete failed, Host mappings found\n", DeviceErrorText(record_));
  EXPECT_EQ(nullptr, deleter.m_Conn.m_Client);
}

TEST_F(SnapshotDeleteTest, UnderFaultRetryTheCopyIsNamedByItsIdAndDeletedOnce) {
  MakeSnapshot("base1-snap");
  TqConfigOverride faultRetry("Corvane", "TQ_PEGASUS_FAULT_RETRY", "1");
  Tq3PARSnapshot deleter = DeleterOf(snap_.GetSnapDevice(), snap_.GetSnapDevPath());
  EXPECT_EQ(TQSO::SS_DELETED, deleter.SnapDelete());
  EXPECT_FALSE(VolumeExists("base1-snap"));
  EXPECT_EQ(1, simtest::CountMessages(record_, "Pegasus retry in faulty environment"));
}

TEST_F(SnapshotDeleteTest, PathWithoutAVolumeIsRefusedAfterConnecting) {
  MakeSnapshot("base1-snap");
  std::string path = snap_.GetSnapDevPath();
  Tq3PARSnapshot first = DeleterOf("", path);
  ASSERT_EQ(TQSO::SS_DELETED, first.SnapDelete());
  Tq3PARSnapshot stale = DeleterOf("", path);
  EXPECT_EQ(TQSO::SS_DELETE_FAILED, stale.SnapDelete());
  EXPECT_EQ(1, simtest::CountMessages(record_, "SnapDelete: Invalid Parameter"));
  EXPECT_EQ(nullptr, stale.m_Conn.m_Client);
}

class CloneVolumeTest : public SnapshotTest {
 protected:
  void AskForClone(const std::string& name) {
    TqSnapParams request;
    request.snapName = name;
    request.snapOp = 5;
    request.sourceDev = Wwn("base1");
    snap_.SetSnapInfo(request);
  }
};

TEST_F(CloneVolumeTest, CloneIsCreatedAttachedAndSplit) {
  AskForClone("base1-clone");
  snap_.m_CloneProvisionType = 1;
  ASSERT_TRUE(snap_.CreateCloneVolume());
  ExpectClosed();
  EXPECT_EQ(Wwn("base1-clone"), snap_.GetSnapDevice());
  EXPECT_TRUE(Pegasus::refersToSameObject(Pegasus::CIMObjectPath(Pegasus::String(snap_.GetSnapDevPath())),
                                          VolumePath(kArraySerial, "base1-clone")));
  EXPECT_EQ("TRUE", VolumeProperty(kArraySerial, "base1-clone", "ThinlyProvisioned"));

  ASSERT_TRUE(snap_.AttachCloneVolume("4"));
  EXPECT_FALSE(snap_.GetSyncPath().empty());
  snap_.m_SourceDevPath = PathText("base1");
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, snap_.SnapSyncOp(2, false));
  ExpectClosed();
  EXPECT_EQ(0, DeviceErrorCode(record_));
}

TEST_F(CloneVolumeTest, RequiredDiskGroupMissingOrRefusedVolumeFailsTheClone) {
  AskForClone("c1");
  snap_.m_TargetDG = "NoSuchCPG";
  snap_.m_DGRequired = true;
  EXPECT_FALSE(snap_.CreateCloneVolume());
  EXPECT_EQ(60540, DeviceErrorCode(record_));
  EXPECT_FALSE(VolumeExists("c1"));
  ExpectClosed();

  record_.setError(0, "");
  snap_.m_DGRequired = false;
  ForceAnswer("CreateOrModifyElementFromStoragePool", 4);
  EXPECT_FALSE(snap_.CreateCloneVolume());
  EXPECT_EQ(0, DeviceErrorCode(record_)) << "a refused creation has no row of its own";
  EXPECT_EQ(TQ_SMIS_SNAP::kSmisNewVolumeFailed, snap_.m_LastErrorCode);
  EXPECT_FALSE(VolumeExists("c1"));
  ExpectClosed();
}

TEST_F(CloneVolumeTest, UnderFaultRetryTheArrayFirstSeesAnEmptyVolume) {
  TqConfigOverride faultRetry("Corvane", "TQ_PEGASUS_FAULT_RETRY", "1");
  AskForClone("c2");
  ASSERT_TRUE(snap_.CreateCloneVolume());
  std::vector<smissim::MethodCallRecord> creates = CallsOf("CreateOrModifyElementFromStoragePool");
  ASSERT_EQ(2u, creates.size());
  EXPECT_EQ("0", creates[0].param("Size")->value);
  EXPECT_TRUE(VolumeExists("c2"));
}

}  // namespace
}  // namespace snapshottest
