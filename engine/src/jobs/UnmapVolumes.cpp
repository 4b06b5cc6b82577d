// Withdrawing a list of copies (or sources) from this host: per device the host paths of what is withdrawn,
// the array work (here or on the proxy host), then one bus rescan that drops the withdrawn paths.
#include <list>
#include <string>

#include "DeviceTexts.h"
#include "EvDebug.h"
#include "FXString.h"
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

const unsigned kUnmapMessage = 10;
const int kUnmapCopiesParameter = 121;

class UnmapRun {
 public:
  UnmapRun(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool copies, bool force, bool isLocal)
      : list_(list),
        count_(count),
        services_(services),
        copies_(copies),
        force_(force),
        isLocal_(isLocal),
        tag_(isLocal ? "3PAR-tqso_unmapSnaps[Local]" : "3PAR-tqso_unmapSnaps[remote]") {}

  int Run(int deviceIndex) {
    o_logger.DebugLvl(tag_, 1, "Going to unmap [%d] snap/clone device(s) from the host[local - %s]", count_,
                      isLocal_ ? "Yes" : "No");
    if (tqengine::IsEmptyList(list_, count_)) return TQSO::RC_SUCCESS;
    arrayId_ = getStorageArrayId(list_[0]);
    if (arrayId_.empty()) {
      o_logger.DebugLvl(tag_, -1, "[ERROR] Couldn't get Array-ID from Meta Data");
      return TQSO::RC_FAIL;
    }
    remote_ = isRemoteCallEnabled(list_[0], arrayId_, proxyHost_);
    TQSO::SnapInfo* last = list_[count_ - 1];
    if (!getHostIdentifier(last, identifier_, true)) return HostIdentifierFailed(last);
    if (!isLocal_) return HandleRemoteCallUnmapVolume(list_, count_, services_, force_, identifier_, deviceIndex);

    firstIsVmware_ = tqengine::IsVmwarePath(tqengine::HostDevicePathOf(list_[0]));
    if (!InitiatorsFound()) return TQSO::RC_FAIL;
    if (!firstIsVmware_ && !getDeviceList(hostDevices_, services_, identifier_))
      o_logger.DebugLvl(tag_, -1, "getDevieList failure");

    for (short i = 0; i < count_; ++i) {
      if (list_[i] == nullptr) continue;
      if (!UnmapDevice(i)) return TQSO::RC_FAIL;
    }
    RescanBuses();
    const int expected = deviceIndex == -1 ? count_ : 1;
    if (unmapped_ == 0) return TQSO::RC_FAIL;
    return unmapped_ < expected ? TQSO::RC_FAIL_PARTIAL : TQSO::RC_SUCCESS;
  }

 private:
  int HostIdentifierFailed(TQSO::SnapInfo* device) {
    o_logger.DebugLvl(tag_, -1, "Failed to get host identifier");
    setError(device, tqengine::kErrHostIdentifier, tqengine::kTextHostIdentifier);
    return TQSO::RC_FAIL;
  }

  bool InitiatorsFound() {
    if (detectHbalist(services_, initiators_, "", arrayId_, iscsi_) && !initiators_.empty()) return true;
    o_logger.DebugLvl(tag_, -1, "Unable to detect initiator info.");
    if (firstIsVmware_) return true;
    setError(list_[0], tqengine::kErrInitiatorInfo, "Unable to detect initiator info.");
    return false;
  }

  // False stops the whole call before the rescan.
  bool UnmapDevice(short index) {
    TQSO::SnapInfo* device = list_[index];
    if (firstIsVmware_ && !EsxInitiatorFound(device)) return false;
    if (!getHostIdentifier(device, identifier_, true)) {
      HostIdentifierFailed(device);
      return false;
    }
    const short engine = getSnapEngineType(device);
    _TQ3PAR_SnapMetadata record;
    if (!getMetadata(device, record)) {
      o_logger.DebugLvl(tag_, -1, "Failed to get Metadata");
      device->setStatus(TQSO::SS_UNMAP_FAILED);
      return true;
    }
    const bool presented = PresentedOnArray(device->getStatus(), record, engine);
    device->setStatus(TQSO::SS_UNMAP_FAILED);

    std::list<std::string> paths;
    if (!firstIsVmware_ && !HostPathsFound(device, WithdrawnId(record, engine), presented, paths)) return true;

    const bool ok = remote_ ? UnmapOnProxy(device, index) : UnmapHere(device);
    if (!ok) {
      o_logger.DebugLvl(tag_, -1, "%s [ERROR]Unmap has been failed", tag_);
    } else if (copies_) {
      for (const std::string& path : paths) {
        o_logger.DebugLvl(tag_, 1, "Adding the device to be deleted (%s)", path.c_str());
        deleteList_.push_back(path);
      }
    }
    int position = 0;
    for (const std::string& path : deleteList_)
      o_logger.DebugLvl(tag_, 2, " Volume [%d] DeviceName [%s]", position++, path.c_str());
    return true;
  }

