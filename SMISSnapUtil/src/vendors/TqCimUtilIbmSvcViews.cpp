// IBM SVC views of initiator ports: the host's storage hardware ID (one per host, naming its ports) is found
// among the array's hardware IDs, optionally kept in the shared cache, and its privilege leads to the views.
#include "Pegasus/CIMPropertyList.h"
#include "TQPlatformInfo.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "TqHardwareIdInstanceCache.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;
using tqcimutil::Contains;

namespace {

const char* const kLabel = "GetIBMSVCCtlrListByHwIDs";
const char* const kCacheSetting = "TQ_IBMSVC_CACHE_HBA_INSTANCES";
const char* const kHardwareIdClass = "CIM_StorageHardwareID";

// The first port decides the kind of all: iSCSI names hold "iqn", "eui" or "naa".
const char* PortPropertyFor(const String& firstPort) {
  std::string port = firstPort.str();
  bool iscsi = Contains(port, "iqn") || Contains(port, "eui") || Contains(port, "naa");
  return iscsi ? "iSCSIName" : "portWWN";
}

CIMPropertyList PortProperties() {
  Array<CIMName> names;
  names.append(CIMName("portWWN"));
  names.append(CIMName("iSCSIName"));
  return CIMPropertyList(names);
}

// The names a hardware ID's port property holds; false when it has no such property.
bool PortNamesOf(const CIMInstance& instance, const char* portProperty, Array<String>& names) {
  Uint32 index = instance.findProperty(CIMName(portProperty));
  if (index == PEG_NOT_FOUND) return false;
  const CIMValue& value = instance.getProperty(index).getValue();
  if (!value.isNull()) value.get(names);  // a value of another type is a fault of the provider's answer
  return true;
}

class SvcHardwareIdScan {
 public:
  SvcHardwareIdScan(TqCimUtil& util, const std::string& systemName, const char* portProperty, Array<String>& ports)
      : util_(util), systemName_(systemName), portProperty_(portProperty), ports_(ports) {}

  // The paths of the array's hardware IDs naming a port, once per port name that matches.
  Array<CIMObjectPath> Matches(const Array<CIMInstance>& instances, bool refreshed) {
    Array<CIMObjectPath> matches;
    for (Uint32 i = 0; i < instances.size(); ++i) {
      CIMObjectPath path = instances[i].getPath();
      // A blank system name belongs to no array.
      if (tqcimutil::IsBlankName(systemName_) || !Contains(util_.GetPropByObjPath(path, "InstanceID"), systemName_))
        continue;
      Array<String> names;
      if (!PortNamesOf(instances[i], portProperty_, names)) continue;
      for (Uint32 n = 0; n < names.size(); ++n) {
        for (Uint32 p = 0; p < ports_.size(); ++p) {
          if (names[n] != ports_[p]) continue;
          matches.append(path);
          if (refreshed)
            util_.DEBUG_TRACE(kLabel, "Found storage hardware id path-[%s] in refreshed list",
                              path.toString().str().c_str());
          break;
        }
      }
    }
    return matches;
  }

 private:
  TqCimUtil& util_;
  std::string systemName_;
  const char* portProperty_;
  Array<String>& ports_;
};

void FetchInto(TqCimUtil& util, TqCimConnection& conn, Array<CIMInstance>& cache) {
  cache = conn.GetInstances(kHardwareIdClass, PortProperties());
  util.DEBUG_TRACE_NORMAL(kLabel, "Fetched [%u] instances for storage hardware id class [%s]", cache.size(),
                          kHardwareIdClass);
}

}  // namespace

Array<CIMObjectPath> TqCimUtil::GetIBMSVCCtlrListByHwIDs(TqCimConnection& conn, CIMObjectPath& systemPath,
                                                         Array<String>& ports) {
  // Every IBM SVC port lookup of the process runs alone, its fault handling included.
  TqCriticalSectionLock guard(&m_CimUtilLock);
  Array<CIMInstance>& cache = TqHardwareIdInstanceCache::InstancesLocked();
  auto lookup = [&]() {
    Array<CIMObjectPath> views;
    if (ports.size() == 0) {
      DEBUG_TRACE_NORMAL(kLabel,
                         "The initiator port list provided is empty. The view controllers cannot be fetched without "
                         "it.");
      return views;
    }
    std::string name = GetPropByObjPath(systemPath, "Name");
    std::string systemName = name.substr(0, name.find(':'));
    DEBUG_TRACE_NORMAL(kLabel, "Got system name-[%s] from system path-[%s]", systemName.c_str(),
                       GetObjectPathString(systemPath).c_str());
    for (Uint32 p = 0; p < ports.size(); ++p)
      DEBUG_TRACE_NORMAL(kLabel, "HBA port %u - [%s]", p + 1, ports[p].str().c_str());

    unsigned int setting = 0;  // an absent key leaves the preset
    TQPlatformInfo config;
    if (config.getNumber("Corvane", kCacheSetting, &setting))
      DEBUG_TRACE_NORMAL(kLabel, "The setting-[%s] to cache storage hardware instances is enabled. Value-[%u]",
                         kCacheSetting, setting);
    bool fromCache = setting != 0 && cache.size() > 0;
    if (fromCache)
      DEBUG_TRACE(kLabel, "Found [%s] cache with [%u] instances. Trying to search the initiators within the cache",
                  kHardwareIdClass, cache.size());
    else if (cache.size() == 0)
      FetchInto(*this, conn, cache);

    SvcHardwareIdScan scan(*this, systemName, PortPropertyFor(ports[0]), ports);
    Array<CIMObjectPath> hardwareIds = scan.Matches(cache, false);
    // A cached list may predate the host or come from another array's CIMOM: fetched again once.
    if (hardwareIds.size() == 0 && fromCache) {
      cache.clear();
      FetchInto(*this, conn, cache);
      DEBUG_TRACE_NORMAL(kLabel,
                         "HBA not found in the old list. Refreshed the cached storage hardware id list and going to "
                         "check in the new list.");
      hardwareIds = scan.Matches(cache, true);
    }
    if (setting == 0) cache.clear();
    if (hardwareIds.size() == 0) return views;

    DEBUG_TRACE_NORMAL(kLabel, "Using storage hardware path-[%s] to find the view controller.",
                       GetObjectPathString(hardwareIds[0]).c_str());
    Array<CIMObjectPath> privileges =
        conn.GetAssociatorNames(hardwareIds[0], "CIM_AuthorizedSubject", "CIM_AuthorizedPrivilege", "", "");
    DEBUG_TRACE_NORMAL(kLabel, "Found [%u] authorization privilege (%s) for the storage hardware path.",
                       privileges.size(), "CIM_AuthorizedPrivilege");
    if (privileges.size() > 0)
      views = conn.GetAssociatorNames(privileges[0], "CIM_AuthorizedTarget", "CIM_SCSIProtocolController", "", "");
    DEBUG_TRACE_NORMAL(kLabel, "Found [%u] view controllers (%s) available for the storage hardware path.",
                       views.size(), "CIM_SCSIProtocolController");
    return views;
  };
  try {
    return tqcimutil::TracedRethrow(*this, kLabel, TQ_HANDLER_SITE, lookup);
  } catch (...) {
    cache.clear();  // the next lookup fetches afresh
    throw;
  }
}
