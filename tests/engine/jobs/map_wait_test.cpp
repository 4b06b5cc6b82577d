// Mapping failures and the rescan wait for copies that never appear on the host; reverts that restore the
// sources, and those refused for clones and remote-copy replicas.
#include <gtest/gtest.h>

#include <string>

#include "SnapInfo.h"
#include "TqEngineConfig.h"
#include "TqHostNames.h"
#include "TqMapWorkers.h"
#include "TqSleep.h"
#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

using enginejob::EngineJobTest;
using enginejob::RecordOf;

TEST_F(EngineJobTest, CopiesThatNeverAppearEndTheWaitWhenItsWindowIsOver) {
  TqSleepScope instant(TqSleepMode::Instant);
  TqSleepControl::resetCounters();
  JobOf({"vol1"});
  _TQ3PAR_SnapMetadata record;
  record.arrayId = enginejob::kArrayId;
  record.targetDev = "60002AC0000000000000000009990ABC";
  record.childdev = "0002AC0000000000000000009990ABC";
  std::string text;
  ConstructMetadata(record, text);
  Device(0).setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, text.c_str());
  Device(0).setStatus(TQSO::SS_MAPPED);

  MappedCopyWait wait;
  wait.mapped = 1;
  EXPECT_EQ(TQSO::RC_FAIL, WaitForMappedCopies(list_.data(), Count(), &services_, wait));
  EXPECT_EQ(60509, Device(0).errorCode());
  EXPECT_EQ(TQSO::SS_MAPPED, Device(0).getStatus());
  // Five passes whatever the window, then passes while the default window of 300 s lasts: pauses of
  // 10, 20, ... 80 seconds.
  EXPECT_EQ(8, TqSleepControl::requestCount());
  EXPECT_EQ(360000, TqSleepControl::requestedMillis());

  TqSleepControl::resetCounters();
  wait.mapped = 0;
  Device(0).setStatus(TQSO::SS_MAP_FAILED);
  EXPECT_EQ(TQSO::RC_FAIL, WaitForMappedCopies(list_.data(), Count(), &services_, wait));
  EXPECT_EQ(0, TqSleepControl::requestCount()) << "nothing mapped: no pass";
}

// A job over a snapshot-engine array and a clone-engine array: each device's copy is looked for by its own
// engine (a snapshot through its child, a clone itself), so both are found at once and withdrawn again.
TEST_F(EngineJobTest, AJobOverBothEnginesFindsEveryCopyAtOnce) {
  TqSleepScope instant(TqSleepMode::Instant);
  ASSERT_NO_FATAL_FAILURE(AddSecondArray({"vol1"}, 26, std::to_string(array_.port())));

  JobOf({"vol1", "far1"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_SNAPSHOT_CREATED, Device(0).getStatus());
  EXPECT_EQ(TQSO::SS_CLONE_CREATED, Device(1).getStatus());
  TqSleepControl::resetCounters();
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(0, TqSleepControl::requestCount()) << "every copy is found in the first pass";
  const std::string seen[] = {RecordOf(Device(0)).childdev, RecordOf(Device(1)).targetDev};
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_SEEN_AS_HOST_DEVICE, Device(i).getStatus());
    const std::string disk = Device(i).snapDeviceName();
    ASSERT_EQ(1u, host_->visibleDevices().count(disk));
    EXPECT_EQ(seen[i], host_->visibleDevices().at(disk).wwn);
  }

  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_unmapSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) EXPECT_EQ(TQSO::SS_UNMAPPED, Device(i).getStatus());
  EXPECT_EQ(tqengine::kEmptyDev, RecordOf(Device(0)).childdev);
  EXPECT_EQ(2u, host_->visibleDevices().size()) << "only the sources stay";
}

