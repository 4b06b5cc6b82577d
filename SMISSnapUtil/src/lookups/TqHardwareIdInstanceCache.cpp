#include "TqHardwareIdInstanceCache.h"

#include "TqCimUtil.h"

Pegasus::Array<Pegasus::CIMInstance>& TqHardwareIdInstanceCache::InstancesLocked() {
  static Pegasus::Array<Pegasus::CIMInstance> instances;
  return instances;
}

void TqHardwareIdInstanceCache::Clear() {
  TqCriticalSectionLock guard(&TqCimUtil::m_CimUtilLock);
  InstancesLocked().clear();
}

std::size_t TqHardwareIdInstanceCache::Size() {
  TqCriticalSectionLock guard(&TqCimUtil::m_CimUtilLock);
  return InstancesLocked().size();
}
