// Methods of the storage configuration service: virtual and physical copies, their synchronizations, and
// volume creation, growth and deletion.
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
constexpr Uint16 kUnSyncAssoc = 4, kUnSyncUnAssoc = 5;
constexpr Uint16 kFullCopy = 2, kAfterDelta = 4;
constexpr Uint16 kSyncInitialized = 2, kResyncInProgress = 5, kRestoreInProgress = 10, kIdle = 11, kBroken = 12,
                 kFrozen = 14, kCopyInProgress = 15;
constexpr Uint16 kDetach = 2, kResync = 4, kRestore = 5, kStartCopy = 12, kStopCopy = 13;

const CIMInstance* volumeOn(MethodCall& call, const CIMObjectPath& path) {
  const CIMInstance* volume = call.model.store().find(path);
  if (!volume || !ClassHierarchy::instance().isA(volume->getClassName().getString().str(), "CIM_StorageVolume"))
    return nullptr;
  return stringProperty(*volume, "SystemName") == call.array.systemName ? volume : nullptr;
}

void setSyncState(Model& model, const CIMObjectPath& sync, Uint16 state) {
  if (CIMInstance* instance = model.store().findMutable(sync)) setProperty(*instance, "SyncState", CIMValue(state));
}

// ----- CreateReplica: a virtual copy -----

MethodOutcome createReplica(MethodCall& call) {
  const MethodArgs& args = call.args;
  auto copyType = args.uint16("CopyType");
  auto sourcePath = args.reference("SourceElement");
  if (!copyType || !sourcePath) return MethodOutcome::code(kInvalidParameter);
  if (*copyType != kUnSyncAssoc) return MethodOutcome::code(kInvalidParameter);
  const CIMInstance* sourceInstance = volumeOn(call, *sourcePath);
  if (!sourceInstance) return MethodOutcome::code(arrayCode(call.model, kSourceNotFound));
  CIMInstance source = *sourceInstance;
  if (auto pool = args.reference("TargetPool")) {
    CIMObjectPath base = call.model.familyBase(source.getPath());
    const CIMInstance* baseVolume = call.model.store().find(base);
    CIMObjectPath delta = call.model.deltaPoolFor(call.array, baseVolume ? *baseVolume : source);
    if (identityOf(*pool) != identityOf(delta)) return MethodOutcome::code(kInvalidParameter);
  }
  std::string name = args.string("ElementName").value_or("");
  if (name.empty())
    name = stringProperty(source, "ElementName").substr(0, 20) + ".vc" + std::to_string(call.array.nextObjectNumber++);
  if (!isValidName(name)) return MethodOutcome::code(kInvalidParameter);
  if (call.model.findVolumeByName(call.array, name)) return MethodOutcome::code(arrayCode(call.model, kNameInUse));

  CIMObjectPath base = call.model.familyBase(source.getPath());
  if (call.model.familyCopyCount(base) >= call.model.settings().maxSnapshotsPerBase)
    return MethodOutcome::code(arrayCode(call.model, kSnapshotLimit));
  if (uint16Property(source, "Access", 3) == 1) {
    unsigned readWriteChildren = 0;
    for (const CIMInstance* sync : call.model.synchronizations(source.getPath(), true))
      if (uint16Property(*sync, "ReplicaType") == kAfterDelta) ++readWriteChildren;
    if (readWriteChildren >= call.model.settings().maxReadWriteCopiesPerReadOnly)
      return MethodOutcome::code(arrayCode(call.model, kSnapshotLimit));
  }

  CIMObjectPath copy = call.model.addVirtualCopy(call.array, source, name);
  MethodOutcome outcome;
  outcome.addReference("TargetElement", copy, call.model);
  return finishTask(call, "CreateReplica", false, {source.getPath(), copy}, nullptr, outcome);
}

// ----- CreateOrModifyElementFromStoragePool: create or grow a volume -----

