// A snapshot job through the list calls against the simulated array and host: prepare, snapshot, map,
// unmap, delete and reconcile, in parallel workers and in turn; copies already gone from the array,
// snapshot-copy requests, and the devices that cannot take part.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SnapInfo.h"
#include "TqCopyWorkers.h"
#include "TqEngineConfig.h"
#include "TqSleep.h"
#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

using enginejob::EngineJobTest;
using enginejob::HasVolume;
using enginejob::RecordOf;

class SnapshotJob : public EngineJobTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SnapshotJob, PreparesSnapsMapsUnmapsDeletesAndReconciles) {
  const bool parallel = GetParam();
  JobOf({"vol1", "vol2"});
  for (TQSO::SnapInfo* device : list_)
    device->setSetting("SMCONFIG_NAME_ENABLE_PARALLEL_SNAP_OPERATIONS", parallel ? 1 : 0);

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_PREPARED, Device(i).getStatus());
    const _TQ3PAR_SnapMetadata record = RecordOf(Device(i));
    EXPECT_EQ(enginejob::kArrayId, record.arrayId);
    EXPECT_EQ("4", record.snapOp);
    EXPECT_EQ(tqengine::kEmptyDev, record.childdev);
    EXPECT_TRUE(record.targetDev.empty());
    EXPECT_EQ(1u, record.version);
    EXPECT_EQ(0u, record.flags);
    EXPECT_EQ(record.srcDev, Device(i).metaDataText(TQSO::SM_MDT_3PAR_SRC_SNAP_UUID).value_or(""));
  }

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  std::string model = Model();
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(i).getStatus());
    EXPECT_FALSE(RecordOf(Device(i)).targetDev.empty()) << "the record names the new copy";
  }
  EXPECT_TRUE(HasVolume(model, "snap-vol1"));
  EXPECT_TRUE(HasVolume(model, "snap-vol2"));

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &services_));
  std::vector<std::string> copyDisks;
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_SEEN_AS_HOST_DEVICE, Device(i).getStatus());
    const _TQ3PAR_SnapMetadata record = RecordOf(Device(i));
    EXPECT_NE(tqengine::kEmptyDev, record.childdev) << "a snapshot is presented through its child";
    const std::string disk = Device(i).snapDeviceName();
    ASSERT_EQ(1u, host_->visibleDevices().count(disk));
    EXPECT_EQ(record.childdev, host_->visibleDevices().at(disk).wwn);
    copyDisks.push_back(disk);
  }

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_unmapSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    EXPECT_EQ(TQSO::SS_UNMAPPED, Device(i).getStatus());
    EXPECT_EQ(0u, host_->visibleDevices().count(copyDisks[i])) << "the copy's disk is gone from the host";
    EXPECT_EQ(tqengine::kEmptyDev, RecordOf(Device(i)).childdev) << "the child was deleted";
  }
  EXPECT_EQ(2u, host_->visibleDevices().size()) << "the sources stay";

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_deleteSnaps(list_.data(), Count(), &services_));
  model = Model();
  EXPECT_FALSE(HasVolume(model, "snap-vol1"));
  EXPECT_FALSE(HasVolume(model, "snap-vol2"));
  for (size_t i = 0; i < list_.size(); ++i) EXPECT_EQ(TQSO::SS_DELETED, Device(i).getStatus());

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_reconcileSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) EXPECT_EQ(TQSO::SS_GONE_FROM_ARRAY, Device(i).getStatus());
}

INSTANTIATE_TEST_SUITE_P(InWorkersAndInTurn, SnapshotJob, ::testing::Bool());

// A copy someone else deleted on the array counts as deleted; the other copies are still deleted.
TEST_F(EngineJobTest, ACopyAlreadyGoneFromTheArrayCountsAsDeleted) {
  JobOf({"vol1", "vol2"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  const std::string gone = RecordOf(Device(0)).targetDev;
  array_->withModel(
      [&](smissim::Model& model) { model.removeVolume(*model.arrayBySerial("00ABCD"), model.volumePath(gone)); });
  array_->clearLog();

  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_deleteSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_DELETED, Device(i).getStatus());
    EXPECT_EQ(0, Device(i).errorCode());
  }
  EXPECT_TRUE(Device(0).hasMessageContaining("externally deleted from the Storage Array"));
  EXPECT_FALSE(Device(1).hasMessageContaining("externally deleted"));
  EXPECT_FALSE(HasVolume(Model(), "snap-vol2"));
  EXPECT_EQ(1u, CallsOf("ReturnToStoragePool").size()) << "only the copy still there is deleted";
}

