// Synchronization aspects of the replication service: point-in-time settings of a source volume, each
// tied to its volume by a settings-define-state association. They are made one at a time or one per volume
// of a list, and returned to the array (operation 19) through that association, one or a list at a time.
#include "ClassHierarchy.h"
#include "ExtrinsicMethods.h"
#include "Properties.h"
#include "ReplicationSyncMethods.h"
#include "smis-sim/ReturnCodes.h"

using namespace Pegasus;

namespace smissim {

namespace {

using namespace returnCode;

constexpr Uint16 kSyncTypeMirror = 6, kSyncTypeSnapshot = 7, kSyncTypeVendorSnapshot = 32768;
constexpr Uint16 kOpReturnToResourcePool = 19;
const char* const kAspectClass = "TPD_SynchronizationAspect";
const char* const kDefineStateClass = "TPD_SettingsDefineState";

bool isVolumeOf(MethodCall& call, const CIMObjectPath& path) {
  const CIMInstance* volume = call.model.store().find(path);
  return volume && ClassHierarchy::instance().isA(volume->getClassName().getString().str(), "CIM_StorageVolume") &&
         stringProperty(*volume, "SystemName") == call.array.systemName;
}

bool isSyncType(std::optional<Uint16> type) {
  return type && (*type == kSyncTypeMirror || *type == kSyncTypeSnapshot || *type == kSyncTypeVendorSnapshot);
}

// Adds the aspect of `volume` and its settings-define-state association.
void addAspect(Model& model, const std::string& systemName, Uint64 number, const CIMObjectPath& volume,
               const std::string& name, Uint16 syncType) {
  const std::string& host = model.settings().hostName;
  CIMInstance aspect{CIMName(kAspectClass)};
  setProperty(aspect, "InstanceID", CIMValue(String(systemName + ":aspect:" + std::to_string(number))));
  setProperty(aspect, "ElementName", CIMValue(String(name)));
  setProperty(aspect, "SyncType", CIMValue(syncType));
  aspect.setPath(pathFromKeys(aspect, {"InstanceID"}));
  model.store().put(aspect);
  CIMInstance state{CIMName(kDefineStateClass)};
  setProperty(state, "ManagedElement", CIMValue(qualified(volume, host, kNamespace)));
  setProperty(state, "SettingData", CIMValue(qualified(aspect.getPath(), host, kNamespace)));
  state.setPath(pathFromKeys(state, {"ManagedElement", "SettingData"}));
  model.store().put(state);
}

// Makes one aspect per volume, named by `names` (made up where empty), when the task ends well.
MethodOutcome createAspects(MethodCall& call, const char* method, const std::vector<CIMObjectPath>& volumes,
                            std::vector<std::string> names, Uint16 syncType) {
  std::vector<Uint64> numbers;
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    numbers.push_back(call.array.nextObjectNumber++);
    if (names[i].empty()) names[i] = "aspect" + std::to_string(numbers.back());
  }
  std::string systemName = call.array.systemName;
  return finishTask(call, method, false, volumes, [=](Model& model, bool succeeded) {
    if (!succeeded) return;
    for (std::size_t i = 0; i < volumes.size(); ++i)
      addAspect(model, systemName, numbers[i], volumes[i], names[i], syncType);
  });
}

MethodOutcome createSynchronizationAspect(MethodCall& call) {
  auto syncType = call.args.uint16("SyncType");
  if (!isSyncType(syncType)) return MethodOutcome::code(kInvalidParameter);
  if (call.args.reference("SourceGroup")) return MethodOutcome::code(kNotSupported);  // no replication groups
  auto source = call.args.reference("SourceElement");
  if (!source || !isVolumeOf(call, *source)) return MethodOutcome::code(kInvalidParameter);
  return createAspects(call, "CreateSynchronizationAspect", {call.model.store().find(*source)->getPath()},
                       {call.args.string("Name").value_or("")}, *syncType);
}

MethodOutcome createListSynchronizationAspect(MethodCall& call) {
  auto syncType = call.args.uint16("SyncType");
  auto sources = call.args.references("SourceElements");
  if (!isSyncType(syncType) || !sources || sources->empty()) return MethodOutcome::code(kInvalidParameter);
  std::vector<std::string> names = call.args.strings("Names").value_or(std::vector<std::string>());
  if (names.empty()) names.resize(sources->size());
  if (names.size() != sources->size()) return MethodOutcome::code(kInvalidParameter);
  std::vector<CIMObjectPath> volumes;
  for (const CIMObjectPath& source : *sources) {
    if (!isVolumeOf(call, source)) return MethodOutcome::code(kInvalidParameter);
    volumes.push_back(call.model.store().find(source)->getPath());
  }
  return createAspects(call, "CreateListSynchronizationAspect", volumes, names, *syncType);
}

// Returns the aspects behind the settings-define-state associations to the array.
MethodOutcome modifySettingsStates(MethodCall& call, const char* method, const std::vector<CIMObjectPath>& refs) {
  auto operation = call.args.uint16("Operation");
  if (!operation || refs.empty()) return MethodOutcome::code(kInvalidParameter);
  std::vector<CIMObjectPath> states, aspects;
  for (const CIMObjectPath& ref : refs) {
    const CIMInstance* state = call.model.store().find(ref);
    if (!state || !ClassHierarchy::instance().isA(state->getClassName().getString().str(), "CIM_SettingsDefineState"))
      return MethodOutcome::code(kInvalidParameter);
    states.push_back(state->getPath());
    aspects.push_back(referenceProperty(*state, "SettingData"));
  }
  if (*operation != kOpReturnToResourcePool) return MethodOutcome::code(kNotSupported);
  return finishTask(call, method, false, {}, [states, aspects](Model& model, bool succeeded) {
    if (!succeeded) return;
    for (const CIMObjectPath& state : states) model.store().remove(state);
    for (const CIMObjectPath& aspect : aspects) model.store().remove(aspect);
  });
}

}  // namespace

bool runReplicationAspectMethod(MethodCall& call, const std::string& name, MethodOutcome& outcome) {
  if (name == "createsynchronizationaspect") {
    outcome = createSynchronizationAspect(call);
  } else if (name == "createlistsynchronizationaspect") {
    outcome = createListSynchronizationAspect(call);
  } else if (name == "modifysettingsdefinestate") {
    auto state = call.args.reference("SettingsState");
    outcome = state ? modifySettingsStates(call, "ModifySettingsDefineState", {*state})
                    : MethodOutcome::code(kInvalidParameter);
  } else if (name == "modifylistsettingsdefinestate") {
    auto states = call.args.references("SettingsStates");
    outcome = states ? modifySettingsStates(call, "ModifyListSettingsDefineState", *states)
                     : MethodOutcome::code(kInvalidParameter);
  } else {
    return false;
  }
  return true;
}

}  // namespace smissim
