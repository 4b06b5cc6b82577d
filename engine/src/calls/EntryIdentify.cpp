// Identifying copies among the host's devices and recording the array of each device.
#include "EntryGuard.h"
#include "TqIdentify.h"
#include "TqsoEntryPoints.h"

TQSO::ResultCode tqso_identifyDevices(TQSO::SnapInfo** devices, short count, TQSO::DeviceMap& deviceMap, int mode,
                                      short& mismatches, TQSO::TQOSUtil* services) {
  return tqengine::GuardedCall("3PAR-TP_identifyDevices", TQSO::RC_FAIL, [&] {
    return static_cast<TQSO::ResultCode>(
        TP_identifyDevices(devices, count, deviceMap, mode, mismatches, services, true, -1));
  });
}

TQSO::ResultCode tqso_processVPDInfo(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* services) {
  return tqengine::GuardedCall("3PAR-tqso_processVPDInfo", TQSO::RC_FAIL,
                               [&] { return static_cast<TQSO::ResultCode>(ProcessVPDInfo(devices, count, services)); });
}
