// Every step of a snapshot job against every fault the simulated provider can put on the calls that step
// makes: the call's result, each device's status and error, and the array afterwards (every copy on it
// named by a device's record or error text, every source kept and presented to the host unless its
// device failed). One device meets the fault, the other must go through untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "SnapInfo.h"
#include "TqEngineConfig.h"
#include "TqSleep.h"
#include "TqSnapMetadata.h"
#include "TqsoEntryPoints.h"
#include "smis-sim/Json.h"
#include "support/EngineJobFixture.h"

namespace {

using smissim::FaultAction;

enum class Step { Prepare, Snap, Map, Unmap, Delete, Revert, Reconcile };
enum class Fault { CimError, ReturnValue4, JobFails, DropBefore, DropAfter, Http401, Http500, Malformed, Late };

// What the faulted device ends with: the step done (its error clear), or failed with `error` (-1: any code).
struct FaultCase {
  Step step;
  const char* call;  // the operation or method the fault is put on
  Fault fault;
  bool holds;
  TQSO::SnapStatus status;
  int error;
  // The array already holds an older copy of the first source under the name the step asks for (an earlier
  // job's copy of a reused name): it must survive the step.
  bool olderCopy = false;
};

const char* StepName(Step step) {
  static const char* const names[] = {"Prepare", "Snap", "Map", "Unmap", "Delete", "Revert", "Reconcile"};
  return names[static_cast<int>(step)];
}

const char* FaultName(Fault fault) {
  static const char* const names[] = {"CimError", "ReturnValue4", "JobFails",  "DropBefore", "DropAfter",
                                      "Http401",  "Http500",      "Malformed", "Late"};
  return names[static_cast<int>(fault)];
}

std::string CaseName(const FaultCase& c) {
  return std::string(StepName(c.step)) + "_" + c.call + "_" + FaultName(c.fault) + (c.olderCopy ? "_OlderCopy" : "");
}

void PrintTo(const FaultCase& c, std::ostream* os) { *os << CaseName(c); }

// An answer later than the client waits: the client's 300 seconds scaled to one second (the transport's
// floor), the answer two seconds after the method ran.
constexpr double kLateScale = 1.0 / 300;
constexpr unsigned kLateMillis = 2000;

smissim::FaultRule RuleFor(const FaultCase& c) {
  smissim::FaultRule rule;
  rule.operation = c.call;
  // Delete tries a second time after withdrawing the copy from the hosts: the fault meets both tries.
  rule.count = c.step == Step::Delete ? 2 : 1;
  switch (c.fault) {
    case Fault::CimError:
      rule.action = FaultAction::CimError;
      rule.cimErrorCode = 1;
      break;
    case Fault::ReturnValue4:
      rule.action = FaultAction::ForceReturnValue;
      rule.returnValue = 4;
      break;
    case Fault::JobFails:
      rule.action = FaultAction::JobFails;
      rule.jobFinalState = 10;
      break;
    case Fault::DropBefore:
      rule.action = FaultAction::DropConnection;
      break;
    case Fault::DropAfter:
      rule.action = FaultAction::DropConnection;
      rule.afterRunning = true;
      break;
    case Fault::Http401:
      rule.action = FaultAction::HttpStatus;
      rule.httpStatus = 401;
      break;
    case Fault::Http500:
      rule.action = FaultAction::HttpStatus;
      rule.httpStatus = 500;
      break;
    case Fault::Malformed:
      rule.action = FaultAction::MalformedXml;
      rule.afterRunning = true;
      break;
    case Fault::Late:
      rule.action = FaultAction::Delay;
      rule.delayMs = kLateMillis;
      rule.afterRunning = true;
      break;
  }
  return rule;
}

// The status a device reaches when the step is done for it.
TQSO::SnapStatus DoneStatus(Step step) {
  switch (step) {
    case Step::Prepare:
      return TQSO::SS_PREPARED;
    case Step::Snap:
    case Step::Reconcile:
      return TQSO::SS_SNAPSHOT_CREATED;
    case Step::Map:
      return TQSO::SS_SEEN_AS_HOST_DEVICE;
    case Step::Unmap:
      return TQSO::SS_UNMAPPED;
    case Step::Delete:
      return TQSO::SS_DELETED;
    case Step::Revert:
      return TQSO::SS_RESTORED;
  }
  return TQSO::SS_RESET;
}

using ListCall = TQSO::ResultCode (*)(TQSO::SnapInfo**, short, TQSO::TQOSUtil*);

ListCall CallOf(Step step) {
  switch (step) {
    case Step::Prepare:
      return &tqso_prepareDevices;
    case Step::Snap:
      return &tqso_snapDevices;
    case Step::Map:
      return &tqso_mapSnaps;
    case Step::Unmap:
      return &tqso_unmapSnaps;
    case Step::Delete:
      return &tqso_deleteSnaps;
    case Step::Revert:
      return &tqso_revertSnaps;
    case Step::Reconcile:
      return &tqso_reconcileSnaps;
  }
  return nullptr;
}

// The steps of the job that run, without faults, before the step under test.
std::vector<Step> StepsBefore(Step step) {
  switch (step) {
    case Step::Prepare:
      return {};
    case Step::Snap:
      return {Step::Prepare};
    case Step::Map:
    case Step::Revert:
    case Step::Reconcile:
      return {Step::Prepare, Step::Snap};
    case Step::Unmap:
      return {Step::Prepare, Step::Snap, Step::Map};
    case Step::Delete:
      return {Step::Prepare, Step::Snap, Step::Map, Step::Unmap};
  }
  return {};
}

struct ArrayVolume {
  std::string name, wwn;
};

const std::vector<std::string> kSources = {"vol1", "vol2"};
// The name the job asks for the first source's snapshot.
const char kFirstSnapName[] = "snap-vol1";

class FaultMatrix : public enginejob::EngineJobTest, public ::testing::WithParamInterface<FaultCase> {
 protected:
  std::vector<ArrayVolume> Volumes() {
    std::vector<ArrayVolume> volumes;
    const smissim::Json model = smissim::Json::parse(Model());
    for (const smissim::Json& array : model.get("arrays").items())
      for (const smissim::Json& volume : array.get("volumes").items())
        volumes.push_back({volume.getString("name"), volume.getString("wwn")});
    return volumes;
  }

