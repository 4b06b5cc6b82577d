#include "TqEngineResult.h"

namespace tqengine {

TQSO::ResultCode ResultOf(int succeeded, int count) {
  if (count > 0 && succeeded >= count) return TQSO::RC_SUCCESS;
  if (succeeded <= 0) return TQSO::RC_FAIL;
  return TQSO::RC_FAIL_PARTIAL;
}

int CountAtStatus(TQSO::SnapInfo** devices, short count, std::initializer_list<TQSO::SnapStatus> statuses) {
  if (IsEmptyList(devices, count)) return 0;
  int matching = 0;
  for (short i = 0; i < count; ++i) {
    if (devices[i] == nullptr) continue;
    const TQSO::SnapStatus status = devices[i]->getStatus();
    for (TQSO::SnapStatus wanted : statuses) {
      if (status == wanted) {
        ++matching;
        break;
      }
    }
  }
  return matching;
}

TQSO::ResultCode CountResult(TQSO::SnapInfo** devices, short count, std::initializer_list<TQSO::SnapStatus> statuses) {
  return ResultOf(CountAtStatus(devices, count, statuses), count);
}

}  // namespace tqengine

bool hasError(TQSO::SnapInfo* device) {
  if (device == nullptr) return false;
  int current = 0;
  device->getError(&current, nullptr, nullptr);
  return current != 0;
}

void setError(TQSO::SnapInfo* device, int code, const char* text) {
  if (device == nullptr || text == nullptr || hasError(device)) return;
  device->logMessage(2, text);
  device->setError(code, text);
}

void clearError(TQSO::SnapInfo* device) {
  if (!hasError(device)) return;
  device->logMessage(2, "The error met on the way is cleared: the step succeeded");
  device->setError(0, "");
}
