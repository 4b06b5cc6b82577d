// Presenting LUNs to the hosts of their map-information documents, and withdrawing them. The provisioning
// handler comes later; until then no LUN succeeds and no record is touched.
#include "EntryGuard.h"
#include "PendingCall.h"
#include "TqsoEntryPoints.h"

using tqengine::GuardedCall;
using tqengine::PendingLunCall;

TQSO::ResultCode tqso_mapLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil*) {
  const char* tag = "TQProvEngine3PAR::tqso_mapLUNs";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingLunCall(tag, luns, count); });
}

TQSO::ResultCode tqso_unmapLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil*) {
  const char* tag = "TQProvEngine3PAR::tqso_unmapLUNs";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingLunCall(tag, luns, count); });
}
