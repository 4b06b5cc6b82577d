// The array side of withdrawing one device: hide the copy (for a snapshot, the child through which it was
// presented), then delete that child where due, keeping the device's record in step.
#include <string>

#include "DeviceTexts.h"
#include "EvDebug.h"
#include "Tq3PARSnapshot.h"
#include "TqCopyWorkers.h"
#include "TqEngineConfig.h"
#include "TqEngineErrors.h"
#include "TqEngineResult.h"
#include "TqHostBus.h"
#include "TqHostNames.h"
#include "TqRemoteProxy.h"
#include "TqSnapMetadata.h"
#include "TqSnapshotSetup.h"

namespace {

const char kTag[] = "3PAR-ArrayOperarions_unmapVolumes";
const uint32_t kPersistentSnapshot = 0x1000;
const short kLocalHostLun = 2;

bool IsEmptyDev(const std::string& device) { return device == tqengine::kEmptyDev; }

class ArrayUnmap {
 public:
  ArrayUnmap(TQSO::SnapInfo* device, TQSO::TQOSUtil* services, bool copies, int& unmapped, bool force)
      : device_(device), services_(services), copies_(copies), force_(force), unmapped_(unmapped) {}

  // A device counts as unmapped only when its copy was hidden and every later step held.
  bool Run() {
    const bool ok = Work();
    if (hidden_ && device_->getStatus() == TQSO::SS_UNMAPPED) ++unmapped_;
    return ok;
  }

 private:
  bool Work() {
    const bool snapCopy = TovakCopyFlagset(device_);
    const bool vmware = tqengine::IsVmwarePath(tqengine::HostDevicePathOf(device_));
    const short engine = getSnapEngineType(device_);
    if (!getMetadata(device_, record_)) return Failed("%s: Failed to get Metadata");
    snapshot_.SetLogger(device_);
    if (!initArrayParams(snapshot_, device_, services_, record_.arrayId, true))
      return Failed("%s: Failed to initialize the Array parameters");

    std::string target;
    if (!copies_) {
      o_logger.DebugLvl(kTag, 1, "Unmapping srcDev [%s]", record_.srcDev.c_str());
      target = record_.srcDev;
    } else if (engine != tqengine::kSnapshotEngine) {
      o_logger.DebugLvl(kTag, 1, "Unmapping targetDev [%s]", record_.targetDev.c_str());
      target = record_.targetDev;
    } else {
      bool done = false;
      if (!ChildToUnmap(snapCopy, target, done)) return false;
      if (done) return true;
      o_logger.DebugLvl(kTag, 1, "Unmapping childDev [%s] [bSnapCopy - %s]", target.c_str(), snapCopy ? "Yes" : "No");
    }
    HideFromHost(target);

    const bool persistent = (device_->getRequestFlags() & kPersistentSnapshot) != 0;
    const bool snapshotCopies = engine == tqengine::kSnapshotEngine && copies_;
    if (force_) {
      o_logger.DebugLvl(kTag, -1, "%s: Child-device Force Delete request received[%s]", kTag, record_.childdev.c_str());
    } else if (snapshotCopies && persistent) {
      o_logger.DebugLvl(kTag, -1, "%s: Child-device will not be deleted as this request is for persistent snap[%s]",
                        kTag, record_.childdev.c_str());
    }
    if ((force_ || (snapshotCopies && !persistent)) && !DeleteChild()) return false;

    // A VMware host also presented the copy to the local host's group: withdraw that same target there.
    if (vmware && !HideFromLocalHost(target)) return false;
    o_logger.DebugLvl(kTag, 1, "%s: Unmapping succeeded", kTag);
    return true;
  }

  bool Failed(const char* format) {
    o_logger.DebugLvl(kTag, -1, format, kTag);
    device_->setStatus(TQSO::SS_UNMAP_FAILED);
    return false;
  }

  // The child snapshot of a snapshot copy: the recorded one, or one found by its name. done is set when there
  // is none, which counts as unmapped.
  bool ChildToUnmap(bool snapCopy, std::string& child, bool& done) {
    if (!IsEmptyDev(record_.childdev)) {
      child = record_.childdev;
      return true;
    }
    std::string name;
    if (snapCopy) {
      GetSnapshotCopyName(device_, name);
    } else if (!GetChildDeviceName(record_.targetDev.c_str(), name)) {
      device_->setStatus(TQSO::SS_RESET);
      return false;
    }
    o_logger.DebugLvl(kTag, 1, "childDev is found  EMPTYDEV. so trying to find existing Child snap with name %s",
                      name.c_str());
    if (snapshot_.IsValidChild(record_.targetDev.c_str(), record_.targetDevPath.c_str(), name.c_str(), record_.childdev,
                               record_.childdevpath) == TQSO::SS_SEEN_AS_HOST_DEVICE) {
      child = record_.childdev;
      return true;
    }
    o_logger.DebugLvl(
        kTag, -1, "%s: Tq-Child snap doesn't exist. Marking unmap process success [Target - %s] [Child snap name - %s]",
        kTag, record_.targetDev.c_str(), name.c_str());
    device_->setStatus(TQSO::SS_UNMAPPED);
    ++unmapped_;
    done = true;
    return true;
  }

