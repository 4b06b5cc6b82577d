// Unmap when the array side fails or there is nothing on the host to withdraw, and delete when the array
// refuses: the copy is withdrawn (forced, child included) and deleted once more, except for a VMware job.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimFaults.h"
#include "SnapInfo.h"
#include "TqEngineConfig.h"
#include "TqSleep.h"
#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "support/ArrayVolumes.h"
#include "support/EngineJobFixture.h"
#include "support/EsxHostServices.h"

namespace {

using enginejob::RecordOf;

const uint32_t kPersistentSnapshot = 0x1000;
const int kMountIdentifier = 9;

class UnmapDeletePaths : public enginejob::EngineJobTest {
 protected:
  UnmapDeletePaths() : EngineJobTest({"vol1"}), instant_(TqSleepMode::Instant) {}

  // vol1 prepared and snapped; mapped (status 12) when asked.
  void SnapshotOfVol1(bool map, uint32_t flags = 0) {
    JobOf({"vol1"});
    Device(0).setRequestFlags(flags);
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
    if (map) {
      ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &services_));
    }
  }

  bool OnArray(const std::string& wwn) { return enginejob::OnArray(array_, wwn); }

  // Results of the deletions the array was asked for, in order.
  std::vector<int64_t> Deletions() {
    std::vector<int64_t> results;
    for (const smissim::MethodCallRecord& call : CallsOf("ReturnToStoragePool")) results.push_back(call.returnValue);
    return results;
  }

  TqSleepScope instant_;
};

// The array reports the hide as failed although the view no longer holds the child: the device fails with
// 60013, the child is still deleted, and its host path still goes with the rescan.
TEST_F(UnmapDeletePaths, AFailedArrayUnmapFailsTheDeviceAndStillCleansUp) {
  SnapshotOfVol1(true);
  const std::string child = RecordOf(Device(0)).childdev;
  const std::string disk = Device(0).snapDeviceName();
  smissim::FaultRule failedJob = simtest::On("HidePaths", simtest::AnyOperation(smissim::FaultAction::JobFails, 1));
  array_->injectFault(failedJob);

  EXPECT_EQ(TQSO::RC_FAIL, tqso_unmapSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_UNMAP_FAILED, Device(0).getStatus());
  EXPECT_EQ(60013, Device(0).errorCode());
  EXPECT_EQ("Failed to unmap the device", Device(0).errorText());
  EXPECT_FALSE(OnArray(child)) << "the child is deleted all the same";
  EXPECT_EQ(tqengine::kEmptyDev, RecordOf(Device(0)).childdev);
  ASSERT_FALSE(services_.rescans().empty());
  EXPECT_EQ(std::vector<std::string>{disk}, services_.rescans().back().devicesToDelete);
  EXPECT_EQ(0u, host_->visibleDevices().count(disk));
}

// A snapshot that was never mapped has nothing to withdraw: it counts as unmapped without a word to the array.
TEST_F(UnmapDeletePaths, ACopyNeverMappedIsUnmappedWithoutTheArray) {
  SnapshotOfVol1(false);
  array_->clearLog();
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_unmapSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_UNMAPPED, Device(0).getStatus());
  EXPECT_EQ(0, Device(0).errorCode());
  EXPECT_EQ(0u, simtest::TotalRequests(array_));
}

// A snapshot still presented through its child cannot be deleted: delete withdraws it from the host, deletes
// the child and then the snapshot. A persistent snapshot's child, kept by the unmap and no longer visible on
// the host, is deleted by the forced withdrawal as well.
struct HeldSnapshot {
  const char* what;
  uint32_t flags;
  bool unmapFirst;
};

class DeleteOfAHeldSnapshot : public UnmapDeletePaths, public ::testing::WithParamInterface<HeldSnapshot> {};

TEST_P(DeleteOfAHeldSnapshot, WithdrawsTheChildAndDeletesAgain) {
  const HeldSnapshot& c = GetParam();
  SnapshotOfVol1(true, c.flags);
  const _TQ3PAR_SnapMetadata record = RecordOf(Device(0));
  const std::string disk = Device(0).snapDeviceName();
  if (c.unmapFirst) {
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_unmapSnaps(list_.data(), Count(), &services_));
    ASSERT_TRUE(OnArray(record.childdev)) << "a persistent snapshot keeps its child";
  }
  array_->clearLog();

  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_deleteSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_DELETED, Device(0).getStatus());
  EXPECT_FALSE(OnArray(record.childdev));
  EXPECT_FALSE(OnArray(record.targetDev));
  const std::vector<int64_t> deletions = Deletions();
  ASSERT_EQ(3u, deletions.size()) << "the refused snapshot, its child, the snapshot again";
  EXPECT_NE(0, deletions[0]);
  EXPECT_EQ(0, deletions[1]);
  EXPECT_EQ(0, deletions[2]);
  EXPECT_EQ(0u, host_->visibleDevices().count(disk));
}

INSTANTIATE_TEST_SUITE_P(Cases, DeleteOfAHeldSnapshot,
                         ::testing::Values(HeldSnapshot{"StillMapped", 0, false},
                                           HeldSnapshot{"PersistentAndUnmapped", kPersistentSnapshot, true}),
                         [](const ::testing::TestParamInfo<HeldSnapshot>& info) {
                           return std::string(info.param.what);
                         });

TEST_F(UnmapDeletePaths, ADeleteRefusedForGoodFailsAfterTheSecondTry) {
  SnapshotOfVol1(false);
  smissim::FaultRule refused;
  refused.operation = "ReturnToStoragePool";
  refused.action = smissim::FaultAction::ForceReturnValue;
  refused.returnValue = 4;
  refused.count = simtest::kLasting;
  array_->injectFault(refused);
  array_->clearLog();

  EXPECT_EQ(TQSO::RC_FAIL, tqso_deleteSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_DELETE_FAILED, Device(0).getStatus());
  EXPECT_EQ(2u, Deletions().size()) << "deleted once more after the withdrawal";
  EXPECT_TRUE(OnArray(RecordOf(Device(0)).targetDev));
}

// On a VMware job a refused delete withdraws the copy on the array side only and is not tried again.
TEST_F(UnmapDeletePaths, AVmwareDeleteWithdrawsOnTheArrayAndDoesNotRetry) {
  enginejob::EsxHostServices esx(registry_, host_, array_);
  JobOf({"vol1"});
  Device(0).setHostDevicePath(enginejob::EsxDescriptor(host_->visibleDevices().at(DiskOf("vol1")).wwn).c_str());
  Device(0).setClientHostId(enginejob::kEsxIdentifier);
  Device(0).setClientHostIdByType(kMountIdentifier, enginejob::kEsxIdentifier);
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &esx));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &esx));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &esx));
  const _TQ3PAR_SnapMetadata record = RecordOf(Device(0));
  array_->clearLog();

  EXPECT_EQ(TQSO::RC_FAIL, tqso_deleteSnaps(list_.data(), Count(), &esx));
  EXPECT_EQ(TQSO::SS_DELETE_FAILED, Device(0).getStatus());
  EXPECT_EQ(2u, Deletions().size()) << "the refused delete and the child's; no second try";
  EXPECT_FALSE(OnArray(record.childdev));
  EXPECT_TRUE(OnArray(record.targetDev));
  EXPECT_TRUE(array_->exposedTo({enginejob::kEsxPort, enginejob::kHostPort}).size() == 1u)
      << "only the source stays presented (to this host)";

  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_deleteSnaps(list_.data(), Count(), &esx)) << "nothing holds the snapshot now";
  EXPECT_FALSE(OnArray(record.targetDev));
}

}  // namespace
