// Synchronization operations of the replication service, for one pair (ModifyReplicaSynchronization) or a
// list of pairs in one call (ModifyListSynchronization). Every synchronization named must exist and accept
// the operation before any changes; the change happens when the task (or its job) ends well.
#include "ReplicationSyncMethods.h"
#include "ClassHierarchy.h"
#include "ExtrinsicMethods.h"
#include "Properties.h"
#include "smis-sim/ReturnCodes.h"

using namespace Pegasus;

namespace smissim {

namespace {

using namespace returnCode;

// Operations of the replication-services profile the array carries out.
constexpr Uint16 kOpDetach = 8, kOpDissolve = 9, kOpFracture = 12, kOpResyncReplica = 14, kOpRestore = 15;
constexpr Uint16 kStateResyncInProgress = 5, kStateSynchronized = 6, kStateRestoreInProgress = 10, kStateBroken = 12,
                 kStateFractured = 13;

void setState(Model& model, const CIMObjectPath& sync, Uint16 state) {
  if (CIMInstance* instance = model.store().findMutable(sync)) setProperty(*instance, "SyncState", CIMValue(state));
}

// The stored synchronizations the references name; false when one names none.
bool findSynchronizations(MethodCall& call, const std::vector<CIMObjectPath>& refs, std::vector<CIMObjectPath>& out) {
  for (const CIMObjectPath& ref : refs) {
    const CIMInstance* sync = call.model.store().find(ref);
    if (!sync || !ClassHierarchy::instance().isA(sync->getClassName().getString().str(), "CIM_StorageSynchronized"))
      return false;
    out.push_back(sync->getPath());
  }
  return !out.empty();
}

MethodOutcome modifySynchronizations(MethodCall& call, const char* method, const std::vector<CIMObjectPath>& refs) {
  auto operation = call.args.uint16("Operation");
  std::vector<CIMObjectPath> pairs;
  if (!operation || !findSynchronizations(call, refs, pairs)) return MethodOutcome::code(kInvalidParameter);
  std::vector<CIMObjectPath> affected;
  for (const CIMObjectPath& pair : pairs) {
    const CIMInstance* sync = call.model.store().find(pair);
    if (uint16Property(*sync, "SyncState") == kStateBroken && *operation != kOpDetach && *operation != kOpDissolve)
      return MethodOutcome::code(kFailed);
    affected.push_back(referenceProperty(*sync, "SystemElement"));
    affected.push_back(referenceProperty(*sync, "SyncedElement"));
  }
  std::function<void(Model&, bool)> onEnd;
  bool asJob = false;
  switch (*operation) {
    case kOpDetach:
    case kOpDissolve:
      onEnd = [pairs](Model& model, bool succeeded) {
        if (succeeded)
          for (const CIMObjectPath& pair : pairs) model.store().remove(pair);
      };
      break;
    case kOpFracture:
      onEnd = [pairs](Model& model, bool succeeded) {
        for (const CIMObjectPath& pair : pairs) setState(model, pair, succeeded ? kStateFractured : kStateBroken);
      };
      break;
    case kOpResyncReplica:
    case kOpRestore:
      asJob = true;
      for (const CIMObjectPath& pair : pairs)
        setState(call.model, pair, *operation == kOpRestore ? kStateRestoreInProgress : kStateResyncInProgress);
      onEnd = [pairs](Model& model, bool succeeded) {
        for (const CIMObjectPath& pair : pairs) setState(model, pair, succeeded ? kStateSynchronized : kStateBroken);
      };
      break;
    default:
      return MethodOutcome::code(kNotSupported);
  }
  return finishTask(call, method, asJob, affected, onEnd);
}

}  // namespace

MethodOutcome modifyReplicaSynchronization(MethodCall& call) {
  auto sync = call.args.reference("Synchronization");
  if (!sync) return MethodOutcome::code(kInvalidParameter);
  return modifySynchronizations(call, "ModifyReplicaSynchronization", {*sync});
}

MethodOutcome modifyListSynchronization(MethodCall& call) {
  auto syncs = call.args.references("Synchronization");
  if (!syncs) return MethodOutcome::code(kInvalidParameter);
  return modifySynchronizations(call, "ModifyListSynchronization", *syncs);
}

}  // namespace smissim
