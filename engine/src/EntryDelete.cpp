// Deleting copies. The worker comes with the snapshot objects; until then no device reaches "deleted".
#include "EntryGuard.h"
#include "PendingCall.h"
#include "TqsoEntryPoints.h"

using tqengine::GuardedCall;
using tqengine::PendingSnapshotCall;

TQSO::ResultCode tqso_deleteSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil*) {
  const char* tag = "3PAR-TP_deleteSnaps[Local]";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingSnapshotCall(tag, devices, count, TQSO::RC_FAIL); });
}
