// Presenting copies to the host and finding them there. The workers come with the snapshot objects and
// the host-side rescan wait; until then a call gives the result of a host that cannot be told.
#include "EntryGuard.h"
#include "PendingCall.h"
#include "TqsoEntryPoints.h"

using tqengine::GuardedCall;
using tqengine::PendingSnapshotCall;

TQSO::ResultCode tqso_isMapped(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil*) {
  const char* tag = "3PAR-tqso_isMapped";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingSnapshotCall(tag, devices, count, TQSO::RC_FAIL); });
}

TQSO::ResultCode tqso_mapSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil*) {
  const char* tag = "3PAR-tqso_mapSnaps[Local]";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingSnapshotCall(tag, devices, count, TQSO::RC_FAIL); });
}
