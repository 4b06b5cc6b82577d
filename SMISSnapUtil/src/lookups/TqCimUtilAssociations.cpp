// Objects found through an association, among one array's objects by key, and among an array's services.
#include "CimUtilHandlers.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"

using namespace Pegasus;
using tqcimutil::Contains;
using tqcimutil::NoneWhenNotFound;
using tqcimutil::TracedRethrow;

CIMObjectPath TqCimUtil::GetObjPathByAssnProp(TqCimConnection& conn, CIMObjectPath& objectPath, String resultClass,
                                              String assocClass, String keyName, std::string value) {
  const char* label = "SMIS::GetObjPathByAssnProp";
  auto lookup = [&]() -> CIMObjectPath {
    Array<CIMObjectPath> names = conn.GetAssociatorNames(objectPath, assocClass, resultClass, "", "");
    DEBUG_TRACE_NORMAL(label, "Class [%s] got %d instance names", resultClass.str().c_str(),
                       static_cast<int>(names.size()));
    for (Uint32 i = 0; i < names.size(); ++i)
      if (value.empty() || GetPropByObjPath(names[i], keyName) == value) return names[i];
    return CIMObjectPath();
  };
  auto traceNotFound = [&]() {
    DEBUG_TRACE(label, "%s instance for Prop %s = %s not found", resultClass.str().c_str(), keyName.str().c_str(),
                value.c_str());
  };
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() { return NoneWhenNotFound(lookup, traceNotFound); });
}

Array<CIMObjectPath> TqCimUtil::GetSystemObjPathListByPropList(TqCimConnection& conn, String className,
                                                               std::string keyName, std::vector<std::string> values,
                                                               std::string arrayName) {
  const char* label = "SMIS::GetSystemObjPathListByPropList";
  return TracedRethrow(
      *this, label, TQ_HANDLER_SITE,
      [&]() {
        Array<CIMObjectPath> result;
        Array<CIMObjectPath> names = conn.GetInstanceNames(className);
        DEBUG_TRACE_NORMAL(label, "Class %s: got %d instance names", className.str().c_str(),
                           static_cast<int>(names.size()));
        for (Uint32 i = 0; i < names.size(); ++i) {
          if (!arrayName.empty() && GetPropByObjPath(names[i], "SystemName") != arrayName) continue;
          for (const std::string& value : values) {
            if (GetPropByObjPath(names[i], String(keyName)) == value) {
              result.append(names[i]);
              break;
            }
          }
        }
        return result;
      },
      tqcimutil::kUnknownExceptionLower);
}

CIMObjectPath TqCimUtil::GetSystemObjPathByProp(TqCimConnection& conn, String className, std::string arrayName,
                                                String keyName, std::string value) {
  const char* label = "SMIS::GetSystemObjPathByProp";
  auto lookup = [&]() -> CIMObjectPath {
    Array<CIMObjectPath> names = conn.GetInstanceNames(className);
    DEBUG_TRACE_NORMAL(label, "Class <%s> got %d instance names", className.str().c_str(),
                       static_cast<int>(names.size()));
    for (Uint32 i = 0; i < names.size(); ++i) {
      if (!Contains(GetPropByObjPath(names[i], "SystemName"), arrayName)) continue;
      if (value.empty() || GetPropByObjPath(names[i], keyName) == value) return names[i];
    }
    return CIMObjectPath();
  };
  auto traceNotFound = [&]() {
    DEBUG_TRACE(label, "%s Instance for SystemName %s not found", className.str().c_str(), arrayName.c_str());
  };
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() { return NoneWhenNotFound(lookup, traceNotFound); });
}

CIMObjectPath TqCimUtil::GetSystemServiceObject(TqCimConnection& conn, CIMObjectPath& systemPath, String serviceClass) {
  const char* label = "SMIS::GetSystemServiceObject";
  auto lookup = [&]() -> CIMObjectPath {
    Array<CIMObjectPath> services = conn.GetAssociatorNames(systemPath, "CIM_HostedService", serviceClass, "", "");
    return services.size() > 0 ? services[0] : CIMObjectPath();
  };
  auto traceNotFound = [&]() {
    DEBUG_TRACE(label, "%s instance for ServiceClass %s not found", systemPath.toString().str().c_str(),
                serviceClass.str().c_str());
  };
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() { return NoneWhenNotFound(lookup, traceNotFound); });
}

CIMObjectPath TqCimUtil::GetCtlrservicePath(TqCimConnection& conn, CIMObjectPath& systemPath) {
  const char* label = "SMIS::GetCtlrservicePath";
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() {
    const char* serviceClass = "CIM_ControllerConfigurationService";
    CIMObjectPath service = GetSystemServiceObject(conn, systemPath, serviceClass);
    if (!service.toString().isEmpty())
      DEBUG_TRACE(label, "  CtrlrSvc: %s", GetObjectPathString(service).c_str());
    else
      DEBUG_TRACE(label, "Did not find %s object for System %s", serviceClass, systemPath.toString().str().c_str());
    return service;
  });
}

CIMObjectPath TqCimUtil::GetHardwareIdCollectionPath(TqCimConnection& conn, std::string collectionName) {
  const char* label = "SMIS::GetHardwareIdCollectionPath";
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() {
    String className = "CIM_SystemSpecificCollection";
    CIMObjectPath collection = GetObjPathByPropName(conn, className, "ElementName", String(collectionName));
    DEBUG_TRACE_NORMAL(label, "GetHardwareIdCollectionPath (%s) (%s)", collectionName.c_str(),
                       collection.toString().str().c_str());
    if (collection.getClassName().isNull())
      DEBUG_TRACE(label, " GetHardwareIdCollectionPath %s not found", collectionName.c_str());
    return collection;
  });
}
