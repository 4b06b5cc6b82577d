// Snapshot creation: one worker per prepared device takes the snapshot (or resynchronises the prepared
// clone) and writes the new copy's identity into the device's record.
#include <string>

#include "DeviceTexts.h"
#include "DeviceWorkers.h"
#include "EvDebug.h"
#include "ReplicaWorkers.h"
#include "TqEngineConfig.h"
#include "TqEngineErrors.h"
#include "TqEngineResult.h"
#include "TqEngineSettings.h"
#include "TqHostBus.h"
#include "TqNumberParse.h"
#include "TqRemoteProxy.h"
#include "TqSnapMetadata.h"
#include "TqSnapWorkers.h"
#include "TqSnapshotSetup.h"
#include "UnrecordedCopy.h"
#include "calls/EntryGuard.h"

namespace {

const unsigned kSnapMessage = 6;
const unsigned short kResyncOperation = 2;

// Fills the device's worker parameter; false (status 6 set) when the device cannot be worked on.
bool ReadyDevice(TQSO::SnapInfo* device, TQSO::TQOSUtil* osUtil, const char* tag, SnapThreadParam& param) {
  _TQ3PAR_SnapMetadata record;
  if (!getMetadata(device, record)) {
    o_logger.DebugLvl(tag, -1, "Failed to get Metadata");
    device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
    return false;
  }
  Tq3PARSnapshot snapshot;
  snapshot.SetLogger(device);
  snapshot.SetSnapStatus(device->getStatus());
  const std::string snapName = tqengine::SourceDeviceNameOf(device);
  if (!initArrayParams(snapshot, device, osUtil, record.arrayId, true)) {
    o_logger.DebugLvl(tag, -1, "Failed to initialize the Array parameters");
    device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
    return false;
  }
  const short engine = getSnapEngineType(device);
  if (engine == tqengine::kSnapshotEngine) {
    o_logger.DebugLvl(tag, -1, "Source Device [%s] Snap Name %s ", record.srcDev.c_str(), snapName.c_str());
  } else {
    std::string info, group;
    if (!tqengine::ReadDeviceArrayInfo(device, info)) {
      o_logger.DebugLvl(tag, -1, "Failed to get array info for array id [%s]", record.arrayId.c_str());
      setError(device, tqengine::kErrArrayInfo, tqengine::kTextArrayInfo);
    }
    if (parseJsonString(info, "deviceGroupName", group) && !group.empty())
      o_logger.DebugLvl(tag, -1, "Source Device [%s] Clone Group [%s]", record.srcDev.c_str(), group.c_str());
  }

  TQ_SMIS_SNAP::TqSnapParams params = CopyParamsOf(record);
  params.snapName = snapName;
  params.dgRequired = false;
  if (engine == tqengine::kSnapshotEngine) {
    params.snapOp = tqengine::kSnapshotOperation;
  } else if (engine == tqengine::kCloneEngine) {
    params.snapOp = tqengine::kCloneOperation;
    if (record.childdevpath == tqengine::kEmptyPath) {
      o_logger.DebugLvl(tag, -1, "Failed : CloneDevice found empty Sync-path [%s]", record.childdevpath.c_str());
      device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
      return false;
    }
    device->setCloneSyncFlag(true);
    o_logger.DebugLvl(tag, -1, "Clone Sync Path [%s]", record.childdevpath.c_str());
    snapshot.m_SyncPath = record.childdevpath;
  } else {
    o_logger.DebugLvl(tag, -1, "Failed : snapDevices received unknown snap operation [%d]", engine);
    device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
    return false;
  }
  snapshot.SetSnapInfo(params);
  snapshot.SetLogger(device);
  param.device = device;
  param.snapshot = snapshot;
  param.logTag = tag;
  param.osUtil = osUtil;
  return true;
}

// A copy that cannot be recorded counts as failed, its id in the device's error.
void RecordCopy(TQSO::SnapInfo* device, const char* tag, Tq3PARSnapshot& snapshot, _TQ3PAR_SnapMetadata& record) {
  const bool snap = snapshot.GetSnapOperation() == tqengine::kSnapshotOperation;
  device->logFormatted(0, tag, "Successfully created %s", snap ? "Snap" : "Clone");
  record.targetDev = snapshot.GetSnapDevice();
  record.targetDevPath = snapshot.GetSnapDevPath();
  record.childdev = tqengine::kEmptyDev;
  record.childdevpath = tqengine::kEmptyPath;
  if (!setMetadataRecord(device, record)) {
    o_logger.DebugLvl(tag, -1, "Failed to set metadata [id : %d]", TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID);
    tqengine::ReportUnrecordedCopy(device, tag, record.targetDev, record.targetDevPath,
                                   "its record could not be stored");
    device->setStatus(snap ? TQSO::SS_SNAPSHOT_FAILED : TQSO::SS_CLONE_FAILED);
    return;
  }
  device->setStatus(snap ? TQSO::SS_SNAPSHOT_CREATED : TQSO::SS_CLONE_CREATED);
}

}  // namespace

