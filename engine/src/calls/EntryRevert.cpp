// Reverting sources from their copies and checking that copies still exist.
#include "EntryGuard.h"
#include "TqCopyWorkers.h"
#include "TqsoEntryPoints.h"

TQSO::ResultCode tqso_revertSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* services) {
  return tqengine::GuardedCall("3PAR-tqso_revertSnaps", TQSO::RC_FAIL, [&] {
    return static_cast<TQSO::ResultCode>(TP_revertSnaps(devices, count, services, true));
  });
}

TQSO::ResultCode tqso_reconcileSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* services) {
  return tqengine::GuardedCall("3PAR-TP_reconcileSnaps", TQSO::RC_FAIL, [&] {
    return static_cast<TQSO::ResultCode>(TP_reconcileSnaps(devices, count, services, true));
  });
}
