#include "PendingCall.h"

#include "EvDebug.h"
#include "TqEngineResult.h"

namespace tqengine {

namespace {

void LogPending(const char* tag, short count) {
  o_logger.DebugLvl(tag, -1, "%s: not available in this build; %d record(s) left unchanged", tag,
                    static_cast<int>(count));
}

}  // namespace

TQSO::ResultCode PendingSnapshotCall(const char* tag, const void* list, short count, TQSO::ResultCode early) {
  LogPending(tag, count);
  return IsEmptyList(list, count) ? TQSO::RC_SUCCESS : early;
}

TQSO::ResultCode PendingLunCall(const char* tag, const void*, short count) {
  LogPending(tag, count);
  return TQSO::RC_FAIL;
}

}  // namespace tqengine
