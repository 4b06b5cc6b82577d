// Entry points whose work this build does not hold yet. Each such call touches no record, logs that it
// did nothing, and gives the result its call gives when it cannot proceed; a list with nothing in it gives
// the call's empty-list result, as the finished call will.
#pragma once

#include "TQSOTypes.h"

namespace tqengine {

// Snapshot calls: 0 for an empty list, else `early`.
TQSO::ResultCode PendingSnapshotCall(const char* tag, const void* list, short count, TQSO::ResultCode early);
// LUN calls: 1 (nothing succeeded) whatever the list holds.
TQSO::ResultCode PendingLunCall(const char* tag, const void* list, short count);

}  // namespace tqengine
