// Methods of the replication service: element replicas made from a source volume, as a new copy or into
// a target volume the caller names.
#include "ClassHierarchy.h"
#include "ExtrinsicMethods.h"
#include "ModelHelpers.h"
#include "NoCase.h"
#include "Properties.h"
#include "ReplicationSyncMethods.h"
#include "smis-sim/ReturnCodes.h"

using namespace Pegasus;

namespace smissim {

namespace {

using namespace returnCode;
constexpr Uint16 kSyncTypeMirror = 6, kSyncTypeSnapshot = 7, kSyncTypeVendorSnapshot = 32768;
constexpr Uint16 kCopyTypeUnSyncAssoc = 4, kReplicaTypeAfterDelta = 4, kSyncStateSynchronized = 6;

const CIMInstance* volumeOf(MethodCall& call, const CIMObjectPath& path) {
  const CIMInstance* volume = call.model.store().find(path);
  if (!volume || !ClassHierarchy::instance().isA(volume->getClassName().getString().str(), "CIM_StorageVolume"))
    return nullptr;
  return stringProperty(*volume, "SystemName") == call.array.systemName ? volume : nullptr;
}

bool isPaired(MethodCall& call, const CIMObjectPath& volume) {
  return !call.model.synchronizations(volume, false).empty() || !call.model.synchronizations(volume, true).empty();
}

// CreateElementReplica: with no TargetElement a new copy of the source; with one, the pair of the source
// and that (unpaired) volume. Runs as a job when the provider is set to, like every copy task.
MethodOutcome createElementReplica(MethodCall& call) {
  const MethodArgs& args = call.args;
  auto syncType = args.uint16("SyncType");
  auto sourcePath = args.reference("SourceElement");
  if (!syncType || !sourcePath) return MethodOutcome::code(kInvalidParameter);
  if (*syncType != kSyncTypeMirror && *syncType != kSyncTypeSnapshot && *syncType != kSyncTypeVendorSnapshot)
    return MethodOutcome::code(kInvalidParameter);
  const CIMInstance* sourceInstance = volumeOf(call, *sourcePath);
  if (!sourceInstance) return MethodOutcome::code(arrayCode(call.model, kSourceNotFound));
  CIMInstance source = *sourceInstance;

  MethodOutcome outcome;
  if (auto targetPath = args.reference("TargetElement")) {
    const CIMInstance* target = volumeOf(call, *targetPath);
    if (!target) return MethodOutcome::code(kInvalidParameter);
    if (isPaired(call, target->getPath())) return MethodOutcome::code(kInUse);
    CIMObjectPath sourceKey = source.getPath(), targetKey = target->getPath();
    outcome.addReference("TargetElement", targetKey, call.model);
    return finishTask(
        call, "CreateElementReplica", false, {sourceKey, targetKey},
        [sourceKey, targetKey](Model& model, bool succeeded) {
          if (succeeded)
            model.addSynchronization(sourceKey, targetKey, kCopyTypeUnSyncAssoc, kReplicaTypeAfterDelta,
                                     kSyncStateSynchronized);
        },
        outcome);
  }
  std::string name = args.string("ElementName").value_or("");
  if (name.empty())
    name = stringProperty(source, "ElementName").substr(0, 20) + ".er" + std::to_string(call.array.nextObjectNumber++);
  if (!isValidName(name)) return MethodOutcome::code(kInvalidParameter);
  if (call.model.findVolumeByName(call.array, name)) return MethodOutcome::code(arrayCode(call.model, kNameInUse));
  CIMObjectPath copy = call.model.addVirtualCopy(call.array, source, name);
  outcome.addReference("TargetElement", copy, call.model);
  return finishTask(call, "CreateElementReplica", false, {source.getPath(), copy}, nullptr, outcome);
}

}  // namespace

MethodOutcome runReplicationServiceMethod(MethodCall& call, const std::string& method) {
  const std::string name = lowerCase(method);
  if (name == "createelementreplica") return createElementReplica(call);
  MethodOutcome outcome;
  if (runRemoteReplicationMethod(call, name, outcome)) return outcome;
  if (name == "modifyreplicasynchronization") return modifyReplicaSynchronization(call);
  if (name == "modifylistsynchronization") return modifyListSynchronization(call);
  if (runReplicationAspectMethod(call, name, outcome)) return outcome;
  throw CIMException(CIM_ERR_METHOD_NOT_FOUND, String(method));
}

}  // namespace smissim