MethodOutcome growVolume(MethodCall& call, const CIMObjectPath& elementPath) {
  const CIMInstance* found = volumeOn(call, elementPath);
  if (!found) return MethodOutcome::code(kInvalidParameter);
  auto size = call.args.uint64("Size");
  if (!size) return MethodOutcome::code(kInvalidParameter);
  Uint64 blockSize = uint64Property(*found, "BlockSize", kBlockSize);
  Uint64 blocks = (*size + blockSize - 1) / blockSize;
  if (blocks < uint64Property(*found, "NumberOfBlocks")) return MethodOutcome::code(kSizeNotSupported);
  CIMObjectPath path = found->getPath();
  call.model.growVolume(path, blocks);
  MethodOutcome outcome;
  outcome.addReference("TheElement", path, call.model);
  outcome.out.emplace_back(String("Size"), CIMValue(blocks * blockSize));
  return finishTask(call, "CreateOrModifyElementFromStoragePool", false, {path}, nullptr, outcome);
}

// The CPG named by a Goal setting ("...VolumeSetting from DynamicStoragePool <CPG>"), with its provisioning.
bool cpgFromGoal(MethodCall& call, const CIMObjectPath& goal, std::string& cpg, bool& thin) {
  const CIMInstance* setting = call.model.store().find(goal);
  if (!setting) return false;
  std::string id = stringProperty(*setting, "InstanceID");
  const std::string marker = " from DynamicStoragePool ";
  auto at = id.find(marker);
  if (at == std::string::npos) return false;
  cpg = id.substr(at + marker.size());
  thin = booleanProperty(*setting, "ThinProvisioned");
  return true;
}

MethodOutcome createOrModifyElement(MethodCall& call) {
  const MethodArgs& args = call.args;
  if (auto element = args.reference("TheElement")) return growVolume(call, *element);

  auto elementType = args.uint16("ElementType");
  std::string name = args.string("ElementName").value_or("");
  Uint64 size = args.uint64("Size").value_or(0);
  if (!isValidName(name) || size == 0 || !elementType || (*elementType != 2 && *elementType != 5))
    return MethodOutcome::code(kInvalidParameter);
  VolumeSpec spec;
  spec.name = name;
  spec.sizeBytes = size;
  spec.thin = *elementType == 5;
  if (auto goal = args.reference("Goal")) {
    bool goalThin = spec.thin;
    if (!cpgFromGoal(call, *goal, spec.cpg, goalThin) || goalThin != spec.thin)
      return MethodOutcome::code(kInvalidParameter);
  }
  if (auto poolPath = args.reference("InPool")) {
    const CIMInstance* pool = call.model.store().find(*poolPath);
    if (!pool) return MethodOutcome::code(kInvalidParameter);
    bool isCpg = pool->getClassName() == CIMName("TPD_DynamicStoragePool");
    if (!isCpg && spec.thin) return MethodOutcome::code(kInvalidParameter);
    std::string poolName = isCpg ? stringProperty(*pool, "ElementName") : "";
    if (!spec.cpg.empty() && !String::equalNoCase(String(spec.cpg), String(poolName)))
      return MethodOutcome::code(kInvalidParameter);
    spec.cpg = poolName;
    if (isCpg && !call.model.findCpg(call.array, poolName))
      return MethodOutcome::code(kInvalidParameter);  // a CPG of another array
  } else if (spec.thin && spec.cpg.empty()) {
    return MethodOutcome::code(kInvalidParameter);
  }
  if (call.model.findVolumeByName(call.array, name)) return MethodOutcome::code(kFailed);
  CIMObjectPath volume;
  try {
    volume = call.model.addVolume(call.array, spec);
  } catch (const ModelError&) {
    return MethodOutcome::code(kInvalidParameter);
  }
  const CIMInstance* created = call.model.store().find(volume);
  MethodOutcome outcome;
  outcome.addReference("TheElement", volume, call.model);
  outcome.out.emplace_back(String("Size"), CIMValue(uint64Property(*created, "NumberOfBlocks") * kBlockSize));
  // A creation whose job fails leaves no volume behind.
  std::string serial = call.array.serial;
  return finishTask(
      call, "CreateOrModifyElementFromStoragePool", false, {volume},
      [serial, volume](Model& model, bool succeeded) {
        if (StorageArray* array = succeeded ? nullptr : model.arrayBySerial(serial)) model.removeVolume(*array, volume);
      },
      outcome);
}

