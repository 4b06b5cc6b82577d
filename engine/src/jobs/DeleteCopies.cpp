// Deleting the copies recorded in a list of devices, one device after the other. A copy never made or
// already gone counts as deleted; a refused delete is retried once after the copy is withdrawn from hosts.
#include <string>

#include "DeviceTexts.h"
#include "EvDebug.h"
#include "Tq3PARSnapshot.h"
#include "TqCopyWorkers.h"
#include "TqEngineResult.h"
#include "TqHostBus.h"
#include "TqRemoteProxy.h"
#include "TqSnapMetadata.h"
#include "TqSnapshotSetup.h"

namespace {

const unsigned kDeleteMessage = 7;

class DeleteRun {
 public:
  DeleteRun(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal)
      : list_(list),
        count_(count),
        services_(services),
        isLocal_(isLocal),
        tag_(isLocal ? "3PAR-TP_deleteSnaps[Local]" : "3PAR-TP_deleteSnaps[Remote]") {}

  TQSO::ResultCode Run() {
    if (tqengine::IsEmptyList(list_, count_)) return TQSO::RC_SUCCESS;
    firstIsVmware_ = list_[0] != nullptr && tqengine::IsVmwarePath(tqengine::HostDevicePathOf(list_[0]));

    short first = 0;
    std::string arrayId;
    for (; first < count_; ++first) {
      if (list_[first] == nullptr) continue;
      arrayId = getStorageArrayId(list_[first]);
      if (!arrayId.empty()) break;
      list_[first]->setStatus(TQSO::SS_DELETED);
    }
    if (first > 0)
      o_logger.DebugLvl(tag_, 1, "Couldn't find metadata so marking (%u) items deleted out of (%u)",
                        static_cast<unsigned>(first), static_cast<unsigned>(count_));
    if (first == count_) return TQSO::RC_SUCCESS;

    std::string proxyHost;
    if (isRemoteCallEnabled(list_[first], arrayId, proxyHost) && isLocal_) {
      o_logger.DebugLvl(tag_, 1, " Sending remote-PX call to [%s] for delete [%d] sanp/clone device{s]",
                        proxyHost.c_str(), count_);
      return static_cast<TQSO::ResultCode>(
          TP_InvokeRemotePXCall(list_, count_, services_, proxyHost, kDeleteMessage, -1));
    }
    o_logger.DebugLvl(tag_, 1, "Going to delete [%d] sanp / clone devices] [is local - %s]", count_,
                      isLocal_ ? "Yes" : "No");
    for (short i = 0; i < count_; ++i)
      if (list_[i] != nullptr && list_[i]->getStatus() != TQSO::SS_DELETED) DeleteCopy(list_[i]);
    o_logger.DebugLvl(tag_, 1, "delete snaps operation Completed");
    return tqengine::CountResult(list_, count_, {TQSO::SS_DELETED});
  }

 private:
  void DeleteCopy(TQSO::SnapInfo* device) {
    startedWithError_ = hasError(device);
    _TQ3PAR_SnapMetadata record;
    if (!getMetadata(device, record)) {
      o_logger.DebugLvl(tag_, -1, "Failed to get Metadata");
      device->setStatus(TQSO::SS_DELETE_FAILED);
      return;
    }
    if (record.targetDev.empty() && record.targetDevPath.empty()) {
      device->logMessage(1,
                         "Nothing to delete as snap device not created, reason colud be snap create operation failed");
      device->setStatus(TQSO::SS_DELETED);
      return;
    }
    const std::string snapName = tqengine::SourceDeviceNameOf(device);
    o_logger.DebugLvl(tag_, -1, "Snap Device[%s] Source Device [%s] Snap Name [%s]", record.targetDev.c_str(),
                      record.srcDev.c_str(), snapName.c_str());

    Tq3PARSnapshot snapshot;
    TQ_SMIS_SNAP::TqSnapViewParams view;
    view.targetDev = record.targetDev;
    view.targetDevPath = record.targetDevPath;
    snapshot.SetLogger(device);
    snapshot.SetSnapViewInfo(view);
    if (!initArrayParams(snapshot, device, services_, record.arrayId, true)) {
      o_logger.DebugLvl(tag_, -1, "Failed to initialize the Array parameters");
      device->setStatus(TQSO::SS_DELETE_FAILED);
      return;
    }
    if (snapshot.GetSnapStatus() == TQSO::SS_GONE_FROM_ARRAY) {
      device->logMessage(1, "Nothing to delete as snap device externally deleted from the Storage Array");
      Succeeded(device);
      return;
    }
    if (snapshot.SnapDelete() == TQSO::SS_DELETED) return Deleted(device, record);
    if (GoneAfterAll(device, snapshot)) return;
    RetryAfterUnmap(device, snapshot, record);
  }

