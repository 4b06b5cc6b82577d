// Copies the array holds although their step failed, through the list calls against the simulated array:
// a record that cannot be stored after a snapshot, clone or child snapshot was made, a create whose answer
// was lost, a clone whose attach and clean-up both failed, a clone volume whose answer was lost. A copy the
// step could not remove fails its device with error 62010, whose text carries the copy's id (or the name it
// was asked under, where nothing else tells it); one it could remove leaves nothing behind.
#include <gtest/gtest.h>

#include <string>

#include "TqEngineConfig.h"
#include "TqEngineErrors.h"
#include "TqHostNames.h"
#include "TqSleep.h"
#include "TqsoEntryPoints.h"
#include "support/EngineJobFixture.h"

namespace {

using enginejob::RecordOf;

enum class Step { Snapshot, ClonePrepare, CloneResync, ChildOfMap };
enum class Fault {
  RecordRefused,               // metadata id 1 of the first device cannot be stored
  AnswerLost,                  // the array makes the copy, the connection drops before its answer
  AnswerLostAndDeleteRefused,  // ... and the array refuses to delete it
  AttachAndDeleteRefused,      // the clone's attach and its clean-up delete are refused
  CleanUpCannotLook,           // the copy's answer is lost and the clean-up cannot read the source's copies
  VolumeAnswerLost,            // the array makes the clone's volume, the connection drops before its answer
};

struct Case {
  const char* name;
  Step step;
  Fault fault;
};

class UnrecordedCopies : public enginejob::EngineJobTest, public ::testing::WithParamInterface<Case> {
 protected:
  UnrecordedCopies() {
    KnowArray(Clone() ? tqengine::kCloneEngine : tqengine::kSnapshotEngine);
    JobOf({"vol1", "vol2"});
    // In turn, so that a fault on the next request meets the first device.
    for (TQSO::SnapInfo* device : list_) device->setSetting("SMCONFIG_NAME_ENABLE_PARALLEL_SNAP_OPERATIONS", 0);
  }

  bool Clone() const { return GetParam().step == Step::ClonePrepare || GetParam().step == Step::CloneResync; }

  void Inject(const char* method, smissim::FaultAction action, bool afterRunning = false) {
    smissim::FaultRule rule;
    rule.operation = method;
    rule.action = action;
    rule.afterRunning = afterRunning;
    array_->injectFault(rule);
  }

  void InjectFault() {
    switch (GetParam().fault) {
      case Fault::RecordRefused:
        Device(0).refuseMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, true);
        break;
      case Fault::AnswerLostAndDeleteRefused:
        Inject("ReturnToStoragePool", smissim::FaultAction::ForceReturnValue);
        [[fallthrough]];
      case Fault::AnswerLost:
        Inject("CreateReplica", smissim::FaultAction::DropConnection, true);
        break;
      case Fault::AttachAndDeleteRefused:
        Inject("AttachOrModifyReplica", smissim::FaultAction::ForceReturnValue);
        Inject("ReturnToStoragePool", smissim::FaultAction::ForceReturnValue);
        break;
      case Fault::CleanUpCannotLook: {
        smissim::FaultRule afterTheCreate;
        afterTheCreate.operation = "AssociatorNames";
        afterTheCreate.skip = 1;  // the list before the create goes through
        array_->injectFault(afterTheCreate);
        Inject("CreateReplica", smissim::FaultAction::DropConnection, true);
        break;
      }
      case Fault::VolumeAnswerLost:
        Inject("CreateOrModifyElementFromStoragePool", smissim::FaultAction::DropConnection, true);
        break;
    }
  }

  // Whether the device's error names the copy by the name it was asked under, not by an id.
  bool NamedByName() const {
    return GetParam().fault == Fault::CleanUpCannotLook || GetParam().fault == Fault::VolumeAnswerLost;
  }

  // Runs the steps before the case's step, the fault, then the step; its result.
  int RunStep() {
    if (GetParam().step != Step::ClonePrepare) {
      EXPECT_EQ(TQSO::RC_SUCCESS, tqso_prepareDevices(list_.data(), Count(), &services_));
    }
    if (GetParam().step == Step::ChildOfMap) {
      EXPECT_EQ(TQSO::RC_SUCCESS, tqso_snapDevices(list_.data(), Count(), &services_));
    }
    InjectFault();
    switch (GetParam().step) {
      case Step::ClonePrepare:
        return tqso_prepareDevices(list_.data(), Count(), &services_);
      case Step::Snapshot:
      case Step::CloneResync:
        return tqso_snapDevices(list_.data(), Count(), &services_);
      case Step::ChildOfMap:
        return tqso_mapSnaps(list_.data(), Count(), &services_);
    }
    return -1;
  }

