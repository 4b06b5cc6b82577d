// Object paths by property on a 3PAR provider: host collections by name (case ignored) and array objects
// by an exact element name; and the two text helpers of host handling.
#include <cctype>

#include "EvDebug.h"
#include "HP3ParCimUtil.h"
#include "Pegasus/CIMPropertyList.h"
#include "TqCimConnection.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;
using tqcimutil::TracedRethrow;

namespace {

// The instances of the class with only the property read, their number traced.
Array<CIMInstance> InstancesWithOnly(HP3ParCimUtil& util, TqCimConnection& conn, const char* label,
                                     const String& className, const String& propName) {
  Array<CIMName> names;
  names.append(CIMName(propName));
  Array<CIMInstance> instances = conn.GetInstances(className, CIMPropertyList(names));
  util.DEBUG_TRACE_NORMAL(label, "Class [%s] got %d instances", className.str().c_str(),
                          static_cast<int>(instances.size()));
  return instances;
}

// The path of the first instance `accepts`, in the connection's namespace; empty when none.
template <class Accepts>
CIMObjectPath FirstAccepted(TqCimConnection& conn, Array<CIMInstance>& instances, Accepts accepts) {
  for (Uint32 i = 0; i < instances.size(); ++i) {
    if (!accepts(instances[i])) continue;
    CIMObjectPath path = instances[i].getPath();
    path.setNameSpace(CIMNamespaceName(String(conn.m_Cimom.GetNameSpace())));
    return path;
  }
  return CIMObjectPath();
}

}  // namespace

CIMObjectPath HP3ParCimUtil::GetStorageHardwareIDCollectionObjPathByProp(TqCimConnection& conn, String className,
                                                                         String propName, String value) {
  const char* label = "HP3ParCimUtil::GetStorageHardwareIDCollectionObjPathByProp";
  if (tqcimutil::IsBlankName(value.str())) return CIMObjectPath();
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() {
    return tqcimutil::NoneWhenNotFound(
        [&]() {
          Array<CIMInstance> instances = InstancesWithOnly(*this, conn, label, className, propName);
          return FirstAccepted(conn, instances, [&](CIMInstance& instance) {
            return String::equalNoCase(String(GetCIMProp(instance, propName)), value);
          });
        },
        [&]() {
          DEBUG_TRACE(label, "%s instance for property %s = %s not found", className.str().c_str(),
                      propName.str().c_str(), value.str().c_str());
        });
  });
}

CIMObjectPath HP3ParCimUtil::GetObjPathByPropElementName(TqCimConnection& conn, String& className,
                                                         std::string systemName, String propName, String value) {
  const char* label = "HP3ParCimUtil::GetObjPathByPropElementName";
  // A blank name, or a blank array name, would select some other object.
  if (tqcimutil::IsBlankName(value.str()) || tqcimutil::IsBlankName(systemName)) return CIMObjectPath();
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() {
    Array<CIMInstance> instances = InstancesWithOnly(*this, conn, label, className, propName);
    return FirstAccepted(conn, instances, [&](CIMInstance& instance) {
      CIMObjectPath path = instance.getPath();
      return GetCIMProp(instance, propName) == value.str() &&
             tqcimutil::Contains(GetPropByObjPath(path, "SystemName"), systemName);
    });
  });
}

CIMObjectPath HP3ParCimUtil::FindArrayVolume(TqCimConnection& conn, const std::string& systemName,
                                             const std::string& volumeName) {
  String volumeClass = "CIM_StorageVolume";
  return GetObjPathByPropElementName(conn, volumeClass, systemName, "ElementName", String(volumeName));
}

void AddUniqString(std::vector<std::string>& items, const char* text) {
  for (const std::string& item : items)
    if (item == text) return;
  items.push_back(text);
}

std::string ConvertListToString(std::list<std::string>& items, bool iscsi) {
  std::string joined;
  bool first = true;
  for (const std::string& item : items) {
    if (!first) joined += ",";
    first = false;
    if (iscsi) {
      joined += item;
      continue;
    }
    for (char c : item)
      if (c != ':') joined += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  EvDebug logger;
  logger.DebugLvl("HP3ParCimUtil::ConvertListToString", 2, "Converted initiator list to string %s", joined.c_str());
  return joined;
}
