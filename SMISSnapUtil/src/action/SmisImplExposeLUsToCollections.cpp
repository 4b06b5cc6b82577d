// Exposing volumes to hardware-ID collections (hosts) by name.
#include "SmisCall.h"
#include "SmisMasking.h"
#include "TqCimConnection.h"

using namespace Pegasus;
using smismasking::Blanked;
using smismasking::IsNone;

namespace {

const char* const kMethod = "ExposeLUsToStorageHardwareIDCollection";

}  // namespace

std::uint32_t SmisAction::ExposeLUsToCollections(TqCimConnection& conn, SmisArgs& args) {
  SmisCall call(*this, conn, "SMIS::ExposeLUsToCollections", kMethod);
  const char* label = call.Label();
  if (!call.HasArgs(args, 4, "SystemName CollectionNameList VolNameList DevAccList")) return kSmisTooFewArguments;
  Array<String> collections = InputToStringArray(args[1], ',');
  if (collections.size() == 0) {
    DEBUG_TRACE(label, "collectionNameList count (0)...Nothing todo");
    return kSmisTooFewArguments;
  }
  Array<String> volumes = InputToStringArray(args[2], ',');
  if (volumes.size() == 0) {
    DEBUG_TRACE(label, "volNameList count (0)...Nothing todo");
    return kSmisTooFewArguments;
  }
  Array<Uint16> accesses = InputToIntArray(args[3], ',');
  if (accesses.size() == 0) {
    DEBUG_TRACE(label, "devAccList count (0)...Nothing todo");
    return kSmisTooFewArguments;
  }
  call.SetGuardTexts(std::string(kMethod) + " ", "", std::string(kMethod) + ": Caught unknown Exception");
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath system = GetSystemObjPathByNameProp(conn, args[0]);
    if (IsNone(system)) return kSmisObjectNotFound;
    DEBUG_TRACE_NORMAL(label, "%s: SystemName = %s", kMethod, args[0].c_str());
    DEBUG_TRACE_NORMAL(label, "LUNs: %s", Blanked(volumes).c_str());
    DEBUG_TRACE_NORMAL(label, "collectionNameList: %s", Blanked(collections).c_str());
    DEBUG_TRACE_NORMAL(label, "Device Access: %s", Blanked(accesses).c_str());
    if (accesses.size() != volumes.size()) {
      DEBUG_TRACE(label, "%s array size mismatch with %s: %d not == %d", "DeviceAccess", "Volume",
                  static_cast<int>(accesses.size()), static_cast<int>(volumes.size()));
      return kSmisInvalidParameter;
    }
    CIMObjectPath service = GetCtlrservicePath(conn, system);
    if (IsNone(service)) return kSmisObjectNotFound;
    call.UseService(service);

    Array<CIMParamValue> in;
    in.append(CIMParamValue("LUNames", CIMValue(volumes)));
    in.append(CIMParamValue("HostNames", CIMValue(collections)));
    in.append(CIMParamValue("TargetPortIDs", MakeCimNullVal(CIMTYPE_STRING, true)));
    in.append(CIMParamValue("DeviceNumbers", MakeCimNullVal(CIMTYPE_STRING, true)));
    in.append(CIMParamValue("DeviceAccesses", CIMValue(accesses)));
    in.append(CIMParamValue("ProtocolControllers", MakeCimNullVal(CIMTYPE_REFERENCE, true)));
    SmisMethod method;
    method.name = kMethod;
    method.retValFormat = "%s: RetVal = %u (0x%x),  OutParams size = %u";
    SmisOutcomeRule rule;
    rule.job = SmisJobRule::kStartedIsFailure;
    rule.failedLine = "%s: Method failed";
    return call.Finish(call.Invoke(method, in), rule);
  });
}
