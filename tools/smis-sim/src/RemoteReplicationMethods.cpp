// Methods of the replication service for remote copy: the access point of a link to another array, a
// remote-copy group created for source volumes, and a group resynchronized.
#include "ClassHierarchy.h"
#include "ExtrinsicMethods.h"
#include "ModelHelpers.h"
#include "NoCase.h"
#include "Properties.h"
#include "smis-sim/ReturnCodes.h"

using namespace Pegasus;

namespace smissim {

namespace {

using namespace returnCode;
constexpr Uint16 kSyncTypeMirror = 6, kModeSynchronous = 2, kModeAsynchronous = 3;
constexpr Uint16 kOperationResync = 14;

std::string keyValue(const CIMObjectPath& path, const char* key) {
  for (const CIMKeyBinding& binding : path.getKeyBindings())
    if (String::equalNoCase(binding.getName().getString(), key)) return binding.getValue().str();
  return std::string();
}

// GetServiceAccessPoints(System): the access point of the link to that array, as the standard signature
// gives it (the array ServiceAccessPoints) or, with the setting, as one reference; no output when there is
// no link.
MethodOutcome getServiceAccessPoints(MethodCall& call) {
  auto system = call.args.reference("System");
  if (!system) return MethodOutcome::code(kInvalidParameter);
  MethodOutcome outcome;
  CIMObjectPath point = call.model.remoteAccessPoint(call.array, keyValue(*system, "Name"));
  if (point.getKeyBindings().size() == 0) return outcome;
  if (call.model.settings().singleAccessPoint)
    outcome.addReference("ServiceAccessPoint", point, call.model);
  else
    outcome.addReferences("ServiceAccessPoints", {point}, call.model);
  return outcome;
}

// CreateGroupReplicaFromElements: a mirror group of one source volume over a linked array's access point.
MethodOutcome createGroupReplicaFromElements(MethodCall& call) {
  const MethodArgs& args = call.args;
  auto syncType = args.uint16("SyncType");
  auto mode = args.uint16("Mode");
  auto name = args.string("SourceGroupName");
  auto sources = args.references("SourceElements");
  auto accessPoint = args.reference("TargetAccessPoint");
  if (!syncType || *syncType != kSyncTypeMirror || !name || name->empty() || !sources || sources->size() != 1 ||
      !accessPoint || !args.reference("TargetPool"))
    return MethodOutcome::code(kInvalidParameter);
  if (mode && *mode != kModeSynchronous && *mode != kModeAsynchronous) return MethodOutcome::code(kInvalidParameter);
  const CIMInstance* volume = call.model.store().find(sources->front());
  if (!volume || stringProperty(*volume, "SystemName") != call.array.systemName)
    return MethodOutcome::code(kInvalidParameter);
  if (!call.model.store().find(*accessPoint)) return MethodOutcome::code(kInvalidParameter);
  for (const CIMInstance* group : call.model.store().enumerate("TPD_RemoteReplicationGroup"))
    if (sameNoCase(stringProperty(*group, "ElementName"), *name)) return MethodOutcome::code(kInUse);
  MethodOutcome outcome;
  CIMObjectPath sync = call.model.addRemoteCopyGroup(call.array, *name, volume->getPath(), *accessPoint,
                                                     mode.value_or(kModeSynchronous));
  outcome.addReference("Synchronization", sync, call.model);
  return outcome;
}

// A call on the synchronization of a remote-copy group (the pair synchronizations are the other methods').
bool remoteGroupSynchronization(MethodCall& call) {
  auto sync = call.args.reference("Synchronization");
  return sync && call.model.isRemoteGroupSynchronization(*sync);
}

// ModifyReplicaSynchronization of a remote-copy group: only its resynchronization.
MethodOutcome modifyReplicaSynchronization(MethodCall& call) {
  auto operation = call.args.uint16("Operation");
  auto sync = call.args.reference("Synchronization");
  if (!operation || !sync || *operation != kOperationResync) return MethodOutcome::code(kInvalidParameter);
  call.model.resyncRemoteGroup(*sync);
  return MethodOutcome{};
}

}  // namespace

bool runRemoteReplicationMethod(MethodCall& call, const std::string& name, MethodOutcome& outcome) {
  if (name == "getserviceaccesspoints") {
    outcome = getServiceAccessPoints(call);
  } else if (name == "creategroupreplicafromelements") {
    outcome = createGroupReplicaFromElements(call);
  } else if (name == "modifyreplicasynchronization" && remoteGroupSynchronization(call)) {
    outcome = modifyReplicaSynchronization(call);
  } else {
    return false;
  }
  return true;
}

}  // namespace smissim
