// The proxy side of the remote-proxy protocol, and the remote snapshot call that does nothing. The
// dispatcher comes with the workers it runs; until then a proxy call gives the result of a command that
// cannot be read.
#include "EntryGuard.h"
#include "PendingCall.h"
#include "TqsoEntryPoints.h"

using tqengine::GuardedCall;
using tqengine::PendingSnapshotCall;

TQSO::ResultCode tqso_execSnapEngineOp(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil*) {
  const char* tag = "3PAR-tqso_execSnapEngineOp";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingSnapshotCall(tag, devices, count, TQSO::RC_FAIL); });
}

TQSO::ResultCode tqso_createRemoteSnaps(TQSO::SnapInfo**, short, TQSO::TQOSUtil*) { return TQSO::RC_SUCCESS; }
