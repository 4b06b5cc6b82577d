// The clone worker of prepare: creates the clone volume, attaches it to the source as a synchronized
// replica and records the clone with its synchronization path (which the snapshot step resynchronises).
#include <string>

#include "DeviceWorkers.h"
#include "EvDebug.h"
#include "TqSnapMetadata.h"
#include "TqSnapWorkers.h"
#include "UnrecordedCopy.h"
#include "calls/EntryGuard.h"

namespace {

const char kTag[] = "3par-cloneDeviceThread";
const char kSyncCopyType[] = "4";

// A clone that cannot be recorded counts as not prepared, its id in the device's error.
void RecordClone(TQSO::SnapInfo* device, Tq3PARSnapshot& clone, const char* logTag) {
  _TQ3PAR_SnapMetadata record;
  record.arrayId = clone.m_SystemName;
  record.snapOp = std::to_string(clone.GetSnapOperation());
  record.snapServicePath = clone.m_ServicePath;
  record.srcDev = clone.GetSourceDev();
  record.srcDevPath = clone.GetSourceDevPath();
  record.targetDGpath = clone.m_TargetDGPath;
  record.targetDev = clone.GetSnapDevice();
  record.targetDevPath = clone.GetSnapDevPath();
  record.childdev = tqengine::kEmptyDev;
  record.childdevpath = clone.GetSyncPath();
  record.version = tqengine::kMetadataVersion;
  if (!setMetadataRecord(device, record)) {
    o_logger.DebugLvl(kTag, 1, "%s: [Error] Failed to set metadata [id : %d]", kTag,
                      TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID);
    tqengine::ReportUnrecordedCopy(device, kTag, record.targetDev, record.targetDevPath,
                                   "its record could not be stored");
    device->setStatus(TQSO::SS_PREPARE_FAILED);
    return;
  }
  device->logFormatted(1, logTag, "%s Clone success for the source device %s [Sync path %s]", kTag,
                       record.srcDev.c_str(), record.childdevpath.c_str());
  device->setStatus(TQSO::SS_PREPARED);
}

}  // namespace

void* cloneDeviceThread(void* argument) {
  const SnapThreadParam* param = static_cast<const SnapThreadParam*>(argument);
  TQSO::SnapInfo* device = param->device;
  tqengine::GuardedCall(kTag, [&] {
    Tq3PARSnapshot clone(param->snapshot);
    bool attached = false;
    if (!clone.CreateCloneVolume()) {
      device->logFormatted(2, kTag, "Clone volume creation failed");
      tqengine::ReportCopyStillNamed(device, kTag, clone, "its creation failed");
    } else {
      device->logFormatted(2, kTag, "Clone volume creation successful, going to attach the volume to source volume");
      attached = clone.AttachCloneVolume(kSyncCopyType);
      if (!attached) {
        device->logFormatted(2, kTag, "Attach of clone volume failed, going to delete clone volume");
        if (clone.SnapDelete() != TQSO::SS_DELETED)
          tqengine::ReportCopyStillNamed(device, kTag, clone, "it could not be deleted after its attach failed");
      }
    }
    if (!attached) {
      device->setStatus(TQSO::SS_PREPARE_FAILED);
      return;
    }
    RecordClone(device, clone, param->logTag);
  });
  return nullptr;
}
