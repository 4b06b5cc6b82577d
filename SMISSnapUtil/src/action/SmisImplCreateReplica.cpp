// Creating a snapshot or clone replica of a source volume.
#include <cstdint>
#include <cstdlib>

#include "SmisCall.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace {

SmisOutcomeRule ReplicaRule(std::string& targetPath, TqCimUtil& util) {
  SmisOutcomeRule rule;
  rule.job = SmisJobRule::kFailedIsOne;
  rule.tries = 60;
  rule.seconds = 10;
  rule.readOnJob = true;
  rule.readOut = [&targetPath, &util](Array<CIMParamValue>& out) {
    targetPath = util.GetObjectPathString(util.GetTargetElementHandle(out));
  };
  return rule;
}

CIMValue ReferenceOrNull(TqCimUtil& util, const CIMObjectPath& path, bool send) {
  return send ? CIMValue(path) : util.MakeCimNullVal(CIMTYPE_REFERENCE, false);
}

std::string PathOrNone(TqCimUtil& util, const CIMObjectPath& path, bool given) {
  return given ? util.GetObjectPathString(path) : "None";
}

}  // namespace

SmisResultCode SmisAction::CreateReplica(TqCimConnection& conn, SmisArgs& args, std::string& targetPath) {
  SmisCall call(*this, conn, "SMIS::CreateReplica", "CreateReplica");
  if (args.empty()) {
    DEBUG_TRACE(call.Label(), "%s: Validation Failed: Invalid Parameters", call.Display());
    return kSmisInvalidParameter;
  }
  if (!call.HasArgs(args, 4, "ConfigServicePath ElementName CopyType SourceVolumePath [SettingGoalPath] [PoolPath]"))
    return kSmisTooFewArguments;
  return call.Guarded(TQ_HANDLER_SITE, [&] { return CreateReplicaCall(conn, call, args, targetPath); });
}

SmisResultCode SmisAction::CreateReplicaCall(TqCimConnection& conn, SmisCall& call, SmisArgs& args,
                                             std::string& targetPath) {
  const char* label = call.Label();
  call.UseService(CIMObjectPath(String(args[0])));
  CIMObjectPath source{String(args[3])};
  const std::string& elementName = args[1];
  Uint16 copyType = static_cast<Uint16>(std::atoi(args[2].c_str()));

  CIMObjectPath goal;
  if (SmisCall::IsGiven(args, 4))
    goal = CIMObjectPath(String(args[4]));
  else
    goal = ChooseEvaTargetSetting(conn, call, std::atoi(args[2].c_str()), args[3]);
  bool hasGoal = !goal.getClassName().isNull();
  bool hasPool = SmisCall::IsGiven(args, 5);
  CIMObjectPath pool;
  if (hasPool) pool = CIMObjectPath(String(args[5]));

  DEBUG_TRACE_NORMAL(label, "CreateReplica Parameters");
  DEBUG_TRACE_NORMAL(label, "ElementName   - %s:", elementName.c_str());
  DEBUG_TRACE_NORMAL(label, "Copy Type     - %d:", copyType);
  DEBUG_TRACE_NORMAL(label, "Source Volume - %s:", GetObjectPathString(source).c_str());
  DEBUG_TRACE_NORMAL(label, "Target Goal   - %s:", PathOrNone(*this, goal, hasGoal).c_str());
  DEBUG_TRACE_NORMAL(label, "Target Pool   - %s:", PathOrNone(*this, pool, hasPool).c_str());

  // The 3PAR snapshot objects never send a pool: the provider places virtual copies itself.
  bool sendPool = hasPool && GetOpType() != kOpType3PARSnapshot;
  Array<CIMParamValue> in;
  in.append(CIMParamValue("ElementName",
                          elementName.empty() ? MakeCimNullVal(CIMTYPE_STRING, false) : CIMValue(String(elementName))));
  in.append(CIMParamValue("CopyType", CIMValue(copyType)));
  in.append(CIMParamValue("SourceElement", CIMValue(source)));
  in.append(CIMParamValue("TargetSettingGoal", ReferenceOrNull(*this, goal, hasGoal)));
  in.append(CIMParamValue("TargetPool", ReferenceOrNull(*this, pool, sendPool)));

  DEBUG_TRACE_NORMAL(label, "host = %s, userName = %s , conn = %u", conn.m_Cimom.GetAddress().c_str(),
                     conn.m_Cimom.GetUserName().c_str(),
                     static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(conn.m_Client)));
  SmisMethod method;
  method.name = "CreateReplica";
  method.serialize = true;
  method.retValLine = SmisMethod::kMethodRetVal;
  SmisResultCode result = call.Finish(call.Invoke(method, in), ReplicaRule(targetPath, *this));
  if (result != kSmisSuccess) return result;

  // A copy without an identity can be neither mapped nor deleted: the 3PAR callers take its DeviceID,
  // the others its Name through the path.
  if (targetPath.empty()) {
    DEBUG_TRACE(label, "%s: provider answered success but named no target element", call.Display());
    return kSmisFailed;
  }
  CIMObjectPath target{String(targetPath)};
  if (call.Vendor() == TQ_VENDOR_HP_3PAR && GetPropByObjPath(target, "DeviceID").empty()) {
    DEBUG_TRACE(label, "%s: target element [%s] has no DeviceID", call.Display(), targetPath.c_str());
    return kSmisFailed;
  }
  return kSmisSuccess;
}