  // Names of the volumes the array presents to the simulated host.
  std::set<std::string> Presented() {
    std::set<std::string> names;
    const smissim::Json model = smissim::Json::parse(Model());
    for (const smissim::Json& array : model.get("arrays").items())
      for (const smissim::Json& host : array.get("hosts").items())
        for (const smissim::Json& lun : host.get("luns").items()) names.insert(lun.getString("volume"));
    return names;
  }

  // Whether some device's record (the copy or its child) or error text names the volume.
  bool Named(const std::string& wwn) {
    for (size_t i = 0; i < devices_.size(); ++i) {
      _TQ3PAR_SnapMetadata record;
      if (getMetadata(&Device(i), record) && (record.targetDev == wwn || record.childdev == wwn)) return true;
      if (Device(i).errorText().find(wwn) != std::string::npos) return true;
    }
    return false;
  }

  // An older snapshot of the first source under the name the job asks for; its WWN.
  std::string SeedOlderCopy() {
    array_->seed(std::string(R"({"arrays":[{"serial":"00ABCD","snapshots":[{"source":")") + kSources[0] +
                 R"(","name":")" + kFirstSnapName + R"("}]}]})");
    for (const ArrayVolume& volume : Volumes())
      if (volume.name == kFirstSnapName) return volume.wwn;
    ADD_FAILURE() << "the older copy was not seeded";
    return "";
  }

  size_t Restores() {
    size_t restores = 0;
    for (const smissim::MethodCallRecord& call : CallsOf("ModifySynchronization"))
      restores += call.param("Operation") != nullptr && call.param("Operation")->value == "5";
    return restores;
  }
};