  bool EsxInitiatorFound(TQSO::SnapInfo* device) {
    initiators_.clear();
    std::string port;
    if (detectHBA(port, iscsi_, arrayId_, services_, identifier_) && !port.empty()) {
      initiators_.push_back(port);
      return true;
    }
    const std::string text = FXString::Format("%s: Unable to detect initiator info.", tag_);
    setError(device, tqengine::kErrInitiatorInfo, text.c_str());
    return false;
  }

  std::string WithdrawnId(const _TQ3PAR_SnapMetadata& record, short engine) const {
    if (!copies_) return record.srcDev;
    return engine == tqengine::kSnapshotEngine ? record.childdev : record.targetDev;
  }

  // Whether the array still presents the copy although the host may not see it: a map left it at status 9
  // (mapped, never seen on the host), or a snapshot's record names the child it is presented through.
  bool PresentedOnArray(TQSO::SnapStatus status, const _TQ3PAR_SnapMetadata& record, short engine) const {
    if (!copies_) return false;
    if (status == TQSO::SS_MAPPED) return true;
    return engine == tqengine::kSnapshotEngine && !record.childdev.empty() && record.childdev != tqengine::kEmptyDev;
  }

  // False when the device is done: the lookup failed, or nothing is visible on this host and nothing is
  // presented on the array (then it counts as unmapped, after the array work when forced). A copy the array
  // still presents goes on to the array work with no host path.
  bool HostPathsFound(TQSO::SnapInfo* device, const std::string& id, bool presented, std::list<std::string>& paths) {
    if (!getAllDevicePaths(id, hostDevices_, identifier_, paths)) {
      o_logger.DebugLvl(tag_, -1, " [ERROR]getAllDevicePaths failed");
      device->setStatus(TQSO::SS_UNMAP_FAILED);
      return false;
    }
    if (!paths.empty()) return true;
    o_logger.DebugLvl(tag_, 1,
                      "[ERROR] Unable to find the device to be unmapped (device - %s) (size - %u) [is Snap - %s]",
                      id.c_str(), 0u, copies_ ? "Yes" : "No");
    o_logger.DebugLvl(tag_, 1, "Device List start");
    for (const std::string& entry : hostDevices_) o_logger.DebugLvl(tag_, 1, "%s", entry.c_str());
    o_logger.DebugLvl(tag_, 1, "Device List end");
    if (presented) {
      o_logger.DebugLvl(tag_, 1, "Device %s is not visible on this host but still presented on the array, unmapping it",
                        id.c_str());
      return true;
    }
    if (force_) {
      int ignored = 0;
      ArrayOperarions_unmapVolumes(device, services_, copies_, ignored, force_);
    }
    device->setStatus(TQSO::SS_UNMAPPED);
    ++unmapped_;
    return false;
  }

  bool UnmapHere(TQSO::SnapInfo* device) {
    const bool ok = ArrayOperarions_unmapVolumes(device, services_, copies_, unmapped_, force_);
    if (!ok) o_logger.DebugLvl(tag_, -1, " [ERROR]Unmap volume local failed");
    return ok;
  }

  bool UnmapOnProxy(TQSO::SnapInfo* device, short index) {
    o_logger.DebugLvl(tag_, 1, " Sending tp_Remote call to %s for Map-Snap operation ", proxyHost_.c_str());
    device->setMetaDataValue(kUnmapCopiesParameter, copies_ ? "1" : "0");
    const int result = TP_InvokeRemotePXCall(list_, count_, services_, proxyHost_, kUnmapMessage, index);
    if (result != 0)
      o_logger.DebugLvl(tag_, -1, " [ERROR]tp_Remote call to %s for Map-Snap operation Failed [%d]", proxyHost_.c_str(),
                        result);
    if (device->getStatus() == TQSO::SS_UNMAPPED) ++unmapped_;
    return result == 0;
  }

  void RescanBuses() {
    o_logger.DebugLvl(tag_, 1, "Unmapping completed. Refrreshing System Bus...[Count - %u] ",
                      static_cast<unsigned>(unmapped_));
    refreshSystemBus(services_, initiators_, deleteList_, identifier_);
    o_logger.DebugLvl(tag_, 1, "Refrreshing System Bus completed...[pCount - %u]", static_cast<unsigned>(unmapped_));
  }

  TQSO::SnapInfo** list_;
  short count_;
  TQSO::TQOSUtil* services_;
  bool copies_;
  bool force_;
  bool isLocal_;
  const char* tag_;
  std::string arrayId_;
  std::string proxyHost_;
  bool remote_ = false;
  std::string identifier_;
  bool firstIsVmware_ = false;
  bool iscsi_ = false;
  std::list<std::string> initiators_;
  std::list<std::string> hostDevices_;
  std::list<std::string> deleteList_;
  int unmapped_ = 0;
};

}  // namespace

int unmapVolumes(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool copies, bool force, bool isLocal,
                 int deviceIndex) {
  return UnmapRun(list, count, services, copies, force, isLocal).Run(deviceIndex);
}

int TP_unmapSnaps(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal, int deviceIndex) {
  return unmapVolumes(list, count, services, true, false, isLocal, deviceIndex);
}
