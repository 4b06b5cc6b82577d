// Storage pools by name.
#include "CimUtilHandlers.h"
#include "TQProviderVendor.h"
#include "TqCimConnection.h"
#include "TqCimUtil.h"

using namespace Pegasus;
using tqcimutil::TracedOr;

std::string TqCimUtil::GetDGByName(TqCimConnection& conn, std::string arrayName, std::string poolName) {
  const char* label = "SMIS::GetDGByName";
  if (tqcimutil::IsBlankName(poolName)) return "";
  return TracedOr(*this, label, TQ_HANDLER_SITE, std::string(), [&]() -> std::string {
    CIMObjectPath system = GetSystemObjPathByNameProp(conn, arrayName);
    std::string systemText = system.toString().str();
    if (systemText.empty()) {
      DEBUG_TRACE(label, "SystemName <%s> not found", arrayName.c_str());
      return "";
    }
    DEBUG_TRACE(label, "systemPath <%s>", systemText.c_str());
    String poolClass = "CIM_StoragePool";
    CIMObjectPath pool;
    switch (TQProviderVendor::GetVendorId(system)) {
      case TQ_VENDOR_HP_3PAR:
      case TQ_VENDOR_FUJITSU:
      case TQ_VENDOR_IBM_SVC:
        // Pool names are unique per provider on these arrays: no array filter.
        pool = GetObjPathByPropName(conn, poolClass, "ElementName", String(poolName));
        break;
      default:
        pool = GetObjPathByPropName(conn, arrayName, poolClass, "ElementName", String(poolName), false);
        break;
    }
    return pool.toString().str();
  });
}

std::string TqCimUtil::GetEternusTPPByName(TqCimConnection& conn, std::string poolName) {
  if (tqcimutil::IsBlankName(poolName)) return "";
  return TracedOr(*this, "SMIS::GetEternusTPPByName", TQ_HANDLER_SITE, std::string(), [&]() {
    String poolClass = "FUJITSU_ThinProvisioningPool";
    return GetObjPathByPropName(conn, poolClass, "ElementName", String(poolName)).toString().str();
  });
}
