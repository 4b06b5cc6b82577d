// One synchronization operation for one replica pair: the pair's synchronization, or on LSI-family
// providers the synchronization of its point-in-time view (or of its consistency group's view), with the
// ETERNUS class name the provider expects.
#include "SmisReplicationArgs.h"
#include "SmisSyncOperation.h"
#include "TqCimConnection.h"

using namespace Pegasus;
using namespace smisreplication;

namespace {

const char* const kReplicationService = "SNIA_ReplicationService";
const char* const kStorageVolume = "CIM_StorageVolume";
const char* const kPitViewSyncMark = "pitviewsynchronized";

// The synchronization of the replica's point-in-time view, or of its consistency group's view. False
// (traced) when there is none.
bool PointInTimeSync(SmisAction& action, SmisCall& call, const CIMObjectPath& source, const CIMObjectPath& replica,
                     CIMObjectPath& sync) {
  const std::string prefix = ClassPrefix(source);
  Array<CIMObjectPath> groups =
      call.Conn().GetAssociatorNames(replica, String("CIM_OrderedMemberOfCollection"),
                                     String(prefix + "_ConsistencyGroupPiTView"), String(), String());
  if (groups.size() == 0) {
    sync = FirstReference(call.Conn(), call.NameSpace(), replica, prefix + "_PiTViewSynchronized");
    if (sync.getClassName().isNull())
      action.DEBUG_TRACE(call.Label(), "ModifyReplicaSynchronization operation failed due to empty sync path");
  } else {
    sync = FirstReference(call.Conn(), call.NameSpace(), groups[0], prefix + "_CGPiTViewSynchronized");
    if (sync.getClassName().isNull())
      action.DEBUG_TRACE(call.Label(), "No SyncPath exists between ConsistencyGroup To CGPiTView.");
  }
  return !sync.getClassName().isNull();
}

void UseEternusClass(SmisAction& action, SmisCall& call, CIMObjectPath& sync) {
  std::string text = action.GetObjectPathString(sync);
  if (!UseEternusSyncClass(text)) return;
  action.DEBUG_TRACE(call.Label(), "Modified Sync path [%s]", text.c_str());
  sync = CIMObjectPath(String(text));
}

}  // namespace

SmisResultCode SmisAction::ModifyReplicaSynchronization(TqCimConnection& conn, SmisArgs& args, bool noWait) {
  SmisCall call(*this, conn, "SMIS::ModifyReplicaSynchronization", "ModifyReplicaSynchronization");
  const char* label = call.Label();
  if (!call.HasArgs(args, 5, "modsync: Insufficient params specified",
                    "    need: SystemName OpType SrcVol RepVol waitType"))
    return kSmisTooFewArguments;
  SmisSyncRequest request;
  request.method = "ModifyReplicaSynchronization";
  request.goingLine = "Going to perform ModReplicaSync [%d] operation";
  request.operation = static_cast<Uint16>(SmisCall::Decimal(args[1]));
  request.waitForCopyState = static_cast<Uint16>(SmisCall::Decimal(args[4]));
  request.force = At(args, 5) == "1";
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath service;
    if (!ValidateSystemName(conn, args[0], String(kReplicationService), service)) {
      DEBUG_TRACE(label, "Class %s for system %s not found", kReplicationService, args[0].c_str());
      return kSmisObjectNotFound;
    }
    call.UseService(service);
    CIMObjectPath source, replica;
    if (!call.LookUpVolume(args[2], "Supplied source volume is not a object path, assuming UUID(Name: %s)", source)) {
      DEBUG_TRACE(label, "Class %s: Instance not found for Source volume Name %s", kStorageVolume, args[2].c_str());
      return kSmisObjectNotFound;
    }
    DEBUG_TRACE_NORMAL(label, "\tSourceVolume: %s", GetObjectPathString(source).c_str());
    if (!call.LookUpVolume(args[3], "Supplied source volume is not a object path, assuming UUID(Name)", replica)) {
      DEBUG_TRACE(label, "Class %s: Instance not found for Replicated volume Name %s", kStorageVolume, args[3].c_str());
      return kSmisObjectNotFound;
    }
    DEBUG_TRACE_NORMAL(label, "RepVol: %s", GetObjectPathString(replica).c_str());

    CIMObjectPath sync = GetSyncPath(conn, call.NameSpace().getString(), args[0], source, replica);
    const bool lsiFamily = IsLsiFamily(call.Vendor());
    if (lsiFamily && sync.toString().str().find(kPitViewSyncMark) == std::string::npos &&
        !PointInTimeSync(*this, call, source, replica, sync))
      return kSmisObjectNotFound;
    if (sync.getClassName().isNull()) {
      DEBUG_TRACE(label, "ModReplicaSync operation failed due to empty sync path");
      return kSmisObjectNotFound;
    }
    DEBUG_TRACE_NORMAL(label, "\tSync Path: %s", GetObjectPathString(sync).c_str());
    if (call.Vendor() == TQ_VENDOR_FUJITSU) UseEternusClass(*this, call, sync);

    request.synchronization = CIMValue(sync);
    request.sendSettingData = !(lsiFamily && sync.toString().str().find(kPitViewSyncMark) != std::string::npos);
    return RunSyncOperation(*this, call, request, noWait);
  });
}
