// Volumes by object-path text or identifier, their existence, and the shared volume-instance cache.
#include <memory>

#include "CimUtilHandlers.h"
#include "Pegasus/CIMPropertyList.h"
#include "TQPlatformInfo.h"
#include "TQProviderVendor.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "TqVolumeInstanceCache.h"

using namespace Pegasus;
using tqcimutil::Contains;
using tqcimutil::TracedOr;

namespace {

const char* const kVolumeClass = "CIM_StorageVolume";
const char* const kVolumeLabel = "SMIS::GetVolObjPathByUUID";

bool VolumeCacheConfigured() {
  int value = 0;  // an absent key leaves the preset
  TQPlatformInfo config;
  config.getRegInt("Corvane", "TQ_SMIS_CACHE_VOLUME_INSTANCES", &value);
  return value > 0;
}

// Holds the cache lock for one lookup and says so in the trace.
class CacheLockScope {
 public:
  explicit CacheLockScope(TqSmisTracer& tracer) : tracer_(tracer) {
    TqCimUtil::m_CimUtilLock.enter(true);
    tracer_.DEBUG_TRACE_NORMAL(kVolumeLabel, "Acquired CimUtil lock");
  }
  ~CacheLockScope() {
    TqCimUtil::m_CimUtilLock.leave();
    tracer_.DEBUG_TRACE_NORMAL(kVolumeLabel, "Released CimUtil lock");
  }
  CacheLockScope(const CacheLockScope&) = delete;
  CacheLockScope& operator=(const CacheLockScope&) = delete;

 private:
  TqSmisTracer& tracer_;
};

}  // namespace

std::string TqCimUtil::GetVolObjPathByUUID(TqCimConnection& conn, String uuid, String arrayName) {
  // An empty identifier names no volume.
  if (tqcimutil::IsBlankName(uuid.str())) return "";
  bool cacheOn = VolumeCacheConfigured();
  // Held until the lookup is over, the trace of a caught fault included.
  std::unique_ptr<CacheLockScope> lock;
  if (cacheOn) {
    DEBUG_TRACE_NORMAL(kVolumeLabel, "Found volume caching enabled, not going to fetch volumes if already cached");
    lock.reset(new CacheLockScope(*this));
  }
  return TracedOr(*this, kVolumeLabel, TQ_HANDLER_SITE, std::string(),
                  [&]() { return FindVolumeByName(conn, uuid, arrayName, cacheOn); });
}

std::string TqCimUtil::FindVolumeByName(TqCimConnection& conn, const String& uuid, const String& arrayName,
                                        bool cacheOn) {
  Array<CIMName> nameOnly;
  nameOnly.append(CIMName("Name"));
  CIMPropertyList properties(nameOnly);
  CIMNamespaceName nameSpace{String(conn.m_Cimom.GetNameSpace())};

  Array<CIMInstance> ownList;
  Array<CIMInstance>* list = &ownList;
  bool fromCache = false;
  if (cacheOn) {
    list = &TqVolumeInstanceCache::InstancesLocked();
    if (list->size() > 0) {
      DEBUG_TRACE_NORMAL(kVolumeLabel, "Not fetching volumes as already cached");
      DEBUG_TRACE_NORMAL(kVolumeLabel, "Found Class [%s] %d instances in cache", kVolumeClass,
                         static_cast<int>(list->size()));
      fromCache = true;
    }
  }
  if (!fromCache) {
    *list = conn.GetInstances(kVolumeClass, properties);
    DEBUG_TRACE_NORMAL(kVolumeLabel, "Class [%s] got %d instances", kVolumeClass, static_cast<int>(list->size()));
  }

  bool refreshed = false;
  for (Uint32 i = 0; i < list->size(); ++i) {
    const CIMInstance& instance = (*list)[i];
    Uint32 index = instance.findProperty(CIMName("Name"));
    if (index == PEG_NOT_FOUND) continue;
    String name;
    instance.getProperty(index).getValue().get(name);
    if (name == uuid) {
      CIMObjectPath path = instance.getPath();
      path.setNameSpace(nameSpace);
      if (!arrayName.isEmpty()) {
        std::string system = tqcimutil::ComparableSystemName(GetPropByObjPath(path, "SystemName"), path);
        if (system != arrayName.str()) {
          DEBUG_TRACE_NORMAL(kVolumeLabel,
                             "For the given UUID [%s], System name given [%s] but actual system name [%s]",
                             uuid.str().c_str(), arrayName.str().c_str(), system.c_str());
          continue;
        }
      }
      if (refreshed)
        DEBUG_TRACE_NORMAL(kVolumeLabel, "Found volume UUID [%s] in the refreshed cache list", uuid.str().c_str());
      return path.toString().str();
    }
    bool lastInstance = i + 1 == list->size();
    if (fromCache && !refreshed && lastInstance) {
      // The cached list may be stale or from another CIMOM: fetch it again once and scan it afresh.
      list->clear();
      *list = conn.GetInstances(kVolumeClass, properties);
      refreshed = true;
      DEBUG_TRACE_NORMAL(kVolumeLabel,
                         "Volume UUID not found in the list, refreshed cached volume instances and going to check in "
                         "refreshed list");
      i = static_cast<Uint32>(-1);  // the loop's increment starts the rescan at the first instance
    }
  }
  return "";
}

