// The clone worker of prepare when the array refuses the clone or its attach, directly or through a failed
// job: the device fails, a clone made but not attached is deleted again, and the record names no copy (so
// delete has nothing to do).
#include <gtest/gtest.h>

#include <string>

#include "SnapInfo.h"
#include "TqEngineConfig.h"
#include "TqSleep.h"
#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

using enginejob::RecordOf;

struct CloneFailure {
  const char* what;
  const char* method;
  smissim::FaultAction action;
  size_t deletions;     // of the clone made before the failure
  const char* message;  // the worker's job message
};

class CloneWorkerFailure : public enginejob::EngineJobTest, public ::testing::WithParamInterface<CloneFailure> {
 protected:
  CloneWorkerFailure() : EngineJobTest({"vol1"}) {}
};

TEST_P(CloneWorkerFailure, FailsTheDeviceAndLeavesNoClone) {
  const CloneFailure& c = GetParam();
  TqSleepScope instant(TqSleepMode::Instant);
  KnowArray(tqengine::kCloneEngine);
  JobOf({"vol1"});
  smissim::FaultRule rule;
  rule.operation = c.method;
  rule.action = c.action;
  rule.returnValue = 4;
  rule.jobFinalState = 10;
  array_->injectFault(rule);

  EXPECT_EQ(TQSO::RC_FAIL, tqso_prepareDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_PREPARE_FAILED, Device(0).getStatus());
  EXPECT_TRUE(Device(0).hasMessageContaining(c.message));
  EXPECT_EQ(c.deletions, CallsOf("ReturnToStoragePool").size());
  EXPECT_EQ(std::string::npos, Model().find("\"snap-vol1\"")) << "no clone stays on the array";
  const _TQ3PAR_SnapMetadata record = RecordOf(Device(0));
  EXPECT_TRUE(record.targetDev.empty());
  EXPECT_EQ(tqengine::kEmptyPath, record.childdevpath) << "no synchronization is recorded";

  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_deleteSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_DELETED, Device(0).getStatus());
  EXPECT_TRUE(Device(0).hasMessageContaining("Nothing to delete as snap device not created"));
}

const char kCreateFailed[] = "Clone volume creation failed";
const char kAttachFailed[] = "Attach of clone volume failed, going to delete clone volume";

INSTANTIATE_TEST_SUITE_P(Cases, CloneWorkerFailure,
                         ::testing::Values(CloneFailure{"CreateRefused", "CreateOrModifyElementFromStoragePool",
                                                        smissim::FaultAction::ForceReturnValue, 0, kCreateFailed},
                                           CloneFailure{"CreateJobFailed", "CreateOrModifyElementFromStoragePool",
                                                        smissim::FaultAction::JobFails, 0, kCreateFailed},
                                           CloneFailure{"AttachRefused", "AttachOrModifyReplica",
                                                        smissim::FaultAction::ForceReturnValue, 1, kAttachFailed},
                                           CloneFailure{"AttachJobFailed", "AttachOrModifyReplica",
                                                        smissim::FaultAction::JobFails, 1, kAttachFailed}),
                         [](const ::testing::TestParamInfo<CloneFailure>& info) {
                           return std::string(info.param.what);
                         });

}  // namespace
