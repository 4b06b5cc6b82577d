// Identifying copies among the host's devices and recording the array of each device. The workers come
// later; until then a call gives its failure result.
#include "EntryGuard.h"
#include "PendingCall.h"
#include "TqsoEntryPoints.h"

using tqengine::GuardedCall;
using tqengine::PendingSnapshotCall;

TQSO::ResultCode tqso_identifyDevices(TQSO::SnapInfo** devices, short count, TQSO::DeviceMap&, int, short&,
                                      TQSO::TQOSUtil*) {
  const char* tag = "3PAR-TP_identifyDevices";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingSnapshotCall(tag, devices, count, TQSO::RC_FAIL); });
}

TQSO::ResultCode tqso_processVPDInfo(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil*) {
  const char* tag = "3PAR-tqso_processVPDInfo";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] { return PendingSnapshotCall(tag, devices, count, TQSO::RC_FAIL); });
}
