// Changing a source/replica pair through ModifySynchronization: any SMI-S operation (restore, resync,
// detach...), and the detach of a replica. On 3PAR a detach resynchronizes the pair first, and a resync the
// provider refuses or fails ends the detach with its result: a stale clone must not pass for a fresh copy.
#include <climits>

#include "SmisCall.h"
#include "SmisHostConfig.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace {

const char* const kStorageVolume = "CIM_StorageVolume";
const char* const kJobRetryCount3PAR = "n3PARJobRetryCount";
const char* const kJobWaitSeconds3PAR = "n3PARJobWaitSeconds";
const char* const kEnableForceSEFCStop = "nIBMSVCEnableForceSEFCStop";
const char* const kDisableForceFCStop = "nIBMSVCDisableForceFCStop";

const Uint16 kOperationDetach = 2;
const Uint16 kOperationResync = 4;
const Uint16 kOperationSvcStop = 8;
const Uint16 kOperationSvcForcedStop = 32769;
const int kSvcSyncStateIdle = 11;
const int kSvcSyncStateSynchronized = 6;

// A 3PAR job budget from the host: the default when absent or 0, never beyond the int range.
int BudgetFromKey(const char* key, int preset) {
  unsigned long value = 0;
  if (!smisconfig::NumberIfPresent(key, value) || value == 0) return preset;
  return value > static_cast<unsigned long>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

// Whether an IBM SVC stop is forced: always, except for operation 8 on a mapping that is idle or
// synchronized, or whose copy rate the host keys keep from being forced.
bool SvcForce(SmisAction& action, TqCimConnection& conn, const char* label, Uint16 operation, CIMObjectPath& sync) {
  if (operation != kOperationSvcStop) return true;
  std::string rateText = action.GetCIMProp(conn, sync, "CopyRate");
  std::string stateText = action.GetCIMProp(conn, sync, "SyncState");
  int rate = SmisCall::Decimal(rateText);
  int state = SmisCall::Decimal(stateText);
  action.DEBUG_TRACE_NORMAL(label, "Background copy rate [%s] Sync state [%s] for [%s] ", rateText.c_str(),
                            stateText.c_str(), action.GetObjectPathString(sync).c_str());
  bool force = state != kSvcSyncStateIdle && state != kSvcSyncStateSynchronized;
  unsigned long enableSpaceEfficientStop = smisconfig::Number(kEnableForceSEFCStop, 0);
  unsigned long disableFullCopyStop = smisconfig::Number(kDisableForceFCStop, 0);
  action.DEBUG_TRACE_NORMAL(label, "Regkeys nIBMSVCEnableForceSEFCStop [%lu] nIBMSVCDisableForceFCStop [%lu]",
                            enableSpaceEfficientStop, disableFullCopyStop);
  if (enableSpaceEfficientStop == 0 && rate == 0) force = false;
  if (disableFullCopyStop == 1 && rate > 0) force = false;
  return force;
}

Array<CIMParamValue> OperationOn(Uint16 operation, const CIMObjectPath& sync) {
  Array<CIMParamValue> in;
  in.append(CIMParamValue("Operation", CIMValue(operation)));
  in.append(CIMParamValue("Synchronization", CIMValue(sync)));
  return in;
}

}  // namespace

