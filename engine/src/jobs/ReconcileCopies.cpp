// Reconciling the engine's records with the array: each device whose recorded copy is gone is marked.
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

const char kTag[] = "3PAR-TP_reconcileSnaps";
const unsigned kReconcileMessage = 12;

// False when the device's record or login cannot be had, which stops the call.
bool CheckDevice(TQSO::SnapInfo* device, TQSO::TQOSUtil* services) {
  _TQ3PAR_SnapMetadata record;
  if (!getMetadata(device, record)) {
    o_logger.DebugLvl(kTag, -1, "Failed to get Metadata");
    return false;
  }
  const std::string name = tqengine::SourceDeviceNameOf(device);
  o_logger.DebugLvl(kTag, -1, "Snap Device[%s] Source Device [%s] Snap Name [%s]", record.targetDev.c_str(),
                    record.srcDev.c_str(), name.c_str());
  Tq3PARSnapshot snapshot;
  snapshot.SetLogger(device);
  if (!initArrayParams(snapshot, device, services, record.arrayId, true)) {
    o_logger.DebugLvl(kTag, -1, "Failed to initialize the Array parameters");
    return false;
  }
  TQ_SMIS_SNAP::TqSnapViewParams view;
  view.targetDev = record.targetDev;
  view.targetDevPath = record.targetDevPath;
  snapshot.SetSnapViewInfo(view);
  if (snapshot.GetSnapStatus() == TQSO::SS_GONE_FROM_ARRAY) {
    o_logger.DebugLvl(kTag, -1, "Snap device %s externally deleted from Storage Array [%s]", record.targetDev.c_str(),
                      record.arrayId.c_str());
    device->setStatus(TQSO::SS_GONE_FROM_ARRAY);
  } else {
    o_logger.DebugLvl(kTag, -1, "Snap device %s exists or status unknown ", record.targetDev.c_str());
  }
  return true;
}

}  // namespace

int TP_reconcileSnaps(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal) {
  if (tqengine::IsEmptyList(list, count)) return TQSO::RC_SUCCESS;
  std::string arrayId = getStorageArrayId(list[0]);
  if (arrayId.empty()) {
    o_logger.DebugLvl(kTag, -1, "[ERROR] Couldn't get Array-ID from Meta Data");
    return TQSO::RC_FAIL;
  }
  std::string proxyHost;
  if (isRemoteCallEnabled(list[0], arrayId, proxyHost) && isLocal) {
    o_logger.DebugLvl(kTag, 1, " Sending tp_Remote call to %s for Reconcile operation (%d devices)", proxyHost.c_str(),
                      count);
    return TP_InvokeRemotePXCall(list, count, services, proxyHost, kReconcileMessage, -1);
  }
  o_logger.DebugLvl(kTag, 1, "Going to check [%d] sanp / clone device{s] status on the Storage Array [is local - %s] ",
                    count, isLocal ? "Yes" : "No");
  for (short i = 0; i < count; ++i)
    if (list[i] != nullptr && !CheckDevice(list[i], services)) return TQSO::RC_FAIL;
  o_logger.DebugLvl(kTag, 1, "reconcileSnaps operation Completed");
  return TQSO::RC_SUCCESS;
}
