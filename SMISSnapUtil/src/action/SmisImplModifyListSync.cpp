// One synchronization operation for a list of replication pairs: every pair's volumes and synchronization
// are found first, so that a pair that cannot be resolved stops the call before anything reaches the array.
#include "SmisSyncOperation.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace {
const char* const kReplicationService = "SNIA_ReplicationService";
}  // namespace

SmisResultCode SmisAction::ModifyListSynchronization(TqCimConnection& conn, _ModListSyncParams& params, bool noWait) {
  SmisCall call(*this, conn, "SMIS::ModifyListSynchronization", "ModifyListSynchronization");
  const char* label = call.Label();
  if (params.systemName.empty() || params.pairs.empty()) {
    DEBUG_TRACE(label, "ModifyListSynchronization: Insufficient params specified");
    DEBUG_TRACE(label, "need: SystemName, OperationType, SourceVolume, TargetVolume");
    return kSmisTooFewArguments;
  }
  call.UsePlainUnknownText();
  return call.Guarded(TQ_HANDLER_SITE, [&]() -> SmisResultCode {
    CIMObjectPath service;
    if (params.servicePath.empty()) {
      if (!ValidateSystemName(conn, params.systemName, String(kReplicationService), service)) {
        DEBUG_TRACE(label, "Class %s for system %s not found", kReplicationService, params.systemName.c_str());
        return kSmisObjectNotFound;
      }
    } else {
      service = CIMObjectPath(String(params.servicePath));
    }
    call.UseService(service);

    Array<CIMObjectPath> synchronizations;
    for (const _ReplicationPair& pair : params.pairs) {
      CIMObjectPath source, target;
      if (!GetVolumeObjectPath(conn, params.systemName, pair.source, source, call.Vendor())) return kSmisObjectNotFound;
      DEBUG_TRACE_NORMAL(label, "Source Volume [%s]", GetObjectPathString(source).c_str());
      if (!GetVolumeObjectPath(conn, params.systemName, pair.target, target, call.Vendor())) return kSmisObjectNotFound;
      DEBUG_TRACE_NORMAL(label, "Target Volume [%s]", GetObjectPathString(target).c_str());
      CIMObjectPath sync = GetSyncPath(conn, call.NameSpace().getString(), params.systemName, source, target);
      if (sync.getClassName().isNull()) {
        DEBUG_TRACE(label, "Sync Path not found");
        return kSmisObjectNotFound;
      }
      DEBUG_TRACE_NORMAL(label, "Sync Path [%s]", GetObjectPathString(sync).c_str());
      synchronizations.append(sync);
    }

    SmisSyncRequest request;
    request.method = "ModifyListSynchronization";
    request.goingLine = "Going to perform ModSync [%d] operation";
    request.operation = params.Operation;
    request.synchronization = CIMValue(synchronizations);
    request.force = params.Force;
    request.waitForCopyState = static_cast<Uint16>(params.WaitForCopyState);
    request.sendSettingData = false;
    return RunSyncOperation(*this, call, request, noWait);
  });
}