TEST_P(FaultMatrix, HoldsTheDevicesAndTheArray) {
  const FaultCase& c = GetParam();
  TqSleepScope waits(c.fault == Fault::Late ? TqSleepMode::Scaled : TqSleepMode::Instant, kLateScale);
  JobOf(kSources);
  for (TQSO::SnapInfo* device : list_) device->setSetting("SMCONFIG_NAME_ENABLE_PARALLEL_SNAP_OPERATIONS", 0);
  const std::string olderWwn = c.olderCopy ? SeedOlderCopy() : "";
  for (Step before : StepsBefore(c.step))
    ASSERT_EQ(TQSO::RC_SUCCESS, CallOf(before)(list_.data(), Count(), &services_)) << StepName(before);
  std::vector<std::string> sourceWwns;
  for (const std::string& source : kSources) sourceWwns.push_back(host_->visibleDevices().at(DiskOf(source)).wwn);
  array_->clearLog();
  array_->injectFault(RuleFor(c));

  const TQSO::ResultCode result = CallOf(c.step)(list_.data(), Count(), &services_);

  EXPECT_EQ(c.holds ? TQSO::RC_SUCCESS : TQSO::RC_FAIL_PARTIAL, result);
  for (size_t i = 0; i < list_.size(); ++i) {
    SCOPED_TRACE("device " + std::to_string(i) + ": " + Device(i).errorText());
    const bool faulted = i == 0 && !c.holds;
    EXPECT_EQ(faulted ? c.status : DoneStatus(c.step), Device(i).getStatus());
    if (!faulted) {
      // A step that holds may still leave the fault's own error where it is the only sign of it.
      EXPECT_EQ(i == 0 ? c.error : 0, Device(i).errorCode());
    } else if (c.error < 0) {
      EXPECT_NE(0, Device(i).errorCode());
    } else {
      EXPECT_EQ(c.error, Device(i).errorCode());
    }
  }

  // A device the step is done for has its copy where the step leaves it.
  const std::vector<ArrayVolume> volumes = Volumes();
  auto onArray = [&](const std::string& wwn) {
    return std::any_of(volumes.begin(), volumes.end(), [&](const ArrayVolume& v) { return v.wwn == wwn; });
  };
  for (size_t i = 0; i < list_.size(); ++i) {
    _TQ3PAR_SnapMetadata record;
    if (Device(i).getStatus() != DoneStatus(c.step) || !getMetadata(&Device(i), record)) continue;
    SCOPED_TRACE("done device " + std::to_string(i));
    if (c.step == Step::Delete) {
      EXPECT_FALSE(onArray(record.targetDev)) << "a deleted copy is gone";
    } else if (c.step == Step::Unmap) {
      EXPECT_EQ(tqengine::kEmptyDev, record.childdev) << "an unmapped child is gone";
    } else if (c.step == Step::Map) {
      EXPECT_TRUE(onArray(record.childdev)) << "a mapped child is there";
    } else if (c.step != Step::Prepare) {
      EXPECT_TRUE(onArray(record.targetDev)) << "the copy is there";
    }
  }

  // Nothing on the array that no record names; each source still there, presented unless its device failed.
  const std::set<std::string> presented = Presented();
  for (const ArrayVolume& volume : volumes) {
    const bool source = std::find(kSources.begin(), kSources.end(), volume.name) != kSources.end();
    const bool older = !olderWwn.empty() && volume.wwn == olderWwn;
    EXPECT_TRUE(source || older || Named(volume.wwn)) << volume.name << " " << volume.wwn << " is named by no device";
  }
  if (c.olderCopy) {
    EXPECT_TRUE(onArray(olderWwn)) << "the older copy of the name survives";
  }
  for (size_t i = 0; i < kSources.size(); ++i) {
    SCOPED_TRACE(kSources[i]);
    EXPECT_TRUE(onArray(sourceWwns[i]));
    if (Device(i).errorCode() == 0) {
      EXPECT_EQ(1u, presented.count(kSources[i])) << "the host keeps its source";
    }
  }
  if (c.step != Step::Revert) {
    EXPECT_EQ(0u, Restores()) << "only a revert restores a source";
  }
}

constexpr bool kHolds = true;
constexpr bool kFails = false;
constexpr int kAny = -1;               // the faulted device carries some error code
constexpr int kCopyMayAppear = 62010;  // the device's error names the copy the array may still make
constexpr int kNameInUse = 60544;
constexpr bool kOlderCopy = true;

