#include "SmisSyncOperation.h"

#include "SmisReplicationArgs.h"

using namespace Pegasus;

SmisResultCode RunSyncOperation(SmisAction& action, SmisCall& call, const SmisSyncRequest& request, bool noWait) {
  action.DEBUG_TRACE_NORMAL(call.Label(), request.goingLine, request.operation);
  Array<CIMParamValue> in;
  in.append(CIMParamValue("Operation", CIMValue(request.operation)));
  in.append(CIMParamValue("Synchronization", request.synchronization));
  in.append(CIMParamValue("Force", CIMValue(request.force)));
  in.append(CIMParamValue("WaitForCopyState",
                          smisreplication::WaitForCopyStateValue(action, call.Vendor(), request.waitForCopyState)));
  if (request.sendSettingData)
    in.append(CIMParamValue("ReplicationSettingData", action.MakeCimNullVal(CIMTYPE_REFERENCE, false)));

  SmisMethod method;
  method.name = request.method;
  SmisOutcomeRule rule;
  rule.job = noWait ? SmisJobRule::kNotWatched : SmisJobRule::kFailedIsState;
  rule.tries = 60;
  rule.seconds = 10;
  unsigned retVal = call.Invoke(method, in);
  SmisResultCode result = call.Finish(retVal, rule);
  // Not waiting: a started job counts as done for the caller.
  if (noWait && retVal == kSmisJobStarted && result == kSmisJobStarted) return kSmisSuccess;
  return result;
}
