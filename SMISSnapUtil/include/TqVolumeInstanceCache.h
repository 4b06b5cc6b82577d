// The process-wide list of storage-volume instances (object path and "Name" only) that the volume lookup
// by identifier scans instead of enumerating the provider's volumes on every call. It is shared by every
// connection and every array, keyed by nothing, and used only while "TQ_SMIS_CACHE_VOLUME_INSTANCES" is
// above 0. TqCimUtil::m_CimUtilLock guards every use.
#pragma once

#include <cstddef>

#include "Pegasus/Array.h"
#include "Pegasus/CIMInstance.h"

class TqVolumeInstanceCache {
 public:
  // The cached instances; the caller holds TqCimUtil::m_CimUtilLock.
  static Pegasus::Array<Pegasus::CIMInstance>& InstancesLocked();
  // Empties the cache (the next cached lookup fills it again). Takes the lock.
  static void Clear();
  // Number of cached instances. Takes the lock.
  static std::size_t Size();
};
