// Snapshot creation calls.
#include "EntryGuard.h"
#include "TqSnapWorkers.h"
#include "TqsoEntryPoints.h"

TQSO::ResultCode tqso_snapDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil) {
  return tqengine::GuardedCall("3PAR-CreateMasterSnap[Local]", TQSO::RC_FAIL,
                               [&] { return TP_snapDevices(devices, count, osUtil, true); });
}

TQSO::ResultCode tqso_postSnapDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil) {
  return tqso_snapDevices(devices, count, osUtil);
}