int TqCimUtil::CheckInstanceExistence(TqCimConnection& conn, std::string& arrayName, std::string& volume,
                                      std::string uuid) {
  const char* label = "SMIS::CheckInstanceExistence";
  if (tqcimutil::IsBlankName(volume)) {
    DEBUG_TRACE(label, " Lun %s not found", volume.c_str());
    return 0;
  }
  try {
    CIMObjectPath path;
    if (tqcimutil::ParseInstancePath(volume, path)) {
      CIMInstance instance = conn.GetInstance(path);
      if (instance.getClassName().isNull()) {
        // Only a refused or unattempted read gives no instance; a deleted volume answers not-found.
        DEBUG_TRACE(label, " Lun %s could not be read, its existence is undetermined", volume.c_str());
        return -1;
      }
      DEBUG_TRACE_NORMAL(label, "Instance %s found", volume.c_str());
      // A blank identifier is no identifier: comparing against it would call a live volume replaced.
      if (!tqcimutil::IsBlankName(uuid)) {
        DEBUG_TRACE_NORMAL(label, "supplied uuid to verify is [%s]", uuid.c_str());
        Uint32 index = instance.findProperty(CIMName("Name"));
        if (index == PEG_NOT_FOUND) {
          DEBUG_TRACE(label, "Name property not found for object path [%s]", volume.c_str());
          return -1;
        }
        const CIMValue value = instance.getProperty(index).getValue();
        if (value.isNull()) {
          // An answer without values says nothing about which volume the path holds now.
          DEBUG_TRACE(label, "Name property of object path [%s] has no value, its existence is undetermined",
                      volume.c_str());
          return -1;
        }
        std::string name = value.toString().str();
        if (!String::equalNoCase(String(name), String(uuid))) {
          DEBUG_TRACE(label,
                      "Object path [%s] exists but its uuid [%s] did not match the supplied uuid [%s], it must be "
                      "recreated object with the same object path",
                      volume.c_str(), name.c_str(), uuid.c_str());
          return 0;
        }
      }
      return 1;
    }
    DEBUG_TRACE_NORMAL(label, "Supplied source volume is not an object path, assuming UUID(Name)");
    CIMObjectPath found = GetObjPathByPropName(conn, arrayName, kVolumeClass, "Name", String(volume), false);
    if (found.getClassName().isNull()) {
      // On a connection the CIMOM has refused ("401"), finding nothing says nothing about the volume.
      if (conn.m_AuthFailure) {
        DEBUG_TRACE(label, " Lun %s could not be looked up, its existence is undetermined", volume.c_str());
        return -1;
      }
      DEBUG_TRACE(label, " Lun %s not found", volume.c_str());
      return 0;
    }
    DEBUG_TRACE_NORMAL(label, "Instance %s found", volume.c_str());
    std::string system = GetPropByObjPath(found, "SystemName");
    if (!Contains(system, arrayName)) {
      DEBUG_TRACE_NORMAL(label, "Source volume's [%s] system name [%s] does not match with provided system name [%s ]",
                         volume.c_str(), system.c_str(), arrayName.c_str());
      return 0;
    }
    return 1;
  } catch (const CIMException& e) {
    tqcimutil::TraceCimException(*this, label, TQ_HANDLER_SITE, e);
    return e.getCode() == CIM_ERR_NOT_FOUND ? 0 : -1;
  } catch (const Exception& e) {
    tqcimutil::TraceException(*this, label, TQ_HANDLER_SITE, e);
    return Contains(e.getMessage().str(), "CIM_ERR_NOT_FOUND") ? 0 : -1;
  } catch (...) {
    DEBUG_TRACE(label, "%s", tqcimutil::kUnknownException);
  }
  return -1;
}

bool TqCimUtil::GetVolumeObjectPath(TqCimConnection& conn, const std::string& arrayName, const std::string& volume,
                                    CIMObjectPath& path, unsigned int vendorId) {
  const char* label = "TqCimUtil::GetVolumeObjectPath";
  if (volume.empty()) return false;
  const char* property = vendorId == TQ_VENDOR_EMC ? "DeviceID" : "Name";
  if (!tqcimutil::ParseInstancePath(volume, path)) {
    DEBUG_TRACE_NORMAL(label, "Supplied volume is not a object path, assuming [%s]",
                       vendorId == TQ_VENDOR_EMC ? "DeviceNumber(DeviceID)" : "UUID(Name)");
    path = GetObjPathByPropNamev2(conn, arrayName, kVolumeClass, property, String(volume));
  }
  if (!path.getClassName().isNull()) {
    DEBUG_TRACE_NORMAL(label, " Volume CIMObjectPath [%s]", GetObjectPathString(path).c_str());
    return true;
  }
  DEBUG_TRACE(label, " Volume %s [%s] not found", property, volume.c_str());
  return false;
}
