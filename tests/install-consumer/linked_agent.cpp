// Linked to the installed engine: calls it through the installed header.
#include <cstdio>

#include "TqsoEntryPoints.h"

int main() {
  short major = 0, minor = 0, patch = 0;
  tqso_version(&major, &minor, &patch);
  // A null list touches nothing and answers 0.
  const TQSO::ResultCode result = tqso_prepareDevices(nullptr, 0, nullptr);
  std::printf("linked engine %d.%d.%d, empty prepare %d\n", major, minor, patch, static_cast<int>(result));
  return major == 1 && result == 0 ? 0 : 1;
}
