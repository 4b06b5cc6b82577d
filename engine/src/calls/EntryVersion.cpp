// Version calls of the snapshot and provisioning families.
#include "TqsoEntryPoints.h"

namespace {

void WriteVersion(short* major, short* minor, short* patch) {
  if (major == nullptr || minor == nullptr || patch == nullptr) return;
  *major = 1;
  *minor = 0;
  *patch = 0;
}

}  // namespace

void tqso_version(short* major, short* minor, short* patch) { WriteVersion(major, minor, patch); }

void tqso_sProvVersion(short* major, short* minor, short* patch) { WriteVersion(major, minor, patch); }
