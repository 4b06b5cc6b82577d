// The inventory call. The collection of volumes and pools comes later; until then the call gives the
// result of an array whose provider cannot be reached, and the database is not touched.
#include "EntryGuard.h"
#include "TqsoEntryPoints.h"

using tqengine::GuardedCall;

int tqso_getArrayInfo(TQSO::ArrayReportDB*, TQSO::TQOSUtil*) {
  const char* tag = "TQSO3PARAPI::tqso_getArrayInfo";
  return GuardedCall(tag, 1, [&] {
    o_logger.DebugLvl(tag, -1, "%s: not available in this build; the database was left unchanged", tag);
    return 1;
  });
}