TEST_F(EngineJobTest, AFailedMapRemovesOnlyAChildItMade) {
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  std::string child;
  ASSERT_TRUE(GetChildDeviceName(RecordOf(Device(0)).targetDev.c_str(), child));
  RefuseExposure();
  EXPECT_EQ(TQSO::RC_FAIL, tqso_mapSnaps(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::SS_MAP_FAILED, Device(0).getStatus());
  EXPECT_EQ(62009, Device(0).errorCode());
  EXPECT_EQ(std::string::npos, Model().find("\"" + child + "\"")) << "the child made for the map is gone";
  EXPECT_EQ(tqengine::kEmptyDev, RecordOf(Device(0)).childdev) << "and the record no longer names it";
  EXPECT_EQ(tqengine::kEmptyPath, RecordOf(Device(0)).childdevpath);

  // A persistent snapshot keeps its child on unmap; a later failed map must not take it.
  Device(0).setRequestFlags(0x1000);
  Device(0).setStatus(TQSO::SS_SNAPSHOT_CREATED);
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_unmapSnaps(list_.data(), Count(), &services_));
  ASSERT_NE(std::string::npos, Model().find("\"" + child + "\""));
  RefuseExposure();
  EXPECT_EQ(TQSO::RC_FAIL, tqso_mapSnaps(list_.data(), Count(), &services_));
  EXPECT_NE(std::string::npos, Model().find("\"" + child + "\""))
      << "a child found already is never deleted by a failed map";
}

// The child check cannot read the snapshot's children, and the new child's answer is lost (the array refuses
// the name it already holds): the kept child is an older copy of that name and must survive.
TEST_F(EngineJobTest, AKeptChildSurvivesAMapWhoseChildCheckAndCreateFail) {
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  Device(0).setRequestFlags(0x1000);
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_mapSnaps(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_unmapSnaps(list_.data(), Count(), &services_));
  std::string child;
  ASSERT_TRUE(GetChildDeviceName(RecordOf(Device(0)).targetDev.c_str(), child));
  ASSERT_NE(std::string::npos, Model().find("\"" + child + "\"")) << "a persistent snapshot keeps its child";

  smissim::FaultRule childCheck;
  childCheck.operation = "AssociatorNames";
  array_->injectFault(childCheck);
  smissim::FaultRule childCreate;
  childCreate.operation = "CreateReplica";
  childCreate.action = smissim::FaultAction::DropConnection;
  childCreate.afterRunning = true;
  array_->injectFault(childCreate);
  array_->clearLog();
  tqso_mapSnaps(list_.data(), Count(), &services_);

  ASSERT_EQ(1u, CallsOf("CreateReplica").size()) << "the child create was tried";
  EXPECT_NE(std::string::npos, Model().find("\"" + child + "\"")) << "the kept child survives";
  EXPECT_TRUE(CallsOf("ReturnToStoragePool").empty());
}

TEST_F(EngineJobTest, RevertRestoresSourcesAndPresentsThemAgain) {
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1", "vol2"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  EXPECT_EQ(TQSO::RC_SUCCESS, tqso_revertSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) EXPECT_EQ(TQSO::SS_RESTORED, Device(i).getStatus());
  EXPECT_EQ(2u, host_->visibleDevices().size()) << "the sources are host disks again";
}

// After the restore each source is presented to the host again. A source the host does not get back counts as
// failed, with the map's error, even when the array answered the map well; a hide the array did although it
// answered a failure does not cost the device its result.
struct RevertRemap {
  const char* what;
  smissim::FaultRule fault;  // on the first request of its operation
  TQSO::ResultCode result;
  int firstError;        // the first device's error afterwards (0 none)
  size_t sourcesOnHost;  // host disks after the revert
};

smissim::FaultRule FaultOn(const char* operation, smissim::FaultAction action) {
  smissim::FaultRule rule;
  rule.operation = operation;
  rule.action = action;
  rule.count = 1;
  return rule;
}

smissim::FaultRule Answering(smissim::FaultRule rule, unsigned returnValue) {
  rule.returnValue = returnValue;
  return rule;
}

class RevertRemaps : public EngineJobTest, public ::testing::WithParamInterface<RevertRemap> {};

