// Making a snapshot or clone of a volume through the replication service: the ETERNUS service check, the
// copy type as the provider's SyncType, the job, and the replica's path (for an LSI-family snapshot that
// names no target, the point-in-time view the job made).
#include <cstdint>

#include "SmisCall.h"
#include "SmisReplicationArgs.h"
#include "TqCimConnection.h"

using namespace Pegasus;
using namespace smisreplication;

namespace {

const char* const kEternusReplicationService = "FUJITSU_ReplicationService";
const char* const kReplicationService = "CIM_ReplicationService";
const Uint16 kLsiSnapshotSyncType = 7;

// The SyncType ETERNUS expects for a copy type; false when it has none.
bool EternusSyncType(Uint16 copyType, Uint16& syncType) {
  switch (copyType) {
    case 4:
      syncType = 7;
      return true;
    case 5:
      syncType = 6;
      return true;
    case 8:
      syncType = 0x8000;
      return true;
    default:
      return false;
  }
}

}  // namespace

bool SmisAction::ValidateCreateElementReplica(TqCimConnection& conn, SmisArgs& args, CIMObjectPath& servicePath) {
  const char* label = "SMIS::ValidateCreateElementReplica";
  if (args.size() < 4) {
    DEBUG_TRACE(label, "rcreate: insufficient params specified");
    DEBUG_TRACE(label,
                "\tneed: systemName NewElementName CopyType(6/7/32768) SourceVolume [TargetSettingId] [TargetPoolId]");
    return false;
  }
  // A provider without the ETERNUS classes refuses the lookup itself: that too means no service.
  try {
    if (ValidateSystemName(conn, args[0], String(kEternusReplicationService), servicePath)) return true;
  } catch (const Exception& e) {
    DEBUG_TRACE(label, "%s", static_cast<const char*>(e.getMessage().getCString()));
  }
  DEBUG_TRACE(label, "Class %s for system %s not found", kEternusReplicationService, args[0].c_str());
  return false;
}

SmisResultCode SmisAction::CreateElementReplica(TqCimConnection& conn, SmisArgs& args, std::string& resultPath) {
  SmisCall call(*this, conn, "SMIS::CreateElementReplica", "CreateElementReplica");
  const char* label = call.Label();
  if (args.empty()) {
    DEBUG_TRACE(label, "%s: Validation Failed: Invalid Parameters", call.Display());
    return kSmisInvalidParameter;
  }
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    const std::string systemName = args.size() > 5 ? args[5] : std::string();
    CIMObjectPath service;
    if (!tqcimutil::ParseInstancePath(args[0], service)) {
      DEBUG_TRACE_NORMAL(label, "Supplied ServicePath is not a object path.");
      ValidateSystemName(conn, systemName, String(kReplicationService), service);
    }
    if (GetObjectPathString(service).empty()) {
      DEBUG_TRACE(label, "Class %s for system %s not found", kReplicationService, systemName.c_str());
      return kSmisObjectNotFound;
    }
    call.UseService(service);
    CIMObjectPath source;
    if (!call.FindLun(At(args, 3), "source volume", source, systemName)) {
      return kSmisObjectNotFound;
    }
    const bool hasTarget = !At(args, 4).empty();
    CIMObjectPath target;
    if (hasTarget) target = CIMObjectPath(String(At(args, 4)));

    Uint16 syncType = static_cast<Uint16>(SmisCall::Decimal(At(args, 2)));
    Uint16 mode = 2;
    Uint16 waitForCopyState = 2;
    if (call.Vendor() == TQ_VENDOR_FUJITSU && !EternusSyncType(syncType, syncType)) {
      DEBUG_TRACE(label, "%s: Validation Failed: Invalid Parameters", call.Display());
      return kSmisInvalidParameter;
    }
    const bool lsiSnapshot = IsLsiFamily(call.Vendor()) && syncType == kLsiSnapshotSyncType;
    CIMObjectPath pool;
    const bool hasPool = lsiSnapshot && !At(args, 6).empty();
    if (lsiSnapshot) {
      mode = 3;
      waitForCopyState = 4;
      if (hasPool) pool = CIMObjectPath(String(At(args, 6)));
    }
    const std::string prefix = ClassPrefix(target);

    DEBUG_TRACE_NORMAL(label, "CreateElementReplica Parameters");
    DEBUG_TRACE_NORMAL(label, "ElementName   - %s:", At(args, 1).c_str());
    DEBUG_TRACE_NORMAL(label, "CopyType     - %d:", syncType);
    DEBUG_TRACE_NORMAL(label, "Source Volume - %s:", GetObjectPathString(source).c_str());
    DEBUG_TRACE_NORMAL(label, "Target Volume - %s:", hasTarget ? GetObjectPathString(target).c_str() : "");
    DEBUG_TRACE_NORMAL(label, "Target Pool - %s:", hasPool ? GetObjectPathString(pool).c_str() : "");
    DEBUG_TRACE_NORMAL(label, "WaitForCopyState - %d:", waitForCopyState);
    DEBUG_TRACE_NORMAL(label, "Mode\t     - %d:", mode);

    const CIMValue nullReference = MakeCimNullVal(CIMTYPE_REFERENCE, false);
    Array<CIMParamValue> in;
    in.append(CIMParamValue(
        "ElementName", At(args, 1).empty() ? MakeCimNullVal(CIMTYPE_STRING, false) : CIMValue(String(At(args, 1)))));
    in.append(CIMParamValue("SyncType", CIMValue(syncType)));
    in.append(CIMParamValue("SourceElement", CIMValue(source)));
    in.append(CIMParamValue("TargetElement", hasTarget ? CIMValue(target) : nullReference));
    in.append(CIMParamValue("WaitForCopyState", CIMValue(waitForCopyState)));
    in.append(CIMParamValue("Mode", CIMValue(mode)));
    in.append(CIMParamValue("TargetSettingGoal", nullReference));
    in.append(CIMParamValue("TargetPool", hasPool ? CIMValue(pool) : nullReference));
    DEBUG_TRACE_NORMAL(label, "host = %s, userName = %s , conn = %u", conn.m_Cimom.GetAddress().c_str(),
                       conn.m_Cimom.GetUserName().c_str(),
                       static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(conn.m_Client)));

    SmisMethod method;
    method.name = "CreateElementReplica";
    method.retValLine = SmisMethod::kNoRetValLine;  // the answer shows in the lines that follow it
    SmisOutcomeRule rule;
    rule.jobStartedLine = "%s: Job started, RETvAL = %u";
    rule.job = SmisJobRule::kFailedIsOne;
    rule.tries = 60;
    rule.seconds = 10;
    rule.readOnJob = true;
    rule.readOut = [&](Array<CIMParamValue>& out) { resultPath = GetObjectPathString(GetTargetElementHandle(out)); };
    unsigned retVal = call.Invoke(method, in);
    SmisResultCode result = call.Finish(retVal, rule);
    if (retVal == kSmisJobStarted && result == kSmisSuccess && IsLsiFamily(call.Vendor()) && resultPath.empty()) {
      Array<CIMObjectPath> views =
          conn.GetAssociatorNames(GetJobHandle(call.Out()), String(prefix + "_AffectedJobElement"),
                                  String(prefix + "_PiTView"), String(), String());
      if (views.size() > 0) resultPath = GetObjectPathString(views[0]);
      DEBUG_TRACE(label, "resultPath = %s", resultPath.c_str());
    }
    return result;
  });
}