// A snapshot-copy request (flag 0x8000) takes and deletes its snapshot as any other, but presents it
// through a child named after the job's copy number; the clone engine, which has no child, refuses it.
TEST_F(EngineJobTest, ASnapshotCopyIsPresentedThroughTheChildOfItsCopyNumber) {
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1"});
  Device(0).setRequestFlags(0x8000);
  Device(0).setCopyNumber(7);
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_PREPARED, Device(0).getStatus());
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(0).getStatus());
  EXPECT_TRUE(HasVolume(Model(), "snap-vol1")) << "the snapshot keeps the source's snap name";

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_SEEN_AS_HOST_DEVICE, Device(0).getStatus());
  const std::string child = RecordOf(Device(0)).childdev;
  const std::string childName = array_->withModel([&](smissim::Model& model) -> std::string {
    const Pegasus::CIMInstance* volume = model.findVolumeByWwn(child);
    if (volume == nullptr) return "";
    return volume->getProperty(volume->findProperty("ElementName")).getValue().toString().str();
  });
  EXPECT_EQ("TQCL-TP_7", childName);
  const std::string disk = Device(0).snapDeviceName();
  ASSERT_EQ(1u, host_->visibleDevices().count(disk));
  EXPECT_EQ(child, host_->visibleDevices().at(disk).wwn);

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_unmapSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_UNMAPPED, Device(0).getStatus());
  EXPECT_FALSE(HasVolume(Model(), "TQCL-TP_7")) << "the child goes with the unmap";
  EXPECT_EQ(0u, host_->visibleDevices().count(disk));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_deleteSnaps(list_.data(), Count(), &services_));
  EXPECT_FALSE(HasVolume(Model(), "snap-vol1"));

  KnowArray(tqengine::kCloneEngine);
  JobOf({"vol2"});
  Device(0).setRequestFlags(0x8000);
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  array_->clearLog();
  EXPECT_EQ(TQSO::RC_FAIL, tqso_mapSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_CLONE_CREATED, Device(0).getStatus()) << "the refusal leaves the status alone";
  EXPECT_EQ(62009, Device(0).errorCode());
  EXPECT_EQ("[Error] Instant-clone is not supported in 3PAR-Clone engine. Failed to map the device ",
            Device(0).errorText());
  EXPECT_TRUE(array_->methodCalls().empty()) << "nothing is presented";
}

TEST_F(EngineJobTest, DevicesThatAreNoThreeParVolumes) {
  JobOf({"vol1", "vol2"});
  list_[1]->setHostDevicePath("/dev/nothing");
  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, tqso_prepareDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_PREPARED, Device(0).getStatus());
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, Device(1).getStatus());

  list_[0]->setHostDevicePath("/dev/nothing");
  list_[1]->setHostDevicePath(DiskOf("vol2").c_str());
  list_[1]->setStatus(TQSO::SS_RESET);
  EXPECT_EQ(TQSO::RC_FAIL, tqso_prepareDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, Device(0).getStatus());
  EXPECT_EQ(TQSO::SS_RESET, Device(1).getStatus()) << "only the first device is looked at";
}

TEST_F(EngineJobTest, ARefusedLoginFailsEveryDeviceWithTheArraysError) {
  KnowArray(25, "wrong");
  JobOf({"vol1", "vol2"});
  EXPECT_EQ(TQSO::RC_FAIL, tqso_prepareDevices(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    EXPECT_EQ(TQSO::SS_PREPARE_FAILED, Device(i).getStatus());
    EXPECT_EQ(60555, Device(i).errorCode());
  }
}

TEST_F(EngineJobTest, SnapshotOfAnUnpreparedDeviceFails) {
  JobOf({"vol1", "vol2"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  list_[1]->setStatus(TQSO::SS_UNPREPARED);
  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, tqso_snapDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(0).getStatus());
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, Device(1).getStatus());
  EXPECT_FALSE(HasVolume(Model(), "snap-vol2"));
}

TEST_F(EngineJobTest, TheCloneEnginePreparesAttachedClonesAndSplitsThemAtTheSnapshot) {
  TqSleepScope instant(TqSleepMode::Instant);
  KnowArray(tqengine::kCloneEngine);
  JobOf({"vol1", "vol2"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  std::vector<std::string> clones;
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_PREPARED, Device(i).getStatus());
    const _TQ3PAR_SnapMetadata record = RecordOf(Device(i));
    EXPECT_EQ("5", record.snapOp);
    EXPECT_FALSE(record.targetDev.empty()) << "the clone exists from prepare on";
    EXPECT_NE(tqengine::kEmptyPath, record.childdevpath) << "its synchronization is recorded";
    clones.push_back(record.targetDev);
  }
  EXPECT_NE(clones[0], clones[1]);

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_CLONE_CREATED, Device(i).getStatus());
    const _TQ3PAR_SnapMetadata record = RecordOf(Device(i));
    EXPECT_EQ(clones[i], record.targetDev) << "the prepared clone is the copy";
    EXPECT_EQ(tqengine::kEmptyPath, record.childdevpath);
  }
}

// A job over two arrays, the second of which cannot be reached: its devices fail with the connection error,
// the first array's devices are prepared and snapped, and the call reports the partial result.
TEST_F(EngineJobTest, AnUnreachableArrayFailsOnlyItsOwnDevices) {
  ASSERT_NO_FATAL_FAILURE(AddSecondArray({"vol1", "vol2"}, 25, "1"));  // nothing listens on port 1

  JobOf({"vol1", "far1", "vol2"});
  ASSERT_FALSE(DiskOf("far1").empty());
  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, tqso_prepareDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_PREPARED, Device(0).getStatus());
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, Device(1).getStatus());
  EXPECT_EQ(60541, Device(1).errorCode());
  EXPECT_EQ(TQSO::SS_PREPARED, Device(2).getStatus());

  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, tqso_snapDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(0).getStatus());
  EXPECT_EQ(TQSO::SS_SNAPSHOT_FAILED, Device(1).getStatus());
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(2).getStatus());
  const std::string model = Model();
  EXPECT_TRUE(HasVolume(model, "snap-vol1"));
  EXPECT_TRUE(HasVolume(model, "snap-vol2"));
  EXPECT_FALSE(HasVolume(model, "snap-far1"));
}

}  // namespace