// ----- AttachOrModifyReplica: a physical copy -----

MethodOutcome attachReplica(MethodCall& call) {
  const MethodArgs& args = call.args;
  auto copyType = args.uint16("CopyType");
  auto sourcePath = args.reference("SourceElement");
  auto targetPath = args.reference("TargetElement");
  if (!copyType || !sourcePath || !targetPath) return MethodOutcome::code(kInvalidParameter);
  if (*copyType != kUnSyncAssoc && *copyType != kUnSyncUnAssoc) return MethodOutcome::code(kInvalidParameter);
  const CIMInstance* source = volumeOn(call, *sourcePath);
  const CIMInstance* target = volumeOn(call, *targetPath);
  if (!source || !target || identityOf(source->getPath()) == identityOf(target->getPath()))
    return MethodOutcome::code(kInvalidParameter);
  for (const CIMInstance* sync : call.model.synchronizations(target->getPath(), false))
    if (identityOf(referenceProperty(*sync, "SystemElement")) != identityOf(source->getPath()))
      return MethodOutcome::code(kInUse);
  if (uint16Property(*target, "VolumeType") != 1 || call.model.isExposed(target->getPath()) ||
      uint64Property(*target, "NumberOfBlocks") < uint64Property(*source, "NumberOfBlocks"))
    return MethodOutcome::code(kFailed);

  CIMObjectPath sourceVolume = source->getPath(), targetVolume = target->getPath();
  for (const CIMInstance* sync : call.model.synchronizations(targetVolume, false)) {
    CIMObjectPath existing = sync->getPath();
    call.model.store().remove(existing);
    break;
  }
  CIMObjectPath sync =
      call.model.addSynchronization(sourceVolume, targetVolume, *copyType, kFullCopy, kSyncInitialized);
  setSyncState(call.model, sync, kCopyInProgress);
  Uint16 type = *copyType;
  return finishTask(call, "AttachOrModifyReplica", true, {sourceVolume, targetVolume},
                    [sync, type](Model& model, bool succeeded) {
                      if (succeeded && type == kUnSyncUnAssoc)
                        model.store().remove(sync);
                      else
                        setSyncState(model, sync, succeeded ? kFrozen : kBroken);
                    });
}

// ----- ModifySynchronization: detach, resync, restore -----

// Puts the pair in `running` and answers with a job that leaves it in `done`, or broken when the job fails.
MethodOutcome pairJob(MethodCall& call, const CIMObjectPath& pair, std::vector<CIMObjectPath> affected, Uint16 running,
                      Uint16 done) {
  setSyncState(call.model, pair, running);
  return finishTask(call, "ModifySynchronization", true, affected, [pair, done](Model& model, bool succeeded) {
    setSyncState(model, pair, succeeded ? done : kBroken);
  });
}

