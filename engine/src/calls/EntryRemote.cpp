// The proxy side of the remote-proxy protocol, and the remote snapshot call that does nothing.
#include "EntryGuard.h"
#include "TqRemoteProxy.h"
#include "TqsoEntryPoints.h"

TQSO::ResultCode tqso_execSnapEngineOp(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* services) {
  return tqengine::GuardedCall("3PAR-tqso_execSnapEngineOp", TQSO::RC_FAIL, [&] {
    return static_cast<TQSO::ResultCode>(ExecuteRemoteCommand(devices, count, services));
  });
}

TQSO::ResultCode tqso_createRemoteSnaps(TQSO::SnapInfo**, short, TQSO::TQOSUtil*) { return TQSO::RC_SUCCESS; }
