// Deleting copies from the array.
#include "EntryGuard.h"
#include "TqCopyWorkers.h"
#include "TqsoEntryPoints.h"

TQSO::ResultCode tqso_deleteSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* services) {
  return tqengine::GuardedCall("3PAR-TP_deleteSnaps[Local]", TQSO::RC_FAIL,
                               [&] { return TP_deleteSnaps(devices, count, services, true); });
}