void* snapDeviceThread(void* argument) {
  const SnapThreadParam* param = static_cast<const SnapThreadParam*>(argument);
  TQSO::SnapInfo* device = param->device;
  const char* tag = param->logTag;
  tqengine::GuardedCall(tag, [&] {
    Tq3PARSnapshot snapshot(param->snapshot);
    _TQ3PAR_SnapMetadata record;
    if (!getMetadata(device, record)) {
      o_logger.DebugLvl(tag, -1, "[ERROR] Couldn't get Meta Data");
      device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
      return;
    }
    int32_t operation = 0;
    if (!tqhost::parseInt32(record.snapOp, operation)) {
      o_logger.DebugLvl(tag, -1, "[ERROR] Invalid copy operation [%s] in Meta Data", record.snapOp.c_str());
      device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
      return;
    }
    if (record.arrayId.empty()) {
      o_logger.DebugLvl(tag, -1, "[ERROR] Couldn't get Array-ID from Meta Data");
      device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
      return;
    }
    if (record.flags != 0 && !CheckAndProcessReplication(device, param->osUtil)) {
      o_logger.DebugLvl(tag, -1, "[ERROR] Replication snap has failed");
      device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
      return;
    }
    const int result = snapshot.GetSnapOperation() == tqengine::kSnapshotOperation
                           ? snapshot.SnapCreate()
                           : snapshot.SnapSyncOp(kResyncOperation, false);
    if (result == TQSO::SS_SNAPSHOT_CREATED) return RecordCopy(device, tag, snapshot, record);
    if (snapshot.GetSnapOperation() == tqengine::kSnapshotOperation)
      tqengine::ReportCopyStillNamed(device, tag, snapshot, "it could not be removed after the failed snapshot");
    if (operation == tqengine::kSnapshotOperation) {
      o_logger.DebugLvl(tag, -1, "Snap Creation failed");
      device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
    } else {
      o_logger.DebugLvl(tag, -1, "Clone Creation failed");
      device->setStatus(TQSO::SS_CLONE_FAILED);
    }
  });
  return nullptr;
}

TQSO::ResultCode CreateMasterSnap(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* osUtil, bool isLocal) {
  const char* tag = isLocal ? "3PAR-CreateMasterSnap[Local]" : "3PAR-CreateMasterSnap[Remote]";
  if (tqengine::IsEmptyList(list, count)) return TQSO::RC_SUCCESS;
  std::string arrayId = getStorageArrayId(list[0]);
  if (arrayId.empty()) {
    o_logger.DebugLvl(tag, -1, "[ERROR] Couldn't get Array-ID from Meta Data");
    return TQSO::RC_FAIL;
  }
  std::string proxyHost;
  if (isRemoteCallEnabled(list[0], arrayId, proxyHost) && isLocal) {
    o_logger.DebugLvl(tag, 1, " Sending tp_Remote call to %s for Snap operation (%d devices)", proxyHost.c_str(),
                      count);
    return static_cast<TQSO::ResultCode>(TP_InvokeRemotePXCall(list, count, osUtil, proxyHost, kSnapMessage, -1));
  }
  const bool parallel = tqengine::SnapRunsInParallel(list[0]);
  o_logger.DebugLvl(tag, 1, " Starting snap/clone operation [%d devices] [is local - %s] [Parallel operation - %s]",
                    count, isLocal ? "Yes" : "No", parallel ? "Yes" : "No");
  {
    tqengine::DeviceWorkers workers(parallel, tag);
    for (short i = 0; i < count; ++i) {
      TQSO::SnapInfo* device = list[i];
      if (device == nullptr) continue;
      SnapThreadParam* param = workers.NewParam();
      if (!ReadyDevice(device, osUtil, tag, *param)) continue;
      if (workers.Run(&snapDeviceThread, param, "SnapDevice Thread created") == tqengine::DeviceWorkers::kNotStarted)
        o_logger.DebugLvl(tag, -1, "Unable to create thread");
    }
  }
  o_logger.DebugLvl(tag, 1, " Snap/clone operation completed");
  return tqengine::CountResult(list, count, {TQSO::SS_SNAPSHOT_CREATED, TQSO::SS_CLONE_CREATED});
}

TQSO::ResultCode TP_snapDevices(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* osUtil, bool isLocal) {
  return CreateMasterSnap(list, count, osUtil, isLocal);
}
