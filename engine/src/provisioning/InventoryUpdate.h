// Bringing the database's records of one array up to date with the array's listed pools and volumes.
#pragma once

#include <string>
#include <vector>

#include "HP3ParRecords.h"
#include "InventoryDatabase.h"

namespace tqengine {

// What one array's turn works with.
struct InventoryArray {
  TQSO::ArrayReportDB* db = nullptr;
  TQSO::ArrayRecord* record = nullptr;
  unsigned long long jobId = 0;
  int arrayId = 0;
  int clientId = 0;
  std::vector<HP3PAR::VolumeInfo_t> volumes;
  std::vector<HP3PAR::PoolInfo_t> pools;
  int lastVolumeId = 0;  // temporary ids of new volumes and LUNs: -1, -2, ...
  int lastLunId = 0;
};

// The array record's totals (summed over the listed pools).
void UpdateArrayTotals(InventoryArray& array);
// Refreshes or adds each listed pool and the listed volumes in it (with their LUNs).
void RefreshPoolsAndVolumes(InventoryArray& array);
// Marks deleted the pool and volume records (and the volumes' LUNs) that the lists do not hold.
void MarkDeletedPools(InventoryArray& array);
void MarkDeletedVolumes(InventoryArray& array);

}  // namespace tqengine
