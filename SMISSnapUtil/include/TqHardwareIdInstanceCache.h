// The process-wide list of storage-hardware-ID instances (object path, "portWWN" and "iSCSIName") that the
// IBM SVC controller lookup scans instead of enumerating the provider's hardware IDs on every call. It is
// shared by every connection and every array, keyed by nothing, and kept between calls only while
// "TQ_IBMSVC_CACHE_HBA_INSTANCES" is not 0. TqCimUtil::m_CimUtilLock guards every use.
#pragma once

#include <cstddef>

#include "Pegasus/Array.h"
#include "Pegasus/CIMInstance.h"

class TqHardwareIdInstanceCache {
 public:
  // The cached instances; the caller holds TqCimUtil::m_CimUtilLock.
  static Pegasus::Array<Pegasus::CIMInstance>& InstancesLocked();
  // Empties the cache (the next lookup fills it again). Takes the lock.
  static void Clear();
  // Number of cached instances. Takes the lock.
  static std::size_t Size();
};
