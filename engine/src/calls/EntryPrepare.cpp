// Preparing devices for a copy, and undoing a prepare.
#include "EntryGuard.h"
#include "TqEngineResult.h"
#include "TqSnapWorkers.h"
#include "TqsoEntryPoints.h"

using tqengine::GuardedCall;

TQSO::ResultCode tqso_prepareDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil) {
  return GuardedCall("3PAR-TP_prepareDevices[Local]", TQSO::RC_FAIL, [&] {
    return static_cast<TQSO::ResultCode>(TP_prepareDevices(devices, count, osUtil, true, false));
  });
}

TQSO::ResultCode tqso_prepareRemoteSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil) {
  const char* tag = "3PAR-TP_prepareRemoteSnaps";
  return GuardedCall(tag, TQSO::RC_FAIL, [&] {
    o_logger.DebugLvl(tag, 1, "starts [%d devices] [islocal - %s]", static_cast<int>(count), "Yes");
    return static_cast<TQSO::ResultCode>(TP_prepareDevices(devices, count, osUtil, true, true));
  });
}

TQSO::ResultCode tqso_unprepareDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil*) {
  const char* tag = "3PAR-tqso_unprepareDevices";
  if (tqengine::IsEmptyList(devices, count)) return TQSO::RC_SUCCESS;
  for (short i = 0; i < count; ++i) {
    TQSO::SnapInfo* device = devices[i];
    if (device == nullptr) continue;
    GuardedCall(tag, [&] {
      device->setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, nullptr);
      device->setStatus(TQSO::SS_UNPREPARED);
    });
  }
  return TQSO::RC_SUCCESS;
}
