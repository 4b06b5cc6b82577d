// Delete and reconcile when the array's answer about a copy is not plain: a check answered without values, a
// delete whose answer was lost after the array did it, a check refused once for the login.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "SnapInfo.h"
#include "TqSleep.h"
#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

using enginejob::EngineJobTest;
using enginejob::HasVolume;
using enginejob::RecordOf;

class CopyChecks : public EngineJobTest {
 protected:
  // The next read of a volume instance answers with this fault.
  void OnNextVolumeRead(smissim::FaultAction action, int httpStatus = 500) {
    smissim::FaultRule rule;
    rule.operation = "GetInstance";
    rule.className = "CIM_StorageVolume";
    rule.action = action;
    rule.httpStatus = httpStatus;
    rule.count = 1;
    array_->injectFault(rule);
  }
};

// A volume read answered with its properties but without their values says nothing about the copy: delete still
// deletes it (never "externally deleted" while it stays) and reconcile leaves the device as it was.
TEST_F(CopyChecks, ACheckAnsweredWithoutValuesIsUndetermined) {
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1"});
  SnapAll();

  OnNextVolumeRead(smissim::FaultAction::NoValues);
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_reconcileSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(0).getStatus());

  OnNextVolumeRead(smissim::FaultAction::NoValues);
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_deleteSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_DELETED, Device(0).getStatus());
  EXPECT_FALSE(Device(0).hasMessageContaining("externally deleted"));
  EXPECT_FALSE(HasVolume(Model(), "snap-vol1")) << "the copy is deleted, not taken for gone";
}

// The array deleted the copy but its answer never arrived: the copy is gone, so the device is deleted, whether or
// not the host's path lets delete withdraw and try again.
class LostDeleteAnswer : public CopyChecks, public ::testing::WithParamInterface<bool> {};

TEST_P(LostDeleteAnswer, ACopyTheArrayNoLongerHoldsIsDeleted) {
  const bool vmware = GetParam();
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1"});
  SnapAll();
  if (vmware) Device(0).setHostDevicePath("{corvtype:vmware,lunuuid:none}");
  const std::string copy = RecordOf(Device(0)).targetDev;
  std::atomic<bool> done{false};
  array_->observeRequests([&](const std::string& operation) {
    if (operation != "ReturnToStoragePool" || done.exchange(true)) return;
    array_->withModel(
        [&](smissim::Model& model) { model.removeVolume(*model.arrayBySerial("00ABCD"), model.volumePath(copy)); });
  });
  smissim::FaultRule lost;
  lost.operation = "ReturnToStoragePool";
  lost.action = smissim::FaultAction::DropConnection;
  lost.count = 1;
  array_->injectFault(lost);

  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_deleteSnaps(list_.data(), Count(), &services_));
  array_->observeRequests(nullptr);
  EXPECT_TRUE(done);
  EXPECT_EQ(TQSO::SS_DELETED, Device(0).getStatus());
  EXPECT_EQ(0, Device(0).errorCode()) << Device(0).errorText();
  EXPECT_FALSE(HasVolume(Model(), "snap-vol1"));
}

INSTANTIATE_TEST_SUITE_P(PlainAndVmwareHosts, LostDeleteAnswer, ::testing::Bool());

// A delete whose check was refused once for the login, and which then deleted the copy, leaves no error on the
// device; an error the device came with stays. A reconcile whose check was refused keeps the error: it is why
// the copy could not be checked.
TEST_F(CopyChecks, AnErrorMetOnTheWayIsNotTheOutcome) {
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1", "vol2"});
  SnapAll();

  OnNextVolumeRead(smissim::FaultAction::HttpStatus, 401);
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_reconcileSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(0).getStatus());
  EXPECT_EQ(60555, Device(0).errorCode());
  EXPECT_EQ(0, Device(1).errorCode());

  Device(0).setError(0, "");
  Device(1).setError(62009, "an earlier call's error");
  OnNextVolumeRead(smissim::FaultAction::HttpStatus, 401);
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_deleteSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) EXPECT_EQ(TQSO::SS_DELETED, Device(i).getStatus());
  EXPECT_EQ(0, Device(0).errorCode()) << Device(0).errorText();
  EXPECT_EQ(62009, Device(1).errorCode());
  EXPECT_FALSE(HasVolume(Model(), "snap-vol1"));
}

}  // namespace