SmisResultCode SmisAction::ModifySync(TqCimConnection& conn, SmisArgs& args, bool noWait) {
  SmisCall call(*this, conn, "SMIS::ModifySync", "ModifySync");
  if (!call.HasArgs(args, 4, "modsync: Insufficient params specified", "    need: SystemName OpType SrcVol RepVol"))
    return kSmisTooFewArguments;
  const char* label = call.Label();
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    int tries = 60;
    int seconds = 10;
    if (!call.FindConfigService(args[0])) return kSmisObjectNotFound;
    if (call.Vendor() == TQ_VENDOR_HP_3PAR) {
      tries = BudgetFromKey(kJobRetryCount3PAR, 720);
      seconds = BudgetFromKey(kJobWaitSeconds3PAR, 10);
    }
    const char* assumingName = "Supplied source volume is not a object path, assuming UUID(Name: %s)";
    CIMObjectPath source;
    if (!call.LookUpVolume(args[2], assumingName, source)) {
      DEBUG_TRACE(label, "Class %s: Instance not found for Source volume Name %s", kStorageVolume, args[2].c_str());
      return kSmisObjectNotFound;
    }
    DEBUG_TRACE_NORMAL(label, "\tSourceVolume: %s", GetObjectPathString(source).c_str());
    CIMObjectPath replica;
    if (!call.LookUpVolume(args[3], assumingName, replica)) {
      DEBUG_TRACE(label, "Class %s: Instance not found for Replicated volume Name %s", kStorageVolume, args[3].c_str());
      return kSmisObjectNotFound;
    }
    DEBUG_TRACE_NORMAL(label, "RepVol: %s", GetObjectPathString(replica).c_str());
    CIMObjectPath sync = GetSyncPath(conn, call.NameSpace().getString(), args[0], source, replica);
    if (sync.getClassName().isNull()) {
      DEBUG_TRACE(label, "Modsync operation failed due to empty sync path");
      return kSmisObjectNotFound;
    }
    DEBUG_TRACE_NORMAL(label, "\tSync Path: %s", GetObjectPathString(sync).c_str());
    Uint16 operation = static_cast<Uint16>(SmisCall::Decimal(args[1]));

    if (operation == kOperationDetach && call.Vendor() == TQ_VENDOR_HP_3PAR) {
      DEBUG_TRACE_NORMAL(label, "Going to perform 3PAR ReSync peration");
      SmisResultCode resynced = ReSync(conn, call.NameSpace(), call.Service(), OperationOn(kOperationResync, sync));
      if (resynced != kSmisSuccess) {
        DEBUG_TRACE(label, "%s: resync of the pair failed with %u, the replica is not detached", call.Display(),
                    resynced);
        return resynced;
      }
    }

    DEBUG_TRACE_NORMAL(label, "Going to perform ModSync [%s] operation", args[1].c_str());
    Array<CIMParamValue> in = OperationOn(operation, sync);
    if (call.Vendor() == TQ_VENDOR_IBM_SVC) {
      if (operation == kOperationDetach || operation == kOperationSvcStop || operation == kOperationSvcForcedStop) {
        bool force = SvcForce(*this, conn, label, operation, sync);
        DEBUG_TRACE_NORMAL(label, "Option force [%d] selected for IBMSVC ModifySync opertion", force ? 1 : 0);
        in.append(CIMParamValue("Force", CIMValue(Boolean(force))));
      }
      if (args.size() > 4 && args[4] == "Restore") in.append(CIMParamValue("Restore", CIMValue(Boolean(true))));
    }
    DEBUG_TRACE_NORMAL(label, "%s: [Method - %s] [Job retry count - %d] [Job wait seconds - %d]", label, call.Display(),
                       tries, seconds);
    SmisMethod method;
    method.name = "ModifySynchronization";
    method.traceIn = true;
    SmisOutcomeRule rule;
    rule.job = noWait ? SmisJobRule::kNotWatched : SmisJobRule::kFailedIsState;
    rule.tries = tries;
    rule.seconds = seconds;
    SmisResultCode result = call.Finish(call.Invoke(method, in), rule);
    return noWait && result == kSmisJobStarted ? kSmisSuccess : result;
  });
}

SmisResultCode SmisAction::DetachVol(TqCimConnection& conn, SmisArgs& args) {
  SmisCall call(*this, conn, "SMIS::DetachVol", "detachvol");
  if (!call.HasArgs(args, 3, "SystemName SrcVolumeID RepVolumeID")) return kSmisTooFewArguments;
  call.UsePlainUnknownText();
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    SmisArgs pair = {args[0], "2", args[1], args[2]};
    return ModifySync(conn, pair, false);
  });
}
