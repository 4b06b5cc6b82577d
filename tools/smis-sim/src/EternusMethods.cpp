// The methods an ETERNUS array runs its own way. CreateElementReplica copies a source into a target the
// caller names (the array makes no target of its own): a snapshot into an SDV or TPV, a clone into a
// Standard volume or TPV, of the source's size; naming the target of the source's pair of the same kind
// again restarts that pair. CreateOrModifyElementFromStoragePool creates a Standard volume in a device group
// or a TPV in a thin-provisioning pool.
#include "ClassHierarchy.h"
#include "EternusArray.h"
#include "ExtrinsicMethods.h"
#include "ModelHelpers.h"
#include "Properties.h"
#include "smis-sim/ReturnCodes.h"

using namespace Pegasus;

namespace smissim {

namespace {

using namespace returnCode;
constexpr Uint16 kSyncClone = 6, kSyncSnapshot = 7, kSyncVendorSnapshot = 32768;
constexpr Uint16 kSynchronized = 6;
constexpr Uint16 kStandardElement = 2, kThinElement = 5;

Uint64 bytesOf(const CIMInstance& volume) {
  return uint64Property(volume, "BlockSize") * uint64Property(volume, "NumberOfBlocks");
}

// Whether a volume of the type can receive a copy of the SyncType.
bool suitsSyncType(const CIMInstance& target, Uint16 syncType) {
  std::optional<EternusVolumeType> type = EternusArray::typeOf(target);
  if (!type) return false;
  if (syncType == kSyncClone) return *type == EternusVolumeType::kStandard || *type == EternusVolumeType::kTpv;
  return *type == EternusVolumeType::kSdv || *type == EternusVolumeType::kTpv;
}

// The pair of this source and SyncType that `target` is the copy of; nullptr when it has no such pair.
const CIMInstance* samePair(const EternusArray& array, const CIMObjectPath& source, const CIMObjectPath& target,
                            Uint16 syncType) {
  for (const CIMInstance* pair : array.pairsOf(target))
    if (identityOf(referenceProperty(*pair, "SyncedElement")) == identityOf(target) &&
        identityOf(referenceProperty(*pair, "SystemElement")) == identityOf(source) &&
        uint16Property(*pair, "SyncType") == syncType)
      return pair;
  return nullptr;
}

MethodOutcome createElementReplica(MethodCall& call) {
  EternusArray array(call.model, call.array);
  auto syncType = call.args.uint16("SyncType");
  auto sourcePath = call.args.reference("SourceElement");
  auto targetPath = call.args.reference("TargetElement");
  if (!syncType || !sourcePath || !targetPath) return MethodOutcome::code(kInvalidParameter);
  if (*syncType != kSyncClone && *syncType != kSyncSnapshot && *syncType != kSyncVendorSnapshot)
    return MethodOutcome::code(kInvalidParameter);
  const CIMInstance* source = array.volume(*sourcePath);
  const CIMInstance* target = array.volume(*targetPath);
  if (!source || !target || identityOf(source->getPath()) == identityOf(target->getPath()) ||
      bytesOf(*source) != bytesOf(*target) || !suitsSyncType(*target, *syncType))
    return MethodOutcome::code(kInvalidParameter);

  CIMObjectPath sourceKey = source->getPath(), targetKey = target->getPath();
  const CIMInstance* restarted = samePair(array, sourceKey, targetKey, *syncType);
  if (!restarted && !array.pairsOf(targetKey).empty()) return MethodOutcome::code(kInUse);
  std::optional<CIMObjectPath> existing;
  if (restarted) existing = restarted->getPath();
  Uint16 type = *syncType;
  MethodOutcome outcome;
  outcome.addReference("TargetElement", targetKey, call);
  return finishTask(
      call, "CreateElementReplica", false, {sourceKey, targetKey},
      [sourceKey, targetKey, type, existing](Model& model, bool succeeded) {
        if (!succeeded) return;
        if (CIMInstance* pair = existing ? model.store().findMutable(*existing) : nullptr) {
          setProperty(*pair, "SyncState", CIMValue(kSynchronized));
          return;
        }
        StorageArray* owner = model.arrayOf(sourceKey);
        if (owner) EternusArray(model, *owner).addPair(sourceKey, targetKey, type, kSynchronized);
      },
      outcome);
}

MethodOutcome createVolume(MethodCall& call) {
  EternusArray array(call.model, call.array);
  const MethodArgs& args = call.args;
  if (args.reference("TheElement")) return MethodOutcome::code(kNotSupported);  // growth is not modelled
  auto elementType = args.uint16("ElementType");
  auto poolPath = args.reference("InPool");
  const std::string name = args.string("ElementName").value_or("");
  const Uint64 size = args.uint64("Size").value_or(0);
  if (!isValidName(name) || size == 0 || !elementType || !poolPath ||
      (*elementType != kStandardElement && *elementType != kThinElement))
    return MethodOutcome::code(kInvalidParameter);
  const CIMInstance* pool = array.pool(*poolPath);
  if (!pool || array.isThinPool(*pool) != (*elementType == kThinElement)) return MethodOutcome::code(kInvalidParameter);
  if (call.array.volumeWwnByName.count(name)) return MethodOutcome::code(kFailed);

  EternusVolumeSpec spec;
  spec.name = name;
  spec.pool = pool->getPath();
  spec.type = *elementType == kThinElement ? EternusVolumeType::kTpv : EternusVolumeType::kStandard;
  spec.blocks = (size + kBlockSize - 1) / kBlockSize;
  CIMObjectPath volume = array.addVolume(spec);
  MethodOutcome outcome;
  outcome.addReference("TheElement", volume, call);
  outcome.out.emplace_back(String("Size"), CIMValue(spec.blocks * kBlockSize));
  // A creation whose job fails leaves no volume behind.
  return finishTask(
      call, "CreateOrModifyElementFromStoragePool", false, {volume},
      [volume](Model& model, bool succeeded) {
        StorageArray* owner = succeeded ? nullptr : model.arrayOf(volume);
        if (owner) EternusArray(model, *owner).removeVolume(volume);
      },
      outcome);
}

bool isServiceOf(const MethodCall& call, const char* serviceClass) {
  return ClassHierarchy::instance().isA(call.target.getClassName().getString().str(), serviceClass);
}

}  // namespace

bool runEternusMethod(MethodCall& call, const std::string& method, MethodOutcome& outcome) {
  if (method == "createelementreplica" && isServiceOf(call, "CIM_ReplicationService")) {
    outcome = createElementReplica(call);
    return true;
  }
  if (method == "createormodifyelementfromstoragepool" && isServiceOf(call, "CIM_StorageConfigurationService")) {
    outcome = createVolume(call);
    return true;
  }
  return false;
}

}  // namespace smissim