MethodOutcome modifySynchronization(MethodCall& call) {
  auto operation = call.args.uint16("Operation");
  auto syncPath = call.args.reference("Synchronization");
  if (!operation || !syncPath) return MethodOutcome::code(kInvalidParameter);
  const CIMInstance* sync = call.model.store().find(*syncPath);
  if (!sync || !ClassHierarchy::instance().isA(sync->getClassName().getString().str(), "CIM_StorageSynchronized"))
    return MethodOutcome::code(kFailed);
  CIMObjectPath pair = sync->getPath();
  CIMObjectPath source = referenceProperty(*sync, "SystemElement");
  CIMObjectPath target = referenceProperty(*sync, "SyncedElement");
  bool physical = uint16Property(*sync, "ReplicaType") == kFullCopy;
  Uint16 state = uint16Property(*sync, "SyncState");

  switch (*operation) {
    case kDetach:
      if (!physical) return MethodOutcome::code(kInvalidParameter);
      if (state == kResyncInProgress || state == kCopyInProgress || state == kSyncInitialized)
        return MethodOutcome::code(kFailed);
      if (call.model.settings().keepPairAfterDetach)
        setSyncState(call.model, pair, kIdle);
      else
        call.model.store().remove(pair);
      return finishTask(call, "ModifySynchronization", false, {}, nullptr);
    case kResync:
    case kStartCopy:
      if (!physical) return MethodOutcome::code(kInvalidParameter);
      if (state == kBroken || call.model.isExposed(target)) return MethodOutcome::code(kFailed);
      return pairJob(call, pair, {source, target}, kResyncInProgress, kFrozen);
    case kRestore:
      if (physical) return MethodOutcome::code(kInvalidParameter);
      if (call.model.isExposed(source) || call.model.isExposed(target)) return MethodOutcome::code(kFailed);
      return pairJob(call, pair, {source, target}, kRestoreInProgress, kIdle);
    case kStopCopy:
      if (!physical) return MethodOutcome::code(kInvalidParameter);
      setSyncState(call.model, pair, kFrozen);
      return finishTask(call, "ModifySynchronization", false, {}, nullptr);
    case 3:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
      return MethodOutcome::code(kNotSupported);
    default:
      return MethodOutcome::code(kInvalidParameter);
  }
}

// ----- ReturnToStoragePool: delete a volume -----

MethodOutcome returnToStoragePool(MethodCall& call) {
  auto elementPath = call.args.reference("TheElement");
  if (!elementPath) return MethodOutcome::code(kInvalidParameter);
  const CIMInstance* volume = volumeOn(call, *elementPath);
  if (!volume) throw CIMException(CIM_ERR_NOT_FOUND, String("no such volume: " + elementPath->toString().str()));
  CIMObjectPath path = volume->getPath();
  if (call.model.isExposed(path)) return MethodOutcome::code(kInUse);
  for (const CIMInstance* sync : call.model.synchronizations(path, true))
    if (uint16Property(*sync, "ReplicaType") == kAfterDelta)
      return MethodOutcome::code(kFailed);  // a volume with copies cannot go
  for (const CIMInstance* sync : call.model.synchronizations(path, false)) {
    Uint16 state = uint16Property(*sync, "SyncState");
    if (state == kResyncInProgress || state == kCopyInProgress || state == kRestoreInProgress)
      return MethodOutcome::code(kInUse);
  }
  // The volume goes when the deletion ends well; a failed job leaves it.
  std::string serial = call.array.serial;
  return finishTask(call, "ReturnToStoragePool", false, {path}, [serial, path](Model& model, bool succeeded) {
    if (StorageArray* array = succeeded ? model.arrayBySerial(serial) : nullptr) model.removeVolume(*array, path);
  });
}

}  // namespace

MethodOutcome runStorageConfigurationMethod(MethodCall& call, const std::string& method) {
  const std::string name = lowerCase(method);
  if (name == "createreplica") return createReplica(call);
  if (name == "createormodifyelementfromstoragepool") {
    // Volumes of the model's own kind belong on 3PAR arrays; a family with volumes of its own creates them.
    if (call.array.profile) throw CIMException(CIM_ERR_METHOD_NOT_FOUND, String(method));
    return createOrModifyElement(call);
  }
  if (name == "attachormodifyreplica" || name == "attachreplica")  // the older name, without Goal and pipe
    return attachReplica(call);
  if (name == "modifysynchronization") return modifySynchronization(call);
  if (name == "returntostoragepool") return returnToStoragePool(call);
  throw CIMException(CIM_ERR_METHOD_NOT_FOUND, String(method));
}

}  // namespace smissim
