// An array's system object and per-array objects by the array's name, its vendor, and association paths
// built without asking the CIMOM.
#include "CimUtilHandlers.h"
#include "TQProviderVendor.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"
#include "vendors/CimUtilLsiClass.h"

using namespace Pegasus;
using tqcimutil::Contains;
using tqcimutil::TracedOr;
using tqcimutil::TracedRethrow;

namespace {

const char* const kSystemClass = "CIM_ComputerSystem";

// True when the candidate has the class that the vendor's system object must have.
bool HasSystemClass(TqCimUtil& util, TQ_PROVIDER_VENDOR vendor, const CIMObjectPath& candidate) {
  String className = candidate.getClassName().getString();
  switch (vendor) {
    case TQ_VENDOR_IBM_SVC:
      return className == String("IBMTSSVC_Cluster");
    case TQ_VENDOR_FUJITSU:
      return className == String("FUJITSU_StorageComputerSystem");
    case TQ_VENDOR_EMC:
      return className == String("Symm_StorageSystem");
    case TQ_VENDOR_LSI:
    case TQ_VENDOR_DCIM:
    case TQ_VENDOR_NETAPP:
      return className ==
             String(tqcimutil::LsiFamilyClass(util, "SMIS::GetSystemObjPathByNameProp", candidate, "_StorageSystem"));
    default:
      return true;
  }
}

}  // namespace

CIMObjectPath TqCimUtil::GetSystemObjPathByNameProp(TqCimConnection& conn, std::string arrayName) {
  const char* label = "SMIS::GetSystemObjPathByNameProp";
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() -> CIMObjectPath {
    // An empty name would be contained in every system's name.
    if (tqcimutil::IsBlankName(arrayName)) {
      DEBUG_TRACE(label, "%s instance for systemName %s not found", kSystemClass, arrayName.c_str());
      return CIMObjectPath();
    }
    Array<CIMObjectPath> names = conn.GetInstanceNames(kSystemClass);
    DEBUG_TRACE_NORMAL(label, "Class <%s> got %d instance names", kSystemClass, static_cast<int>(names.size()));
    TQ_PROVIDER_VENDOR vendor = names.size() > 0 ? TQProviderVendor::GetVendorId(names[0]) : TQ_VENDOR_NONE;
    for (Uint32 i = 0; i < names.size(); ++i) {
      if (!Contains(GetPropByObjPath(names[i], "Name"), arrayName)) continue;
      if (HasSystemClass(*this, vendor, names[i])) return names[i];
    }
    DEBUG_TRACE(label, "%s instance for systemName %s not found", kSystemClass, arrayName.c_str());
    return CIMObjectPath();
  });
}

std::string TqCimUtil::GetSystemObjPathString(TqCimConnection& conn, std::string arrayName) {
  // The label of the lookup it wraps, on purpose: its traces read as that lookup's.
  return TracedOr(*this, "SMIS::GetSystemObjPathByNameProp", TQ_HANDLER_SITE, std::string(),
                  [&]() { return GetObjectPathString(GetSystemObjPathByNameProp(conn, arrayName)); });
}

bool TqCimUtil::ValidateSystemName(TqCimConnection& conn, std::string arrayName, String className,
                                   CIMObjectPath& path) {
  const char* label = "SMIS::ValidateSystemName";
  path = CIMObjectPath();
  Array<CIMObjectPath> names = conn.GetInstanceNames(className);
  DEBUG_TRACE_NORMAL(label, "Class [%s] got %d instance names", className.str().c_str(),
                     static_cast<int>(names.size()));
  if (names.size() == 0) {
    DEBUG_TRACE(label, "Class %s not found", className.str().c_str());
    return false;
  }
  // An empty name would be contained in every system name.
  if (!tqcimutil::IsBlankName(arrayName)) {
    for (Uint32 i = 0; i < names.size(); ++i) {
      if (!Contains(GetPropByObjPath(names[i], "SystemName"), arrayName)) continue;
      path = names[i];
      DEBUG_TRACE_NORMAL(label, "ObjectPath:  %s", GetObjectPathString(path).c_str());
      return true;
    }
  }
  DEBUG_TRACE(label, "Class %s for system %s not found", className.str().c_str(), arrayName.c_str());
  return false;
}

std::string TqCimUtil::MakeAssnPath(String host, String nameSpace, String className, String role1, String reference1,
                                    String role2, String reference2) {
  const char* label = "SMIS::MakeAssnPath";
  try {
    CIMNamespaceName space = nameSpace.isEmpty() ? CIMNamespaceName() : CIMNamespaceName(nameSpace);
    CIMObjectPath path(host, space, CIMName(className));
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(CIMName(role1), reference1, CIMKeyBinding::REFERENCE));
    keys.append(CIMKeyBinding(CIMName(role2), reference2, CIMKeyBinding::REFERENCE));
    path.setKeyBindings(keys);
    return path.toString().str();
  } catch (const CIMException& e) {
    tqcimutil::TraceCimException(*this, label, TQ_HANDLER_SITE, e);
    throw;
  } catch (const Exception& e) {
    tqcimutil::TraceException(*this, label, TQ_HANDLER_SITE, e);
    throw;
  } catch (...) {
    DEBUG_TRACE(label, "%d: Caught unknown Exception", __LINE__);
  }
  return "";
}

std::string TqCimUtil::GetVendorByName(TqCimConnection& conn, std::string arrayName) {
  return TracedOr(*this, "SMIS::GetVendorByName", TQ_HANDLER_SITE, std::string(),
                  [&]() { return TQProviderVendor::GetVendorPrefix(GetSystemObjPathByNameProp(conn, arrayName)); });
}

std::string TqCimUtil::GetVendorNamespaceByName(TqCimConnection& conn, std::string arrayName) {
  return TracedOr(*this, "SMIS::GetVendorNamespaceByName", TQ_HANDLER_SITE, std::string(),
                  [&]() { return TQProviderVendor::GetVendorNameSpace(GetSystemObjPathByNameProp(conn, arrayName)); });
}
