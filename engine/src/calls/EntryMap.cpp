// Presenting copies to the host, and telling which copies the host sees already.
#include "EntryGuard.h"
#include "TqMapWorkers.h"
#include "TqsoEntryPoints.h"

TQSO::ResultCode tqso_mapSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* services) {
  return tqengine::GuardedCall("3PAR-tqso_mapSnaps[Local]", TQSO::RC_FAIL, [&] {
    return static_cast<TQSO::ResultCode>(TP_mapSnaps(devices, count, services, true, -1));
  });
}

TQSO::ResultCode tqso_isMapped(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* services) {
  return tqengine::GuardedCall("3PAR-isMapped", TQSO::RC_FAIL,
                               [&] { return static_cast<TQSO::ResultCode>(IsMappedOnHost(devices, count, services)); });
}
