// LUN provisioning calls (create, delete, resize, resolve to users). The provisioning handler comes
// later; until then no LUN succeeds and no record is touched.
#include "EntryGuard.h"
#include "PendingCall.h"
#include "TqsoEntryPoints.h"

using tqengine::GuardedCall;
using tqengine::PendingLunCall;

TQSO::ResultCode tqso_createLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil*) {
  const char* tag = "TQProvEngine3PAR::tqso_createLUNs";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingLunCall(tag, luns, count); });
}

TQSO::ResultCode tqso_deleteLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil*) {
  const char* tag = "TQProvEngine3PAR::tqso_deleteLUNs";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingLunCall(tag, luns, count); });
}

TQSO::ResultCode tqso_resizeLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil*) {
  const char* tag = "TQProvEngine3PAR::tqso_resizeLUNs";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingLunCall(tag, luns, count); });
}

TQSO::ResultCode tqso_resolveLunsToUsers(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil*) {
  const char* tag = "TQProvEngine3PAR::tqso_resolveLunsToUsers";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingLunCall(tag, luns, count); });
}