  void Deleted(TQSO::SnapInfo* device, const _TQ3PAR_SnapMetadata& record) {
    o_logger.DebugLvl(tag_, 1, "Successfully deleted the device %s", record.targetDev.c_str());
    Succeeded(device);
  }

  // Status 20; an error a lower layer set during this device's work (a check retried after a refused login,
  // a first delete refused) is not its outcome. An error the device came with is kept.
  void Succeeded(TQSO::SnapInfo* device) {
    device->setStatus(TQSO::SS_DELETED);
    if (!startedWithError_) clearError(device);
  }

  // A delete whose answer was lost may have been done on the array: a copy the array no longer holds is deleted.
  bool GoneAfterAll(TQSO::SnapInfo* device, Tq3PARSnapshot& snapshot) {
    if (snapshot.GetSnapStatus() != TQSO::SS_GONE_FROM_ARRAY) return false;
    device->logMessage(1, "The delete was not confirmed, but the snap device is no longer on the Storage Array");
    Succeeded(device);
    return true;
  }

  // The copy may still be presented to a host: withdraw it and try once more (not on a VMware host, where
  // only the array side is withdrawn).
  void RetryAfterUnmap(TQSO::SnapInfo* device, Tq3PARSnapshot& snapshot, const _TQ3PAR_SnapMetadata& record) {
    std::string text = snapshot.GetErrorMessage(0, "default");
    if (firstIsVmware_) {
      o_logger.DebugLvl(tag_, -1, "Failed to delete the device %s, [%d][%s]", record.targetDev.c_str(), 0,
                        text.c_str());
      int unmapped = 0;
      ArrayOperarions_unmapVolumes(device, services_, true, unmapped, true);
      device->setStatus(TQSO::SS_DELETE_FAILED);
      return;
    }
    o_logger.DebugLvl(tag_, -1, "Failed to delete the device %s [%d][%s] , going try unmap if any",
                      record.targetDev.c_str(), 0, text.c_str());
    WithdrawFromHosts(device);
    if (snapshot.SnapDelete() == TQSO::SS_DELETED) return Deleted(device, record);
    if (GoneAfterAll(device, snapshot)) return;
    text = snapshot.GetErrorMessage(0, "default");
    o_logger.DebugLvl(tag_, -1, "Failed to delete the device[%d][%s] %s", 0, text.c_str(), record.targetDev.c_str());
    device->setStatus(TQSO::SS_DELETE_FAILED);
  }

  // On the proxy host the unmap worker would hand the device back to the proxy handler, which reads
  // parameters a delete never wrote: there the array side is withdrawn directly.
  void WithdrawFromHosts(TQSO::SnapInfo* device) {
    if (!isLocal_) {
      int unmapped = 0;
      ArrayOperarions_unmapVolumes(device, services_, true, unmapped, true);
      return;
    }
    TQSO::SnapInfo* single[] = {device};
    unmapVolumes(single, 1, services_, true, true, isLocal_, -1);
  }

  TQSO::SnapInfo** list_;
  short count_;
  TQSO::TQOSUtil* services_;
  bool isLocal_;
  const char* tag_;
  bool firstIsVmware_ = false;
  bool startedWithError_ = false;
};

}  // namespace

TQSO::ResultCode TP_deleteSnaps(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal) {
  return DeleteRun(list, count, services, isLocal).Run();
}
