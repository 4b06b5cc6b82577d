// The array side of presenting one device: for a snapshot, its child snapshot (adopted when it exists,
// else created); then the copy mapped to the host's definition on the array.
#include <string>

#include "EvDebug.h"
#include "TqEngineConfig.h"
#include "TqEngineErrors.h"
#include "TqEngineResult.h"
#include "TqHostBus.h"
#include "TqHostNames.h"
#include "TqMapWorkers.h"
#include "TqRemoteProxy.h"
#include "TqSnapMetadata.h"
#include "TqSnapshotSetup.h"

namespace {

const char kTag[] = "3PAR-TP_ArrayOperarions_mapVolumes";
const uint32_t kPersistentSnapshot = 0x1000;
const short kReadWrite = 2;

class ArrayMap {
 public:
  ArrayMap(TQSO::SnapInfo* device, TQSO::TQOSUtil* services, bool copies)
      : device_(device), services_(services), copies_(copies) {}

  bool Run(std::string& group, std::string& ports, bool iscsi, std::string& localGroup, std::string& localPorts,
           bool localIscsi, const std::string& hostDevicePath, int& mappedCount) {
    const short engine = getSnapEngineType(device_);
    const bool snapCopy = TovakCopyFlagset(device_);
    if (snapCopy && engine == tqengine::kCloneEngine) {
      o_logger.DebugLvl(
          kTag, -1, "%s: [Error] Instant-clone is not supported in 3PAR-Clone engine. Failed to map the device", kTag);
      setError(device_, tqengine::kErrMap,
               "[Error] Instant-clone is not supported in 3PAR-Clone engine. Failed to map the device ");
      return false;
    }
    if (!getMetadata(device_, record_)) {
      o_logger.DebugLvl(kTag, -1, "%s: Failed to get Metadata", kTag);
      return false;
    }
    o_logger.DebugLvl(kTag, 1, "%s:Source Device [%s] Snap Device[%s]", kTag, record_.srcDev.c_str(),
                      record_.targetDev.c_str());
    snapshot_.SetLogger(device_);
    if (!initArrayParams(snapshot_, device_, services_, record_.arrayId, true)) {
      o_logger.DebugLvl(kTag, -1, "%s: Failed to initialize the Array parameters", kTag);
      return false;
    }
    const bool throughChild = engine == tqengine::kSnapshotEngine && copies_;
    std::string target = copies_ ? record_.targetDev : record_.srcDev;
    if (throughChild && !ChildToMap(snapCopy, target)) return false;

    TQ_SMIS_SNAP::TqSnapViewParams view;
    view.targetDev = target;
    snapshot_.SetSnapViewInfo(view);
    if (snapshot_.MapSnapToGroup(target.c_str(), group.c_str(), kReadWrite, ports, iscsi) != TQSO::SS_MAPPED)
      return MapFailed(target);
    o_logger.DebugLvl(kTag, 1, "%s: Successfully mapped the device %s to host", kTag, target.c_str());
    device_->setStatus(TQSO::SS_MAPPED);
    ++mappedCount;
    if (hostDevicePath.find("vmware") != std::string::npos) {
      if (snapshot_.MapSnapToGroup(target.c_str(), localGroup.c_str(), kReadWrite, localPorts, localIscsi) !=
          TQSO::SS_MAPPED)
        o_logger.DebugLvl(kTag, -1, "%s: Failed to map the device %s to local host, ignoring the error", kTag,
                          target.c_str());
      else
        o_logger.DebugLvl(kTag, 1, "%s: Successfully mapped the device %s to local host", kTag, target.c_str());
    }
    return true;
  }