  void HideFromHost(const std::string& target) {
    TQ_SMIS_SNAP::TqSnapViewParams view;
    view.targetDev = target;
    snapshot_.SetSnapViewInfo(view);
    if (snapshot_.UnmapSnapVol(target.c_str()) == TQSO::SS_UNMAPPED) {
      o_logger.DebugLvl(kTag, 1, "%s: Successfully unmapped the device %s from the host", kTag,
                        record_.targetDev.c_str());
      device_->setStatus(TQSO::SS_UNMAPPED);
      hidden_ = true;
      return;
    }
    o_logger.DebugLvl(kTag, -1, "%s: Failed to unmap the device %s (but trying cleanup)", kTag, target.c_str());
    setError(device_, tqengine::kErrUnmap, "Failed to unmap the device");
  }

  // The child to delete: the recorded one, or (forced, none recorded) the one found by its child name.
  bool ChildToDelete(std::string& child) {
    if (!IsEmptyDev(record_.childdev)) {
      child = record_.childdev;
      return true;
    }
    o_logger.DebugLvl(kTag, -1,
                      "%s: delete requested with empty device [%s]. so forcefully deleting the existing if any", kTag,
                      record_.childdev.c_str());
    std::string name;
    if (!GetChildDeviceName(record_.targetDev.c_str(), name)) {
      device_->setStatus(TQSO::SS_RESET);
      return false;
    }
    if (snapshot_.IsValidChild(record_.targetDev.c_str(), record_.targetDevPath.c_str(), name.c_str(), record_.childdev,
                               record_.childdevpath) != TQSO::SS_SEEN_AS_HOST_DEVICE) {
      o_logger.DebugLvl(kTag, -1, "%s: No existing TQ-Child snap found for snap %s [child snap name - %s].", kTag,
                        record_.targetDev.c_str(), name.c_str());
      device_->setStatus(TQSO::SS_UNMAPPED);
      return false;
    }
    child = record_.childdev;
    return true;
  }

  bool DeleteChild() {
    std::string child;
    if (!ChildToDelete(child)) return false;
    snapshot_.SetSnapDevice(child);
    o_logger.DebugLvl(kTag, 1, "%s: Deleting Child-device as a part of unmapping [%s]", kTag, child.c_str());
    if (snapshot_.SnapDelete() != TQSO::SS_DELETED) {
      o_logger.DebugLvl(kTag, -1, "%s: Failed to delete the device %s", kTag, child.c_str());
      const std::string text = "Failed to delete the child snapshot " + child;
      setError(device_, tqengine::kErrUnmap, text.c_str());
      device_->setStatus(TQSO::SS_UNMAP_FAILED);
      return false;
    }
    // The child is gone: the record says so, so that a later map makes or adopts a new one.
    record_.childdev = tqengine::kEmptyDev;
    record_.childdevpath = tqengine::kEmptyPath;
    if (!setMetadataRecord(device_, record_))
      o_logger.DebugLvl(kTag, -1, "[Error]Failed to set metadata [id : %d]", TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID);
    return true;
  }

  bool HideFromLocalHost(const std::string& target) {
    Tq3PARSnapshot local(snapshot_);
    TQ_SMIS_SNAP::TqSnapViewParams view;
    view.targetDev = target;
    view.deviceAccess = kLocalHostLun;
    local.SetSnapViewInfo(view);
    if (local.UnmapSnapVol(target.c_str()) != TQSO::SS_UNMAPPED) {
      o_logger.DebugLvl(kTag, -1, "%s: Failed to unmap the device %s from local host", kTag, target.c_str());
      device_->setStatus(TQSO::SS_UNMAP_FAILED);
      return false;
    }
    o_logger.DebugLvl(kTag, 1, "%s: Successfully unmapped the device %s from the local host", kTag, target.c_str());
    return true;
  }

  TQSO::SnapInfo* device_;
  TQSO::TQOSUtil* services_;
  bool copies_;
  bool force_;
  int& unmapped_;
  bool hidden_ = false;
  _TQ3PAR_SnapMetadata record_;
  Tq3PARSnapshot snapshot_;
};

}  // namespace

bool ArrayOperarions_unmapVolumes(TQSO::SnapInfo* device, TQSO::TQOSUtil* services, bool copies, int& unmappedCount,
                                  bool force) {
  if (device == nullptr) return false;
  return ArrayUnmap(device, services, copies, unmappedCount, force).Run();
}