// clang-format off
const FaultCase kCases[] = {
    // Prepare: a fault on its one instance read per device leaves the device prepared, with no error.
    {Step::Prepare, "GetInstance", Fault::CimError, kHolds, TQSO::SS_PREPARED, 0},
    {Step::Prepare, "GetInstance", Fault::DropBefore, kHolds, TQSO::SS_PREPARED, 0},
    {Step::Prepare, "GetInstance", Fault::DropAfter, kHolds, TQSO::SS_PREPARED, 0},
    {Step::Prepare, "GetInstance", Fault::Http401, kHolds, TQSO::SS_PREPARED, 0},
    {Step::Prepare, "GetInstance", Fault::Http500, kHolds, TQSO::SS_PREPARED, 0},
    {Step::Prepare, "GetInstance", Fault::Malformed, kHolds, TQSO::SS_PREPARED, 0},
    {Step::Prepare, "GetInstance", Fault::Late, kHolds, TQSO::SS_PREPARED, 0},
    // Snap: the copy is not made, or made and removed again (an unknown outcome); a create that got no answer
    // and left nothing yet names the copy the array may still make.
    {Step::Snap, "CreateReplica", Fault::CimError, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Snap, "CreateReplica", Fault::ReturnValue4, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Snap, "CreateReplica", Fault::JobFails, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Snap, "CreateReplica", Fault::DropBefore, kFails, TQSO::SS_SNAPSHOT_FAILED, kCopyMayAppear},
    {Step::Snap, "CreateReplica", Fault::DropAfter, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Snap, "CreateReplica", Fault::Http401, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Snap, "CreateReplica", Fault::Http500, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Snap, "CreateReplica", Fault::Malformed, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Snap, "CreateReplica", Fault::Late, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    // Snap where the array holds an older copy of the name: whatever the fault, the older copy stays.
    {Step::Snap, "CreateReplica", Fault::CimError, kFails, TQSO::SS_SNAPSHOT_FAILED, 0, kOlderCopy},
    {Step::Snap, "CreateReplica", Fault::ReturnValue4, kFails, TQSO::SS_SNAPSHOT_FAILED, 0, kOlderCopy},
    // The method runs before its job would fail, and the array refuses the name it already holds.
    {Step::Snap, "CreateReplica", Fault::JobFails, kFails, TQSO::SS_SNAPSHOT_FAILED, kNameInUse, kOlderCopy},
    {Step::Snap, "CreateReplica", Fault::DropBefore, kFails, TQSO::SS_SNAPSHOT_FAILED, kCopyMayAppear, kOlderCopy},
    {Step::Snap, "CreateReplica", Fault::DropAfter, kFails, TQSO::SS_SNAPSHOT_FAILED, kCopyMayAppear, kOlderCopy},
    {Step::Snap, "CreateReplica", Fault::Http401, kFails, TQSO::SS_SNAPSHOT_FAILED, 0, kOlderCopy},
    {Step::Snap, "CreateReplica", Fault::Http500, kFails, TQSO::SS_SNAPSHOT_FAILED, 0, kOlderCopy},
    {Step::Snap, "CreateReplica", Fault::Malformed, kFails, TQSO::SS_SNAPSHOT_FAILED, 0, kOlderCopy},
    {Step::Snap, "CreateReplica", Fault::Late, kFails, TQSO::SS_SNAPSHOT_FAILED, kCopyMayAppear, kOlderCopy},
    // Map: the child snapshot fails as a snapshot does; an exposure that fails takes the child back.
    {Step::Map, "CreateReplica", Fault::CimError, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Map, "CreateReplica", Fault::ReturnValue4, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Map, "CreateReplica", Fault::JobFails, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Map, "CreateReplica", Fault::DropBefore, kFails, TQSO::SS_SNAPSHOT_FAILED, kCopyMayAppear},
    {Step::Map, "CreateReplica", Fault::DropAfter, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Map, "CreateReplica", Fault::Http401, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Map, "CreateReplica", Fault::Http500, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Map, "CreateReplica", Fault::Malformed, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Map, "CreateReplica", Fault::Late, kFails, TQSO::SS_SNAPSHOT_FAILED, 0},
    {Step::Map, "ExposeLUsToStorageHardwareIDCollection", Fault::CimError, kFails, TQSO::SS_MAP_FAILED, 62009},
    {Step::Map, "ExposeLUsToStorageHardwareIDCollection", Fault::ReturnValue4, kFails, TQSO::SS_MAP_FAILED, 62009},
    {Step::Map, "ExposeLUsToStorageHardwareIDCollection", Fault::JobFails, kFails, TQSO::SS_MAP_FAILED, kAny},
    {Step::Map, "ExposeLUsToStorageHardwareIDCollection", Fault::DropBefore, kFails, TQSO::SS_MAP_FAILED, 62009},
    {Step::Map, "ExposeLUsToStorageHardwareIDCollection", Fault::DropAfter, kFails, TQSO::SS_MAP_FAILED, kAny},
    {Step::Map, "ExposeLUsToStorageHardwareIDCollection", Fault::Http401, kFails, TQSO::SS_MAP_FAILED, 62009},
    {Step::Map, "ExposeLUsToStorageHardwareIDCollection", Fault::Http500, kFails, TQSO::SS_MAP_FAILED, 62009},
    {Step::Map, "ExposeLUsToStorageHardwareIDCollection", Fault::Malformed, kFails, TQSO::SS_MAP_FAILED, kAny},
    {Step::Map, "ExposeLUsToStorageHardwareIDCollection", Fault::Late, kFails, TQSO::SS_MAP_FAILED, kAny},
    // Unmap: a hide the array refused by its answer alone still ends with the child deleted.
    {Step::Unmap, "HidePaths", Fault::CimError, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "HidePaths", Fault::ReturnValue4, kHolds, TQSO::SS_UNMAPPED, 0},
    {Step::Unmap, "HidePaths", Fault::JobFails, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "HidePaths", Fault::DropBefore, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "HidePaths", Fault::DropAfter, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "HidePaths", Fault::Http401, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "HidePaths", Fault::Http500, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "HidePaths", Fault::Malformed, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "HidePaths", Fault::Late, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "ReturnToStoragePool", Fault::CimError, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "ReturnToStoragePool", Fault::ReturnValue4, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "ReturnToStoragePool", Fault::JobFails, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "ReturnToStoragePool", Fault::DropBefore, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "ReturnToStoragePool", Fault::DropAfter, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "ReturnToStoragePool", Fault::Http401, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "ReturnToStoragePool", Fault::Http500, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "ReturnToStoragePool", Fault::Malformed, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    {Step::Unmap, "ReturnToStoragePool", Fault::Late, kFails, TQSO::SS_UNMAP_FAILED, kAny},
    // Delete: a copy gone after a lost answer is deleted.
    {Step::Delete, "ReturnToStoragePool", Fault::CimError, kFails, TQSO::SS_DELETE_FAILED, 0},
    {Step::Delete, "ReturnToStoragePool", Fault::ReturnValue4, kFails, TQSO::SS_DELETE_FAILED, 0},
    {Step::Delete, "ReturnToStoragePool", Fault::JobFails, kFails, TQSO::SS_DELETE_FAILED, 0},
    {Step::Delete, "ReturnToStoragePool", Fault::DropBefore, kFails, TQSO::SS_DELETE_FAILED, 0},
    {Step::Delete, "ReturnToStoragePool", Fault::DropAfter, kHolds, TQSO::SS_DELETED, 0},
    {Step::Delete, "ReturnToStoragePool", Fault::Http401, kFails, TQSO::SS_DELETE_FAILED, 0},
    {Step::Delete, "ReturnToStoragePool", Fault::Http500, kFails, TQSO::SS_DELETE_FAILED, 0},
    {Step::Delete, "ReturnToStoragePool", Fault::Malformed, kHolds, TQSO::SS_DELETED, 0},
    {Step::Delete, "ReturnToStoragePool", Fault::Late, kHolds, TQSO::SS_DELETED, 0},
    // Revert: the withdrawal before the restore leaves no error of its own; a source not presented again
    // fails its device.
    {Step::Revert, "HidePaths", Fault::CimError, kFails, TQSO::SS_RESTORE_FAILED, kAny},
    {Step::Revert, "HidePaths", Fault::ReturnValue4, kHolds, TQSO::SS_RESTORED, 0},
    {Step::Revert, "HidePaths", Fault::JobFails, kHolds, TQSO::SS_RESTORED, 0},
    {Step::Revert, "HidePaths", Fault::DropBefore, kFails, TQSO::SS_RESTORE_FAILED, kAny},
    {Step::Revert, "HidePaths", Fault::DropAfter, kHolds, TQSO::SS_RESTORED, 0},
    {Step::Revert, "HidePaths", Fault::Http401, kFails, TQSO::SS_RESTORE_FAILED, kAny},
    {Step::Revert, "HidePaths", Fault::Http500, kFails, TQSO::SS_RESTORE_FAILED, kAny},
    {Step::Revert, "HidePaths", Fault::Malformed, kHolds, TQSO::SS_RESTORED, 0},
    {Step::Revert, "HidePaths", Fault::Late, kHolds, TQSO::SS_RESTORED, 0},
    {Step::Revert, "ModifySynchronization", Fault::CimError, kFails, TQSO::SS_RESTORE_FAILED, 60513},
    {Step::Revert, "ModifySynchronization", Fault::ReturnValue4, kFails, TQSO::SS_RESTORE_FAILED, 60513},
    {Step::Revert, "ModifySynchronization", Fault::JobFails, kFails, TQSO::SS_RESTORE_FAILED, 60513},
    {Step::Revert, "ModifySynchronization", Fault::DropBefore, kFails, TQSO::SS_RESTORE_FAILED, 60513},
    {Step::Revert, "ModifySynchronization", Fault::DropAfter, kFails, TQSO::SS_RESTORE_FAILED, 60513},
    {Step::Revert, "ModifySynchronization", Fault::Http401, kFails, TQSO::SS_RESTORE_FAILED, 60513},
    {Step::Revert, "ModifySynchronization", Fault::Http500, kFails, TQSO::SS_RESTORE_FAILED, 60513},
    {Step::Revert, "ModifySynchronization", Fault::Malformed, kFails, TQSO::SS_RESTORE_FAILED, 60513},
    {Step::Revert, "ModifySynchronization", Fault::Late, kFails, TQSO::SS_RESTORE_FAILED, 60513},
    {Step::Revert, "ExposeLUsToStorageHardwareIDCollection", Fault::CimError, kFails, TQSO::SS_RESTORED, 62009},
    {Step::Revert, "ExposeLUsToStorageHardwareIDCollection", Fault::ReturnValue4, kFails, TQSO::SS_RESTORED, 62009},
    {Step::Revert, "ExposeLUsToStorageHardwareIDCollection", Fault::JobFails, kFails, TQSO::SS_RESTORED, 62009},
    {Step::Revert, "ExposeLUsToStorageHardwareIDCollection", Fault::DropBefore, kFails, TQSO::SS_RESTORED, 62009},
    {Step::Revert, "ExposeLUsToStorageHardwareIDCollection", Fault::DropAfter, kFails, TQSO::SS_RESTORED, 62009},
    {Step::Revert, "ExposeLUsToStorageHardwareIDCollection", Fault::Http401, kFails, TQSO::SS_RESTORED, 62009},
    {Step::Revert, "ExposeLUsToStorageHardwareIDCollection", Fault::Http500, kFails, TQSO::SS_RESTORED, 62009},
    {Step::Revert, "ExposeLUsToStorageHardwareIDCollection", Fault::Malformed, kFails, TQSO::SS_RESTORED, 62009},
    {Step::Revert, "ExposeLUsToStorageHardwareIDCollection", Fault::Late, kFails, TQSO::SS_RESTORED, 62009},
    // Reconcile: an unanswered existence check leaves the copy as it was, with no error; a refused login is
    // the one sign that the copy was never checked, so its error stays.
    {Step::Reconcile, "GetInstance", Fault::CimError, kHolds, TQSO::SS_SNAPSHOT_CREATED, 0},
    {Step::Reconcile, "GetInstance", Fault::DropBefore, kHolds, TQSO::SS_SNAPSHOT_CREATED, 0},
    {Step::Reconcile, "GetInstance", Fault::DropAfter, kHolds, TQSO::SS_SNAPSHOT_CREATED, 0},
    {Step::Reconcile, "GetInstance", Fault::Http401, kHolds, TQSO::SS_SNAPSHOT_CREATED, 60555},
    {Step::Reconcile, "GetInstance", Fault::Http500, kHolds, TQSO::SS_SNAPSHOT_CREATED, 0},
    {Step::Reconcile, "GetInstance", Fault::Malformed, kHolds, TQSO::SS_SNAPSHOT_CREATED, 0},
    {Step::Reconcile, "GetInstance", Fault::Late, kHolds, TQSO::SS_SNAPSHOT_CREATED, 0},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Steps, FaultMatrix, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FaultCase>& info) { return CaseName(info.param); });

}  // namespace
