#include "InventoryUpdate.h"

#include <algorithm>

#include "EvDebug.h"
#include "InventoryCollection.h"

namespace tqengine {

namespace {

const int64_t kBytesPerMB = 1048576;
const int kPoolNameCapacity = 256;
const int kVolumeNameCapacity = 4096;
const int kPoolStatusOk = 2;
const uint64_t kVolumeStatusError = 6;
const int kDeletedState = 2;

int VolumeState(const HP3PAR::VolumeInfo_t& volume) { return volume.opStatus == kVolumeStatusError ? 1 : 0; }

void RefreshPool(TQSO::PoolRecord* record, const HP3PAR::PoolInfo_t& pool) {
  record->setActive(1);
  record->setRefreshMark(0);
  record->setTotalMB(static_cast<int64_t>(pool.totalMB));
  record->setUsedMB(static_cast<int64_t>(pool.usedMB));
  record->setFreeMB(pool.freeMB);
  record->setVolumeCount(pool.volumeCount);
  record->setUUID(pool.uuid.c_str());
  record->setState(pool.opStatus == kPoolStatusOk ? 0 : 1);
}

void RefreshLun(TQSO::LunRecord* record, const HP3PAR::VolumeInfo_t& volume) {
  const int64_t size = static_cast<int64_t>(volume.sizeMB), used = static_cast<int64_t>(volume.usedMB);
  record->setActive(1);
  record->setRefreshMark(0);
  record->setSizeBytes(size * kBytesPerMB);
  record->setUsedBytes(used * kBytesPerMB);
  record->setFreeBytes((size - used) * kBytesPerMB);
  record->setLunNumber(-1);
  record->setName(volume.volumeName.c_str());
  record->setVolumeName(volume.volumeName.c_str());
  record->setUniqueId(volume.volumeId.c_str());
  record->setState(VolumeState(volume));
}

void RefreshVolume(InventoryArray& array, TQSO::VolumeRecord* record, int volumeId, const HP3PAR::VolumeInfo_t& volume,
                   int poolId, bool newPool) {
  const int64_t size = static_cast<int64_t>(volume.sizeMB), used = static_cast<int64_t>(volume.usedMB);
  record->setActive(1);
  record->setRefreshMark(0);
  record->setSizeMB(size);
  record->setUsedMB(used);
  record->setFreeMB(std::max<int64_t>(size - used, 0));
  record->setName(volume.volumeName.c_str());
  record->setUniqueId(volume.volumeId.c_str());
  record->setState(VolumeState(volume));
  record->setPoolId(poolId);
  o_logger.DebugLvl(kInventoryTag, 0, array.jobId,
                    newPool ? "Storage poolID [%d] of the volume - New Resource Pool"
                            : "Storage poolID [%d] of the volume - Existing Resource Pool",
                    poolId);
  TQSO::LunRecord* lun = nullptr;
  const char* name = volume.volumeName.c_str();
  if (array.db->findLun(lun, name, name, volumeId) == 0 && lun != nullptr) RefreshLun(lun, volume);
}

void AddVolume(InventoryArray& array, const HP3PAR::VolumeInfo_t& volume, int poolId) {
  const int volumeId = --array.lastVolumeId;
  const int errorFlag = VolumeState(volume);
  const char* name = volume.volumeName.c_str();
  const int64_t size = static_cast<int64_t>(volume.sizeMB), used = static_cast<int64_t>(volume.usedMB);
  o_logger.DebugLvl(kInventoryTag, 0, array.jobId, "Volume Unigue ID[%s]", volume.volumeId.c_str());
  if (array.db->addVolume(volumeId, array.record->getClientId(), name, name, size, used, volume.volumeId.c_str(),
                          errorFlag, poolId, "") != 0) {
    o_logger.DebugLvl(kInventoryTag, -1, array.jobId, "Failed to add new volume[%s]", name);
    return;
  }
  o_logger.DebugLvl(kInventoryTag, 0, array.jobId, "Added new volume[%s] to DB with POOLID=[%d]", name, poolId);
  const int lunId = --array.lastLunId;
  if (array.db->addLun(lunId, volumeId, name, name, size * kBytesPerMB, used * kBytesPerMB, volume.volumeId.c_str(),
                       errorFlag, "") != 0)
    o_logger.DebugLvl(kInventoryTag, -1, array.jobId, "Failed to add the new lun[%s]", name);
}

void RefreshVolumesOfPool(InventoryArray& array, const HP3PAR::PoolInfo_t& pool, int poolId, bool newPool) {
  for (const HP3PAR::VolumeInfo_t& volume : array.volumes) {
    if (volume.poolName != pool.poolKey) continue;
    TQSO::VolumeRecord* record = nullptr;
    int volumeId = 0;
    const char* name = volume.volumeName.c_str();
    if (array.db->findVolume(record, volumeId, name, name, array.clientId) == 0 && record != nullptr)
      RefreshVolume(array, record, volumeId, volume, poolId, newPool);
    else
      AddVolume(array, volume, poolId);
  }
}

// The pool's database id (added when new); false when it could not be added.
bool PoolIdOf(InventoryArray& array, const HP3PAR::PoolInfo_t& pool, int& poolId, bool& newPool) {
  TQSO::PoolRecord* record = nullptr;
  int clientId = array.clientId;
  newPool = false;
  if (array.db->findPool(record, poolId, pool.poolName.c_str(), &clientId) == 0 && record != nullptr) {
    RefreshPool(record, pool);
    return true;
  }
  if (array.db->addPool(array.arrayId, array.record->getClientId(), pool.poolName.c_str(),
                        static_cast<int64_t>(pool.totalMB), static_cast<int64_t>(pool.usedMB), pool.uuid.c_str(),
                        pool.opStatus, "", poolId, pool.volumeCount) != 0) {
    o_logger.DebugLvl(kInventoryTag, -1, array.jobId, "Failed to add details for Resource Pool [%s] to the DB.",
                      pool.poolName.c_str());
    return false;
  }
  o_logger.DebugLvl(kInventoryTag, 0, array.jobId, "Added Resource Pool [%s] to the DB.", pool.poolName.c_str());
  o_logger.DebugLvl(kInventoryTag, 0, array.jobId, "Storage PoolID [%d] to the DB.", poolId);
  newPool = true;
  return true;
}

}  // namespace

void UpdateArrayTotals(InventoryArray& array) {
  int64_t totalMB = 0, freeMB = 0;
  for (const HP3PAR::PoolInfo_t& pool : array.pools) {
    totalMB += static_cast<int64_t>(pool.totalMB);
    freeMB += pool.freeMB;
  }
  array.record->setTotalMB(totalMB);
  array.record->setFreeMB(freeMB);
}

void RefreshPoolsAndVolumes(InventoryArray& array) {
  for (const HP3PAR::PoolInfo_t& pool : array.pools) {
    int poolId = 0;
    bool newPool = false;
    if (PoolIdOf(array, pool, poolId, newPool)) RefreshVolumesOfPool(array, pool, poolId, newPool);
  }
}

void MarkDeletedPools(InventoryArray& array) {
  TQSO::PoolRecord** records = nullptr;
  int count = 0;
  if (array.db->getPoolRecords(records, count, array.clientId) != 0) return;
  for (int i = 0; i < count; ++i) {
    std::vector<char> name(kPoolNameCapacity, '\0');
    int poolId = 0;
    if (records[i] == nullptr || records[i]->getName(name.data(), kPoolNameCapacity, &poolId) != 0) {
      // An unreadable record is left as it is, as a volume record would be.
      o_logger.DebugLvl(kInventoryTag, -1, array.jobId, "Failed to get storage pool details!!!");
      continue;
    }
    name.back() = '\0';
    const std::string poolName = name.data();
    const bool present = std::any_of(array.pools.begin(), array.pools.end(),
                                     [&](const HP3PAR::PoolInfo_t& pool) { return pool.poolName == poolName; });
    if (present) continue;
    records[i]->setState(kDeletedState);
    records[i]->setActive(0);
  }
}

void MarkDeletedVolumes(InventoryArray& array) {
  TQSO::VolumeRecord** records = nullptr;
  int count = 0;
  if (array.db->getVolumeRecords(records, count, array.clientId) != 0) return;
  for (int i = 0; i < count; ++i) {
    std::vector<char> name(kVolumeNameCapacity, '\0'), text(kVolumeNameCapacity, '\0');
    int volumeId = 0;
    if (records[i] == nullptr ||
        records[i]->getDetails(name.data(), kVolumeNameCapacity, text.data(), kVolumeNameCapacity, &volumeId) != 0)
      continue;
    name.back() = '\0';
    const std::string volumeName = name.data();
    const bool present =
        std::any_of(array.volumes.begin(), array.volumes.end(),
                    [&](const HP3PAR::VolumeInfo_t& volume) { return volume.volumeName == volumeName; });
    if (present) continue;
    o_logger.DebugLvl(kInventoryTag, 0, array.jobId, "Volume:[%s] not found on the array. Marking this as Deleted.",
                      volumeName.c_str());
    records[i]->setState(kDeletedState);
    records[i]->setActive(0);
    TQSO::LunRecord** luns = nullptr;
    int lunCount = 0;
    if (array.db->getLunRecords(luns, lunCount, volumeId) != 0) continue;
    for (int j = 0; j < lunCount; ++j) {
      if (luns[j] == nullptr) continue;
      o_logger.DebugLvl(kInventoryTag, -1, array.jobId,
                        "LUN:[%s] not found on the array. Marking this as Deleted in SMLUN.", volumeName.c_str());
      luns[j]->setState(kDeletedState);
      luns[j]->setActive(0);
    }
  }
}

}  // namespace tqengine
