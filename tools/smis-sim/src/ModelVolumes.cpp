// The model's volumes, virtual copies and synchronizations.
#include "smis-sim/Model.h"

#include <algorithm>

#include "ClassHierarchy.h"
#include "ModelHelpers.h"
#include "Properties.h"

using namespace Pegasus;

namespace smissim {

CIMObjectPath Model::addVolume(StorageArray& array, const VolumeSpec& spec) { return createVolume(array, spec, true); }

CIMObjectPath Model::createVolume(StorageArray& array, const VolumeSpec& spec, bool roundSize) {
  requireNewName("volume", spec.name, array.volumeWwnByName.count(spec.name) > 0);
  CIMObjectPath pool = array.concretePool;
  if (!spec.cpg.empty()) {
    const CIMInstance* cpg = findCpg(array, spec.cpg);
    if (!cpg) throw ModelError("no CPG " + spec.cpg + " on array " + array.serial);
    pool = cpg->getPath();
  } else if (spec.thin) {
    throw ModelError("a thin volume needs a CPG");
  }
  std::string wwn = spec.wwn.empty() ? newWwn(array) : upperCase(spec.wwn);
  if (volumesByWwn_.count(wwn)) throw ModelError("WWN " + wwn + " is in use");
  Uint64 size = spec.sizeBytes;
  if (roundSize && settings_.sizeRoundingBytes > 0)
    size = (size + settings_.sizeRoundingBytes - 1) / settings_.sizeRoundingBytes * settings_.sizeRoundingBytes;
  Uint64 blocks = (size + kBlockSize - 1) / kBlockSize;

  CIMInstance volume{CIMName("TPD_StorageVolume")};
  setProperty(volume, "SystemCreationClassName", CIMValue("TPD_StorageSystem"));
  setProperty(volume, "SystemName", CIMValue(String(array.systemName)));
  setProperty(volume, "CreationClassName", CIMValue("TPD_StorageVolume"));
  setProperty(volume, "DeviceID", CIMValue(String(wwn)));
  setProperty(volume, "Name", CIMValue(String(wwn)));
  setProperty(volume, "ElementName", CIMValue(String(spec.name)));
  setProperty(volume, "Caption", CIMValue(String(spec.name)));
  setProperty(volume, "BlockSize", CIMValue(kBlockSize));
  setProperty(volume, "NumberOfBlocks", CIMValue(blocks));
  setProperty(volume, "ConsumableBlocks", CIMValue(blocks));
  setProperty(volume, "ProvisionedConsumableBlocks", CIMValue(spec.thin ? Uint64(0) : blocks));
  setProperty(volume, "ThinlyProvisioned", CIMValue(spec.thin));
  setProperty(volume, "UserDSPName", CIMValue(String(spec.cpg)));
  setProperty(volume, "VolumeType", CIMValue(Uint16(1)));
  setProperty(volume, "Access", CIMValue(Uint16(3)));
  setProperty(volume, "NameFormat", CIMValue(Uint16(2)));
  setProperty(volume, "OperationalStatus", uint16Array({2}));
  volume.setPath(pathFromKeys(volume, {"SystemCreationClassName", "SystemName", "CreationClassName", "DeviceID"}));
  store_.put(volume);
  Uint64 consumed = spec.thin ? Uint64(0) : blocks * kBlockSize;
  link("TPD_AllocatedFromStoragePool", "Antecedent", pool, "Dependent", volume.getPath(),
       {{"SpaceConsumed", CIMValue(consumed)}});
  adjustPoolSpace(pool, consumed, true);
  link("TPD_SystemDevice", "GroupComponent", array.system, "PartComponent", volume.getPath());
  array.volumeWwnByName[spec.name] = wwn;
  volumesByWwn_[wwn] = volume.getPath();
  return volume.getPath();
}

const CIMInstance* Model::findVolumeByName(StorageArray& array, const std::string& name) {
  auto it = array.volumeWwnByName.find(name);
  return it == array.volumeWwnByName.end() ? nullptr : findVolumeByWwn(it->second);
}

const CIMInstance* Model::findVolumeByWwn(const std::string& wwn) const {
  auto it = volumesByWwn_.find(upperCase(wwn));
  return it == volumesByWwn_.end() ? nullptr : store_.find(it->second);
}

CIMObjectPath Model::volumePath(const std::string& wwn) const {
  auto it = volumesByWwn_.find(upperCase(wwn));
  return it == volumesByWwn_.end() ? CIMObjectPath() : it->second;
}

void Model::removeVolume(StorageArray& array, const CIMObjectPath& volumePath) {
  const CIMInstance* volume = store_.find(volumePath);
  if (!volume) return;
  std::string wwn = stringProperty(*volume, "Name");
  array.volumeWwnByName.erase(stringProperty(*volume, "ElementName"));
  CIMObjectPath path = volume->getPath();
  for (const auto& link : store_.linksOf(path))
    if (link.association->getClassName() == CIMName("TPD_AllocatedFromStoragePool") && link.role == "Dependent")
      adjustPoolSpace(link.other, uint64Property(*link.association, "SpaceConsumed"), false);
  if (const auto deltaPool = firstLinkOf(path, "TPD_ReplicaPoolForStorage")) store_.remove(deltaPool->other);
  store_.remove(path);
  volumesByWwn_.erase(wwn);
}

std::vector<const CIMInstance*> Model::synchronizations(const CIMObjectPath& volume, bool asSource) const {
  std::vector<const CIMInstance*> result;
  for (const auto& link : store_.linksOf(volume))
    if (ClassHierarchy::instance().isA(link.association->getClassName().getString().str(), "CIM_StorageSynchronized") &&
        (link.role == "SystemElement") == asSource)
      result.push_back(link.association);
  return result;
}

CIMObjectPath Model::addSynchronization(const CIMObjectPath& source, const CIMObjectPath& target, Uint16 copyType,
                                        Uint16 replicaType, Uint16 syncState) {
  link("TPD_StorageSynchronized", "SystemElement", source, "SyncedElement", target,
       {{"CopyType", CIMValue(copyType)},
        {"ReplicaType", CIMValue(replicaType)},
        {"SyncState", CIMValue(syncState)},
        {"SyncMaintained", CIMValue(false)}});
  CIMInstance probe{CIMName("TPD_StorageSynchronized")};
  setProperty(probe, "SystemElement", CIMValue(qualified(source, settings_.hostName, kNamespace)));
  setProperty(probe, "SyncedElement", CIMValue(qualified(target, settings_.hostName, kNamespace)));
  return pathFromKeys(probe, {"SystemElement", "SyncedElement"});
}

CIMObjectPath Model::familyBase(const CIMObjectPath& volume) const {
  CIMObjectPath current = volume;
  for (int depth = 0; depth < 1000; ++depth) {
    CIMObjectPath parent;
    for (const CIMInstance* sync : synchronizations(current, false))
      if (uint16Property(*sync, "ReplicaType") == 4) parent = referenceProperty(*sync, "SystemElement");
    if (parent.getClassName().isNull()) break;
    current = parent;
  }
  return current;
}

unsigned Model::familyCopyCount(const CIMObjectPath& base) const {
  unsigned count = 0;
  std::vector<CIMObjectPath> pending{base};
  while (!pending.empty()) {
    CIMObjectPath current = pending.back();
    pending.pop_back();
    for (const CIMInstance* sync : synchronizations(current, true)) {
      if (uint16Property(*sync, "ReplicaType") != 4) continue;
      ++count;
      pending.push_back(referenceProperty(*sync, "SyncedElement"));
    }
  }
  return count;
}

CIMObjectPath Model::addVirtualCopy(StorageArray& array, const CIMInstance& source, const std::string& name) {
  CIMObjectPath base = familyBase(source.getPath());
  const CIMInstance* baseVolume = store_.find(base);
  CIMObjectPath deltaPool = deltaPoolFor(array, baseVolume ? *baseVolume : source);
  bool sourceReadOnly = uint16Property(source, "Access", 3) == 1;

  VolumeSpec spec;
  spec.name = name;
  spec.cpg = stringProperty(source, "UserDSPName");
  if (spec.cpg.empty() || !findCpg(array, spec.cpg)) spec.cpg.clear();
  spec.sizeBytes = uint64Property(source, "NumberOfBlocks") * kBlockSize;
  spec.thin = !spec.cpg.empty();
  CIMObjectPath copyPath = createVolume(array, spec, false);

  CIMInstance* copy = store_.findMutable(copyPath);
  setProperty(*copy, "VolumeType", CIMValue(Uint16(2)));
  setProperty(*copy, "Access", CIMValue(Uint16(sourceReadOnly ? 3 : 1)));
  setProperty(*copy, "ThinlyProvisioned", CIMValue(true));
  setProperty(*copy, "ProvisionedConsumableBlocks", CIMValue(Uint64(0)));
  // A copy is allocated from its family's snapshot space, not from the CPG.
  if (const auto allocation = firstLinkOf(copyPath, "TPD_AllocatedFromStoragePool")) {
    const CIMObjectPath association = allocation->association->getPath();
    store_.remove(association);
  }
  link("TPD_AllocatedFromStoragePool", "Antecedent", deltaPool, "Dependent", copyPath,
       {{"SpaceConsumed", CIMValue(Uint64(0))}});
  addSynchronization(source.getPath(), copyPath, 4, 4, 11);
  return copyPath;
}

bool Model::isExposed(const CIMObjectPath& volume) const {
  return antecedentOf(volume, "CIM_ProtocolControllerForUnit").has_value();
}

}  // namespace smissim
