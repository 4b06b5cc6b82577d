// Withdrawing copies from the host.
#include "EntryGuard.h"
#include "TqCopyWorkers.h"
#include "TqsoEntryPoints.h"

TQSO::ResultCode tqso_unmapSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* services) {
  return tqengine::GuardedCall("3PAR-tqso_unmapSnaps[Local]", TQSO::RC_FAIL, [&] {
    return static_cast<TQSO::ResultCode>(TP_unmapSnaps(devices, count, services, true, -1));
  });
}
