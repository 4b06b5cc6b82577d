// Resynchronizing a pair on the service the caller names, as the 3PAR detach does before it splits a clone.
#include "SmisCall.h"
#include "TqCimConnection.h"

using namespace Pegasus;

SmisResultCode SmisAction::ReSync(TqCimConnection& conn, const CIMNamespaceName& nameSpace,
                                  const CIMObjectPath& service, const Array<CIMParamValue>& inParams) {
  SmisCall call(*this, conn, "SMIS::ReSync", "Resync");
  call.UseService(service);
  call.UseNameSpace(nameSpace);
  SmisMethod method;
  method.name = "ModifySynchronization";
  unsigned retVal = call.Invoke(method, inParams);
  if (retVal == kSmisJobStarted) {
    DEBUG_TRACE(call.Label(), "%s: Job started", call.Display());
    PrintParamSet(call.Out(), false);
    SmisOutcomeRule rule;
    rule.job = SmisJobRule::kFailedIsState;
    rule.tries = 60;
    rule.seconds = 1;
    return call.FollowJob(rule);
  }
  if (retVal != kSmisSuccess) call.RecordDeviceError(retVal);
  PrintParamSet(call.Out(), false);
  return retVal;
}