  // The name the step gives the first device's new copy.
  std::string CopyName() {
    if (GetParam().step != Step::ChildOfMap) return "snap-vol1";
    std::string child;
    EXPECT_TRUE(GetChildDeviceName(RecordOf(Device(0)).targetDev.c_str(), child));
    return child;
  }

  // The WWN of the volume of that name; "" when the array has none.
  std::string WwnOf(const std::string& name) {
    return array_->withModel([&](smissim::Model& model) -> std::string {
      const Pegasus::CIMInstance* volume = model.findVolumeByName(*model.arrayBySerial("00ABCD"), name);
      if (volume == nullptr) return "";
      return volume->getProperty(volume->findProperty("Name")).getValue().toString().str();
    });
  }

  TqSleepScope instant_{TqSleepMode::Instant};
};

TEST_P(UnrecordedCopies, FailTheDeviceWithTheCopysIdOrLeaveNothing) {
  const Step step = GetParam().step;
  const bool removed = GetParam().fault == Fault::AnswerLost;
  EXPECT_EQ(TQSO::RC_FAIL_PARTIAL, RunStep());

  const TQSO::SnapStatus failed[] = {TQSO::SS_SNAPSHOT_FAILED, TQSO::SS_PREPARE_FAILED, TQSO::SS_CLONE_FAILED,
                                     TQSO::SS_SNAPSHOT_FAILED};
  const TQSO::SnapStatus done[] = {TQSO::SS_SNAPSHOT_CREATED, TQSO::SS_PREPARED, TQSO::SS_CLONE_CREATED,
                                   TQSO::SS_SEEN_AS_HOST_DEVICE};
  EXPECT_EQ(failed[static_cast<int>(step)], Device(0).getStatus());
  EXPECT_EQ(done[static_cast<int>(step)], Device(1).getStatus()) << "the other device is not affected";

  const std::string wwn = WwnOf(CopyName());
  if (removed) {
    EXPECT_EQ("", wwn) << "the copy the array made was removed";
    EXPECT_NE(tqengine::kErrCopyLeft, Device(0).errorCode());
    EXPECT_TRUE(Device(0).hasMessageContaining("Removed copy"));
    return;
  }
  ASSERT_NE("", wwn) << "the copy is on the array";
  EXPECT_EQ(tqengine::kErrCopyLeft, Device(0).errorCode());
  const std::string named = NamedByName() ? "[" + CopyName() + "]" : wwn;
  EXPECT_NE(std::string::npos, Device(0).errorText().find(named)) << Device(0).errorText();
  EXPECT_EQ(0, Device(1).errorCode());
}

INSTANTIATE_TEST_SUITE_P(
    StepsAndFaults, UnrecordedCopies,
    ::testing::Values(Case{"SnapshotNotRecorded", Step::Snapshot, Fault::RecordRefused},
                      Case{"CloneNotRecorded", Step::ClonePrepare, Fault::RecordRefused},
                      Case{"ResyncedCloneNotRecorded", Step::CloneResync, Fault::RecordRefused},
                      Case{"ChildNotRecorded", Step::ChildOfMap, Fault::RecordRefused},
                      Case{"SnapshotAnswerLost", Step::Snapshot, Fault::AnswerLost},
                      Case{"SnapshotAnswerLostAndNotRemoved", Step::Snapshot, Fault::AnswerLostAndDeleteRefused},
                      Case{"ChildAnswerLost", Step::ChildOfMap, Fault::AnswerLost},
                      Case{"ChildAnswerLostAndNotRemoved", Step::ChildOfMap, Fault::AnswerLostAndDeleteRefused},
                      Case{"CloneAttachAndDeleteRefused", Step::ClonePrepare, Fault::AttachAndDeleteRefused},
                      Case{"SnapshotCleanUpCannotLook", Step::Snapshot, Fault::CleanUpCannotLook},
                      Case{"CloneVolumeAnswerLost", Step::ClonePrepare, Fault::VolumeAnswerLost}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
