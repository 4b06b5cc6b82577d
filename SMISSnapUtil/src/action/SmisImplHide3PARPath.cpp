// Hiding volumes from one 3PAR view. Older firmware refuses HidePaths on a host's own view; such a
// refusal is tried again with HideLUsFromStorageHardwareIDCollection.
#include "SmisCall.h"
#include "SmisMasking.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace {

const char* const kOp = "HidePaths";
const char* const kFallback = "HideLUsFromStorageHardwareIDCollection";

}  // namespace

SmisResultCode SmisAction::Hide3PARPath(TqCimConnection& conn, CIMObjectPath& systemPath, Array<String>& volumeNames,
                                        CIMObjectPath& viewPath) {
  SmisCall call(*this, conn, "SMIS::HidePath2", kOp);
  const char* label = call.Label();
  call.SetGuardTexts(std::string(kOp) + " ", "", std::string(kOp) + ": Caught unknown Exception");
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath service = GetCtlrservicePath(conn, systemPath);
    if (smismasking::IsNone(service)) return kSmisObjectNotFound;
    call.UseService(service);
    if (volumeNames.size() == 0) {
      DEBUG_TRACE(label, "%s : no volume to hide", kOp);
      return kSmisFailed;
    }
    DEBUG_TRACE_NORMAL(label, "%s : Hiding [Volume - %s] [ClrPath - %s]", kOp, volumeNames[0].str().c_str(),
                       viewPath.toString().str().c_str());
    Array<CIMObjectPath> views;
    views.append(viewPath);
    Array<CIMParamValue> in;
    in.append(CIMParamValue("LUNames", CIMValue(volumeNames)));
    in.append(CIMParamValue("InitiatorPortIDs", MakeCimNullVal(CIMTYPE_STRING, true)));
    in.append(CIMParamValue("TargetPortIDs", MakeCimNullVal(CIMTYPE_STRING, true)));
    in.append(CIMParamValue("ProtocolControllers", CIMValue(views)));

    SmisMethod method;
    method.name = kOp;
    method.retValFormat = "%s : RetVal = %u (0x%x),  OutParams size = %u";
    if (call.Invoke(method, in) == kSmisSuccess) {
      PrintParamSet(call.Out(), false);
      return kSmisSuccess;
    }
    PrintParamSet(call.Out(), true);
    DEBUG_TRACE(label, "%s : Failed. So trying with %s", kOp, kFallback);
    method.name = kFallback;
    method.display = kFallback;
    unsigned retVal = call.Invoke(method, in);
    if (retVal == kSmisSuccess) {
      PrintParamSet(call.Out(), false);
    } else {
      DEBUG_TRACE(label, "%s : Failed.", kFallback);
      PrintParamSet(call.Out(), true);
    }
    return retVal;
  });
}
