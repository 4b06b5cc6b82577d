// Space of the model's pools: capacities given by a seed, and a volume's growth charged to its pool.
#include "ModelHelpers.h"
#include "Properties.h"
#include "smis-sim/Model.h"

using namespace Pegasus;

namespace smissim {

void Model::seedPoolSpace(const CIMObjectPath& poolPath, const Json& json) {
  CIMInstance* pool = store_.findMutable(poolPath);
  if (!pool || !json.isObject()) return;
  const std::pair<const char*, const char*> keys[] = {{"totalManagedSpace", "TotalManagedSpace"},
                                                      {"remainingManagedSpace", "RemainingManagedSpace"},
                                                      {"currentSpaceConsumed", "CurrentSpaceConsumed"},
                                                      {"usedSnapAdminSpace", "UsedSnapAdminSpace"}};
  for (const auto& key : keys)
    if (json.has(key.first)) setProperty(*pool, key.second, CIMValue(Uint64(json.getUint64(key.first))));
}

void Model::growVolume(const CIMObjectPath& volumePath, Uint64 blocks) {
  CIMInstance* volume = store_.findMutable(volumePath);
  if (!volume) return;
  Uint64 blockSize = uint64Property(*volume, "BlockSize", kBlockSize);
  Uint64 added = (blocks - uint64Property(*volume, "NumberOfBlocks")) * blockSize;
  setProperty(*volume, "NumberOfBlocks", CIMValue(blocks));
  setProperty(*volume, "ConsumableBlocks", CIMValue(blocks));
  if (booleanProperty(*volume, "ThinlyProvisioned")) return;
  // A fully provisioned volume takes the added space from its pool at once.
  setProperty(*volume, "ProvisionedConsumableBlocks", CIMValue(blocks));
  for (const auto& link : store_.linksOf(volumePath)) {
    if (link.association->getClassName() != CIMName("TPD_AllocatedFromStoragePool") || link.role != "Dependent")
      continue;
    CIMObjectPath associationPath = link.association->getPath();
    if (CIMInstance* allocation = store_.findMutable(associationPath))
      setProperty(*allocation, "SpaceConsumed", CIMValue(uint64Property(*allocation, "SpaceConsumed") + added));
    adjustPoolSpace(link.other, added, true);
    break;
  }
}

}  // namespace smissim
