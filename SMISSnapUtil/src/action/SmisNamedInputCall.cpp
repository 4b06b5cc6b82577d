#include "SmisNamedInputCall.h"

#include "SmisReplicationArgs.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace smisnamedinput {

namespace {
const char* const kReplicationService = "SNIA_ReplicationService";
}  // namespace

bool HasEntries(SmisAction& action, SmisCall& call, const SmisNamedArgs& args, std::size_t required, const char* line) {
  if (args.Count() >= required) return true;
  action.DEBUG_TRACE(call.Label(), line, call.Display());
  return false;
}

bool UseReplicationService(SmisAction& action, SmisCall& call, const SmisNamedArgs& args, const char* pathKey,
                           const char* notFoundLine) {
  CIMObjectPath service;
  if (pathKey && args.Given(pathKey)) {
    service = CIMObjectPath(String(args.Text(pathKey)));
  } else if (!action.ValidateSystemName(call.Conn(), args.Text("SystemName"), String(kReplicationService), service)) {
    action.DEBUG_TRACE(call.Label(), notFoundLine, kReplicationService, args.Text("SystemName").c_str());
    return false;
  }
  call.UseService(service);
  return true;
}

CIMValue Uint16OrNull(SmisAction& action, const SmisNamedArgs& args, const char* key) {
  if (!args.Given(key)) return action.MakeCimNullVal(CIMTYPE_UINT16, false);
  return CIMValue(static_cast<Uint16>(SmisCall::Decimal(args.Text(key))));
}

SmisResultCode InvokeAndFinish(SmisCall& call, const SmisMethod& method, const Array<CIMParamValue>& in,
                               const SmisOutcomeRule& rule, Array<CIMParamValue>& outParams, const char* successLine) {
  unsigned retVal = call.Invoke(method, in);
  outParams = call.Out();
  if (successLine && retVal == kSmisSuccess)
    call.Action().DEBUG_TRACE(call.Label(), successLine, call.Display(), 0u, 0u);
  SmisResultCode result = call.Finish(retVal, rule);
  if (rule.job == SmisJobRule::kNotWatched && result == kSmisJobStarted) return kSmisSuccess;
  return result;
}

}  // namespace smisnamedinput
