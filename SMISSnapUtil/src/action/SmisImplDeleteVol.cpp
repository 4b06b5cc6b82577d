// Deleting a volume and returning its space to its pool; a volume still exposed to a host is kept.
#include "SmisCall.h"
#include "TqCimConnection.h"

using namespace Pegasus;

SmisResultCode SmisAction::DeleteVol(TqCimConnection& conn, SmisArgs& args) {
  const char* const methodName = "ReturnToStoragePool";
  SmisCall call(*this, conn, "SMIS::DeleteVol", methodName);
  // The handlers' lines open with the method's name.
  call.UseNamedHandlerTexts(methodName, ": ", std::string(methodName) + ": Caught unknown Exception");
  if (!call.HasArgs(args, 2, "delvol: Insufficient params specified", "    need: SystemName VolumeID"))
    return kSmisTooFewArguments;
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    const char* label = call.Label();
    if (!call.FindConfigService(args[0])) return kSmisObjectNotFound;
    DEBUG_TRACE_NORMAL(label, "Service: %s", GetObjectPathString(call.Service()).c_str());
    CIMObjectPath volume;
    // Callers take an unknown volume for one already deleted.
    if (!call.LookUpVolume(args[1], "Supplied source volume is not a object path, assuming UUID(Name)", volume)) {
      DEBUG_TRACE(label, "Class %s: Lun UUID %s not found", "CIM_StorageVolume", args[1].c_str());
      return kSmisVolumeNotFound;
    }
    Array<CIMObjectPath> views = GetVolCtlrPaths(conn, volume);
    if (views.size() > 0) {
      DEBUG_TRACE(label, "Can not delete, Volume found %d Host mappings", static_cast<int>(views.size()));
      return kSmisHostMappingsFound;
    }
    DEBUG_TRACE_NORMAL(label, "Volume %s, Deleting ....", volume.toString().str().c_str());
    Array<CIMParamValue> in;
    in.append(CIMParamValue("TheElement", CIMValue(volume)));
    SmisMethod method;
    method.name = methodName;
    SmisOutcomeRule rule;
    rule.job = SmisJobRule::kFailedIsState;
    rule.tries = 60;
    rule.seconds = 10;
    return call.Finish(call.Invoke(method, in), rule);
  });
}
