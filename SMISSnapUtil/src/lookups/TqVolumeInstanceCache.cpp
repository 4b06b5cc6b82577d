#include "TqVolumeInstanceCache.h"

#include "TqCimUtil.h"

Pegasus::Array<Pegasus::CIMInstance>& TqVolumeInstanceCache::InstancesLocked() {
  static Pegasus::Array<Pegasus::CIMInstance> instances;
  return instances;
}

void TqVolumeInstanceCache::Clear() {
  TqCriticalSectionLock guard(&TqCimUtil::m_CimUtilLock);
  InstancesLocked().clear();
}

std::size_t TqVolumeInstanceCache::Size() {
  TqCriticalSectionLock guard(&TqCimUtil::m_CimUtilLock);
  return InstancesLocked().size();
}
