// Result codes of the 3PAR provisioning operations, and the mapping states of the volume mapping check.
//
// Action results (SmisResultCode): 0 success; the provider's own return value when a method neither
// succeeds nor starts a job; the final job state when a started job does not complete; and the codes
// below. Callers of the provisioning road test only zero against non-zero.
#pragma once

#include "SmisResultCodes.h"

// Mapping state of a volume against a set of initiator ports.
enum HP3ParMappingState {
  kHP3ParMappingError = 0,         // missing argument, CIM-layer failure, volume gone by its unique name
  kHP3ParMappedToPorts = 13,       // presented to the given ports
  kHP3ParMappedToOtherHost = 14,   // presented only through views the given ports do not reach
  kHP3ParNotMapped = 16,           // presented to nobody
  kHP3ParVolumeNameNotFound = 21,  // no volume of that name on the array
};

// Mapping: the host to present a volume to cannot be used (ports of several hosts, no ports, ports that
// cannot be registered).
const SmisResultCode kHP3ParHostUnusable = 14;
// Device access given to a host: read-write.
const int kHP3ParReadWrite = 2;
