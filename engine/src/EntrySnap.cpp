// Snapshot creation calls. The workers that create the copies come with the snapshot objects; until then
// a call gives the result of a list whose array cannot be told.
#include "EntryGuard.h"
#include "PendingCall.h"
#include "TqsoEntryPoints.h"

using tqengine::GuardedCall;
using tqengine::PendingSnapshotCall;

TQSO::ResultCode tqso_snapDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil*) {
  const char* tag = "3PAR-CreateMasterSnap[Local]";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingSnapshotCall(tag, devices, count, TQSO::RC_FAIL); });
}

TQSO::ResultCode tqso_postSnapDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil) {
  return tqso_snapDevices(devices, count, osUtil);
}
