// Copies the host sees already: tqso_isMapped marks only those, and a map of them does no array work; a map
// that finds one device's copy and fails the other's reports the partial result.
#include <gtest/gtest.h>

#include <string>

#include "SimFaults.h"
#include "SnapInfo.h"
#include "TqEngineConfig.h"
#include "TqSleep.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

class VisibleCopies : public enginejob::EngineJobTest {
 protected:
  VisibleCopies() : instant_(TqSleepMode::Instant) {}

  // vol1 and vol2 cloned with the clone engine (the host sees a clone under its own id); the first mapped.
  void ClonesWithTheFirstMapped() {
    KnowArray(tqengine::kCloneEngine);
    JobOf({"vol1", "vol2"});
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
    ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), 1, &services_));
    ASSERT_EQ(TQSO::SS_SEEN_AS_HOST_DEVICE, Device(0).getStatus());
  }

  TqSleepScope instant_;
};

TEST_F(VisibleCopies, IsMappedMarksOnlyTheCopiesTheHostSees) {
  ClonesWithTheFirstMapped();
  Device(0).setStatus(TQSO::SS_CLONE_CREATED);
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_isMapped(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_MAPPED, Device(0).getStatus());
  EXPECT_EQ(TQSO::SS_CLONE_CREATED, Device(1).getStatus()) << "not visible: the status stays";

  // With the snapshot engine the host sees the child, never the snapshot itself.
  KnowArray(tqengine::kSnapshotEngine);
  JobOf({"vol1"});
  Device(0).setSourceDeviceName("snapshot-vol1");  // the clone holds the name "snap-vol1"
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &services_));
  Device(0).setStatus(TQSO::SS_SNAPSHOT_CREATED);
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_isMapped(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(0).getStatus());
}

TEST_F(VisibleCopies, AMapOfACopyAlreadyVisibleDoesNoArrayWork) {
  ClonesWithTheFirstMapped();
  const std::string disk = Device(0).snapDeviceName();
  Device(0).setStatus(TQSO::SS_CLONE_CREATED);
  Device(0).setSnapDeviceName(nullptr);
  array_->clearLog();

  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), 1, &services_));
  EXPECT_EQ(TQSO::SS_SEEN_AS_HOST_DEVICE, Device(0).getStatus());
  EXPECT_EQ(disk, Device(0).snapDeviceName()) << "the wait records the disk it sees";
  EXPECT_EQ(0u, simtest::TotalRequests(array_)) << "the array is not asked";
}

// One copy visible already, the other's map refused by the array: result 2, the first found on the host,
// the second failed with the map error.
TEST_F(VisibleCopies, OneCopyFoundAndOneMapRefusedIsAPartialResult) {
  ClonesWithTheFirstMapped();
  Device(0).setStatus(TQSO::SS_CLONE_CREATED);
  array_->clearLog();
  RefuseExposure();

  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, tqso_mapSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_SEEN_AS_HOST_DEVICE, Device(0).getStatus());
  EXPECT_EQ(0, Device(0).errorCode());
  EXPECT_EQ(TQSO::SS_MAP_FAILED, Device(1).getStatus());
  EXPECT_EQ(62009, Device(1).errorCode());
  EXPECT_EQ("Failed to map the device ", Device(1).errorText());
  EXPECT_EQ(1u, CallsOf("ExposeLUsToStorageHardwareIDCollection").size()) << "only the second device is mapped";
}

}  // namespace
