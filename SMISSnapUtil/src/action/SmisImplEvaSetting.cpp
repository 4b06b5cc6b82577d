// The target setting an HP EVA replica is created with when the caller names none: none while a replica of
// the same copy type exists (its allocation is already fixed), otherwise the source volume's setting with
// the allocation policy appended to its InstanceID.
#include "SmisCall.h"
#include "SmisHostConfig.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace {

const char* const kSettingAssociation = "CIM_ElementSettingData";
const char* const kSettingClass = "CIM_StorageSetting";

}  // namespace

CIMObjectPath SmisAction::ChooseEvaTargetSetting(TqCimConnection& conn, SmisCall& call, int copyType,
                                                 const std::string& source) {
  const char* label = call.Label();
  unsigned long noSetting = smisconfig::Number(smisconfig::kHpEvaNoStorageSetting, 0);
  if (call.Vendor() != TQ_VENDOR_HP_EVA || noSetting != 0) return CIMObjectPath();

  std::string syncPath, replica;
  GetSyncPathFromSourceBySyncType(conn, copyType, source, syncPath, replica);
  if (!replica.empty()) {
    Array<CIMObjectPath> settings =
        conn.GetAssociatorNames(CIMObjectPath(String(replica)), kSettingAssociation, kSettingClass, "", "");
    if (settings.size() == 0)
      DEBUG_TRACE(label,
                  "Not able to obtain snap volume storage setting instance, proceeding default allocation scheme");
    else
      DEBUG_TRACE_NORMAL(label, "Already allocation policy fixed by previous snap setting: [%s]",
                         GetObjectPathString(settings[0]).c_str());
    return CIMObjectPath();
  }

  const char* suffix = smisconfig::EvaSnapshotAllocationSuffix(*this, label);
  Array<CIMObjectPath> settings =
      conn.GetAssociatorNames(CIMObjectPath(String(source)), kSettingAssociation, kSettingClass, "", "");
  if (settings.size() == 0) {
    DEBUG_TRACE(label, "Not able to obtain source volume storage setting instance");
    return CIMObjectPath();
  }
  CIMObjectPath first = settings[0];
  DEBUG_TRACE_NORMAL(label, "Source volume Setting: %s", GetObjectPathString(first).c_str());
  if (std::string(suffix) == "FULLY_ALLOCATED")
    DEBUG_TRACE_NORMAL(label, "RegKey set for FULLY_ALLOCATED snapshot creation");
  std::string instanceId = GetPropByObjPath(first, "InstanceID") + suffix;
  Array<CIMKeyBinding> keys;
  keys.append(CIMKeyBinding(CIMName("InstanceID"), String(instanceId), CIMKeyBinding::STRING));
  CIMObjectPath goal(first.getHost(), call.NameSpace(), first.getClassName(), keys);
  DEBUG_TRACE_NORMAL(label, "Changed setting: %s", GetObjectPathString(goal).c_str());
  return goal;
}
