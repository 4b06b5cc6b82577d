// Preparing devices for a copy, and undoing a prepare. The prepare workers come with the snapshot objects;
// until then a prepare gives the result of a list whose first device cannot be identified.
#include "EntryGuard.h"
#include "PendingCall.h"
#include "TqEngineResult.h"
#include "TqsoEntryPoints.h"

using tqengine::GuardedCall;
using tqengine::PendingSnapshotCall;

TQSO::ResultCode tqso_prepareDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil*) {
  const char* tag = "3PAR-TP_prepareDevices[Local]";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingSnapshotCall(tag, devices, count, TQSO::RC_FAIL); });
}

TQSO::ResultCode tqso_prepareRemoteSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil*) {
  const char* tag = "3PAR-TP_prepareRemoteSnaps";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] {
    o_logger.DebugLvl(tag, 1, "starts [%d devices] [islocal - %s]", static_cast<int>(count), "Yes");
    return PendingSnapshotCall("3PAR-TP_prepareDevices[Local][Replication-Snap]", devices, count, TQSO::RC_FAIL);
  });
}

TQSO::ResultCode tqso_unprepareDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil*) {
  const char* tag = "3PAR-tqso_unprepareDevices";
  if (tqengine::IsEmptyList(devices, count)) return TQSO::RC_SUCCESS;
  for (short i = 0; i < count; ++i) {
    TQSO::SnapInfo* device = devices[i];
    if (device == nullptr) continue;
    GuardedCall(tag, [&] {
      device->setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, nullptr);
      device->setStatus(TQSO::SS_UNPREPARED);
    });
  }
  return TQSO::RC_SUCCESS;
}
