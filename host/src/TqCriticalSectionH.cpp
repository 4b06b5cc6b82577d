#include "TqCriticalSectionH.h"

int TqCriticalSectionH::enter(bool wait) {
  if (wait) {
    mutex_.lock();
    return 1;
  }
  return mutex_.try_lock() ? 1 : 0;
}

void TqCriticalSectionH::leave() { mutex_.unlock(); }
