// Creating a copy's child snapshot in a worker of its own, started and joined at once.
#include <memory>
#include <new>
#include <string>

#include "DeviceWorkers.h"
#include "EvDebug.h"
#include "TqMapWorkers.h"
#include "TqSnapMetadata.h"
#include "UnrecordedCopy.h"
#include "calls/EntryGuard.h"

namespace {

const char kTag[] = "3PAR-CreateChildSnap";

}  // namespace

void* childSnapDeviceThread(void* argument) {
  const SnapThreadParam* param = static_cast<const SnapThreadParam*>(argument);
  TQSO::SnapInfo* device = param->device;
  const char* tag = param->logTag;
  tqengine::GuardedCall(tag, [&] {
    Tq3PARSnapshot snapshot(param->snapshot);
    _TQ3PAR_SnapMetadata record;
    if (!getMetadata(device, record)) {
      o_logger.DebugLvl(tag, -1, "%s: Failed to Get Metadata", tag);
      device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
      return;
    }
    if (snapshot.SnapCreate() != TQSO::SS_SNAPSHOT_CREATED) {
      o_logger.DebugLvl(tag, -1, "%s: Child-Snap Creation failed", tag);
      tqengine::ReportCopyStillNamed(device, tag, snapshot, "it could not be removed after the failed child snapshot");
      device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
      return;
    }
    device->logMessage(0, "Successfully created Child-Snap");
    record.childdev = snapshot.GetSnapDevice();
    record.childdevpath = snapshot.GetSnapDevPath();
    std::string text;
    ConstructMetadata(record, text);
    device->logMessage(0, text.c_str());
    // A child that cannot be recorded counts as not made, its id in the device's error.
    if (device->setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, text.c_str()) == 1) {
      o_logger.DebugLvl(tag, -1, "[Error]Failed to set metadata [id : %d]", TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID);
      tqengine::ReportUnrecordedCopy(device, tag, record.childdev, record.childdevpath,
                                     "its record could not be stored");
      device->setStatus(TQSO::SS_SNAPSHOT_FAILED);
      return;
    }
    device->setStatus(TQSO::SS_SNAPSHOT_CREATED);
  });
  return nullptr;
}

bool CreateChildSnap(Tq3PARSnapshot* snapshot, TQSO::SnapInfo* device) {
  o_logger.DebugLvl(kTag, 1, " Starting Child snap operation");
  tqengine::DeviceWorkers workers(true, kTag);
  SnapThreadParam* param = workers.NewParam();
  param->device = device;
  param->snapshot = *snapshot;
  param->logTag = kTag;
  if (workers.Run(&childSnapDeviceThread, param, "SnapDevice Thread created") == tqengine::DeviceWorkers::kNotStarted) {
    o_logger.DebugLvl(kTag, -1, " Unable to create thread");
    return true;
  }
  workers.JoinAll();
  o_logger.DebugLvl(kTag, 1, " Snap/clone operation completed");
  return device->getStatus() != TQSO::SS_SNAPSHOT_CREATED;
}