TEST_P(RevertRemaps, ASourceTheHostDoesNotGetBackFailsItsDevice) {
  const RevertRemap& c = GetParam();
  TqSleepScope instant(TqSleepMode::Instant);
  JobOf({"vol1", "vol2"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  array_->injectFault(c.fault);

  EXPECT_EQ(c.result, tqso_revertSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TQSO::SS_RESTORED, Device(i).getStatus()) << "the source holds the snapshot's data";
    EXPECT_EQ(i == 0 ? c.firstError : 0, Device(i).errorCode());
  }
  EXPECT_EQ(c.sourcesOnHost, host_->visibleDevices().size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RevertRemaps,
    ::testing::Values(
        RevertRemap{
            "MapRefused",
            Answering(FaultOn("ExposeLUsToStorageHardwareIDCollection", smissim::FaultAction::ForceReturnValue), 4),
            TQSO::RC_FAIL_PARTIAL, 62009, 1},
        RevertRemap{
            "MapAnsweredButNothingPresented",
            Answering(FaultOn("ExposeLUsToStorageHardwareIDCollection", smissim::FaultAction::ForceReturnValue), 0),
            TQSO::RC_FAIL_PARTIAL, 62009, 1},
        RevertRemap{"HideDoneThoughItsJobFailed", FaultOn("HidePaths", smissim::FaultAction::JobFails),
                    TQSO::RC_SUCCESS, 0, 2}),
    [](const ::testing::TestParamInfo<RevertRemap>& info) { return std::string(info.param.what); });

// Clones and remote-copy replicas are never reverted: such a device fails with the revert error and its
// copy is not copied back, while the other devices of the list are still restored.
struct RevertRefusal {
  const char* what;
  short engine;
  bool secondReplicated;    // the second device's record says it is prepared for remote copy
  const char* refusals[2];  // per device: the refusal, or null when it is restored
  TQSO::ResultCode result;
  size_t restores;  // restores the array is asked for
};

class RevertRefusals : public EngineJobTest, public ::testing::WithParamInterface<RevertRefusal> {};

TEST_P(RevertRefusals, RefusedDevicesFailAndTheOthersAreRestored) {
  const RevertRefusal& c = GetParam();
  TqSleepScope instant(TqSleepMode::Instant);
  KnowArray(c.engine);
  JobOf({"vol1", "vol2"});
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
  ASSERT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
  if (c.secondReplicated) {
    _TQ3PAR_SnapMetadata record = RecordOf(Device(1));
    record.flags = tqengine::kMetadataReplicationFlag;
    ASSERT_TRUE(setMetadataRecord(list_[1], record));
  }
  array_->clearLog();

  EXPECT_EQ(c.result, tqso_revertSnaps(list_.data(), Count(), &services_));
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE(i);
    if (c.refusals[i] == nullptr) {
      EXPECT_EQ(TQSO::SS_RESTORED, Device(i).getStatus());
      EXPECT_EQ(0, Device(i).errorCode());
    } else {
      EXPECT_EQ(TQSO::SS_RESTORE_FAILED, Device(i).getStatus());
      EXPECT_EQ(60513, Device(i).errorCode());
      EXPECT_EQ(c.refusals[i], Device(i).errorText());
    }
  }
  size_t restores = 0;
  for (const smissim::MethodCallRecord& call : CallsOf("ModifySynchronization"))
    restores += call.param("Operation") != nullptr && call.param("Operation")->value == "5";
  EXPECT_EQ(c.restores, restores);
  EXPECT_EQ(2u, host_->visibleDevices().size()) << "the sources are host disks again";
}

const char kRefusedClone[] = "3PAR revert is not supported for cloned volumes";
const char kRefusedReplica[] = "3PAR revert is not supported for replicated volumes";

INSTANTIATE_TEST_SUITE_P(
    Cases, RevertRefusals,
    ::testing::Values(
        RevertRefusal{"clones", tqengine::kCloneEngine, false, {kRefusedClone, kRefusedClone}, TQSO::RC_FAIL, 0},
        RevertRefusal{
            "replica", tqengine::kSnapshotEngine, true, {nullptr, kRefusedReplica}, TQSO::RC_FAIL_PARTIAL, 1}),
    [](const ::testing::TestParamInfo<RevertRefusal>& info) { return std::string(info.param.what); });

}  // namespace
