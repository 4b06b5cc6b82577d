// Storage-setting goals of a new volume: the 3PAR thin or full provisioning setting of a CPG, and the IBM
// SVC "Standard" volume setting.
#include "SmisImpl.h"
#include "TQProviderVendor.h"
#include "TqCimConnection.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;

namespace {

const char* const kThinSetting = "3PAR:ThinProvisionedVolumeSetting from DynamicStoragePool ";
const char* const kFullSetting = "3PAR:FullyProvisionedVolumeSetting from DynamicStoragePool ";
const char* const kStandardGoal = "Standard";

// The text after the last ':' of an InstanceID names the setting; an id without ':' names none.
bool NamesStandardSetting(const std::string& instanceId) {
  std::string::size_type colon = instanceId.rfind(':');
  return colon != std::string::npos && String::equalNoCase(String(instanceId.substr(colon + 1)), String(kStandardGoal));
}

}  // namespace

Uint32 SmisAction::Get3PARStorageSettings(TqCimConnection& conn, CIMObjectPath& goal, const char* cpgName, bool thin) {
  std::string instanceId = std::string(thin ? kThinSetting : kFullSetting) + (cpgName ? cpgName : "");
  goal = GetObjPathByProp(conn, String("CIM_StorageSetting"), String("InstanceID"), instanceId, "");
  if (!goal.getClassName().isNull()) return 0;
  DEBUG_TRACE("SMIS::Get3PARStorageSettings", "Class %s: InstanceID %s not found", "CIM_StorageSetting",
              instanceId.c_str());
  return 1;
}

bool SmisAction::CheckAndGetTargetGoal(TqCimConnection& conn, CIMObjectPath& goal) {
  const char* label = "CheckAndGetTargetGoal";
  return tqcimutil::TracedOr<bool>(*this, label, TQ_HANDLER_SITE, false, [&] {
    std::string settingClass = TQProviderVendor::GetVendorPrefix(TQ_VENDOR_IBM_SVC) + "_StorageVolumeSetting";
    Array<CIMObjectPath> names = conn.GetInstanceNames(String(settingClass));
    unsigned count = names.size();
    DEBUG_TRACE(label, "Found [%u] storage goal%s defined for the array.", count, count >= 2 ? "s" : "");
    if (count == 0) return false;
    for (Uint32 i = 0; i < names.size(); ++i) {
      if (!NamesStandardSetting(GetPropByObjPath(names[i], "InstanceID"))) continue;
      goal = names[i];
      return true;
    }
    DEBUG_TRACE(label, "Unable to find storage setting goal-[%s].", kStandardGoal);
    return false;
  });
}