 private:
  // The child snapshot through which a snapshot is presented: the one of its name, or a new one.
  bool ChildToMap(bool snapCopy, std::string& child) {
    const std::string master = record_.targetDev;
    std::string name;
    if (snapCopy) {
      GetSnapshotCopyName(device_, name);
    } else if (!GetChildDeviceName(master.c_str(), name)) {
      o_logger.DebugLvl(kTag, -1, "%s: [error] unknown Master-Device size - %llu", kTag,
                        static_cast<unsigned long long>(master.size()));
      return false;
    }
    TQ_SMIS_SNAP::TqSnapParams params;
    params.snapName = name;
    params.snapOp = 4;
    params.sourceDev = master;
    params.servicePath = record_.snapServicePath;
    params.sourceDevPath = record_.targetDevPath;
    params.targetDGPath = record_.targetDGpath;
    snapshot_.SetSnapStatus(device_->getStatus());
    snapshot_.SetSnapInfo(params);
    snapshot_.SetSnapStatus(TQSO::SS_PREPARED);

    std::string found, foundPath;
    if (snapshot_.IsValidChild(master.c_str(), record_.targetDevPath.c_str(), name.c_str(), found, foundPath) ==
        TQSO::SS_SEEN_AS_HOST_DEVICE) {
      o_logger.DebugLvl(kTag, -1, "%s: Device already has ChildSnap.[%s]", kTag, found.c_str());
      record_.childdev = found;
      record_.childdevpath = foundPath;
      if (!setMetadataRecord(device_, record_))
        o_logger.DebugLvl(kTag, -1, "[Error]Failed to set metadata [id : %d]", TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID);
      child = found;
      return true;
    }
    if (!CreateChildSnap(&snapshot_, device_)) {
      child = getChildDeviceUUID(device_);
      const std::string childPath = getChildDevicePath(device_);
      o_logger.DebugLvl(kTag, 1, "%s: Create ChildSnap succeeded[child dev - %s] [Child-Dev-Path - %s]", kTag,
                        child.c_str(), childPath.c_str());
      createdChild_ = child;
      return true;
    }
    o_logger.DebugLvl(kTag, -1, "%s: Failed to Create ChildSnap", kTag);
    child = getChildDeviceUUID(device_);
    const std::string childPath = getChildDevicePath(device_);
    if ((device_->getRequestFlags() & kPersistentSnapshot) != 0 && child != tqengine::kEmptyDev &&
        childPath != tqengine::kEmptyPath) {
      o_logger.DebugLvl(kTag, 1,
                        "As this is for HyperV mount, Trying to map with the assumption of this child [(%s) (%s)] "
                        "exists.",
                        child.c_str(), childPath.c_str());
      return true;
    }
    return false;
  }

  // A failed map removes only a child snapshot this call created: one found already may be presented
  // elsewhere or kept on purpose.
  bool MapFailed(const std::string& target) {
    o_logger.DebugLvl(kTag, -1, "%s: Failed to map the device %s", kTag, target.c_str());
    if (!createdChild_.empty()) {
      o_logger.DebugLvl(kTag, -1, "%s: Deleting Child-device as a part of cleaning up [%s]", kTag,
                        createdChild_.c_str());
      snapshot_.SetSnapDevice(createdChild_);
      if (snapshot_.SnapDelete() != TQSO::SS_DELETED)
        o_logger.DebugLvl(kTag, -1, "%s: Failed to delete the device %s", kTag, createdChild_.c_str());
      else
        ForgetChild(createdChild_);
    }
    setError(device_, tqengine::kErrMap, "Failed to map the device ");
    device_->setStatus(TQSO::SS_MAP_FAILED);
    return false;
  }

  // The child's creation recorded it: once it is deleted the record must no longer name it, or a later unmap
  // or map would work on a volume that is gone.
  void ForgetChild(const std::string& child) {
    _TQ3PAR_SnapMetadata record;
    if (!getMetadata(device_, record) || record.childdev != child) return;
    record.childdev = tqengine::kEmptyDev;
    record.childdevpath = tqengine::kEmptyPath;
    if (!setMetadataRecord(device_, record))
      o_logger.DebugLvl(kTag, -1, "[Error]Failed to set metadata [id : %d]", TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID);
  }

  TQSO::SnapInfo* device_;
  TQSO::TQOSUtil* services_;
  bool copies_;
  _TQ3PAR_SnapMetadata record_;
  Tq3PARSnapshot snapshot_;
  std::string createdChild_;
};

}  // namespace

bool ArrayOperarions_mapVolumes(TQSO::SnapInfo* device, TQSO::TQOSUtil* services, bool copies, std::string& hostGroup,
                                std::string& ports, bool iscsi, std::string& localHostGroup, std::string& localPorts,
                                bool localIscsi, const char* hostDevicePath, int& mappedCount) {
  if (device == nullptr) return false;
  return ArrayMap(device, services, copies)
      .Run(hostGroup, ports, iscsi, localHostGroup, localPorts, localIscsi,
           hostDevicePath != nullptr ? hostDevicePath : "", mappedCount);
}
