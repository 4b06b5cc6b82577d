// One array's turn of the inventory call: read its login from the database, connect to its provider, list
// its volumes and pools, and bring the database's records of that array up to date.
//
// Listed pools and their volumes are refreshed or added (new volumes and LUNs with temporary ids -1, -2,
// ... counted per array); records of pools and volumes that are no longer on the array are marked deleted
// (state 2, inactive), with the LUNs of a deleted volume. When either list failed (or the provider failed
// or refused the login while listing), what was listed is still refreshed and added, but nothing of the array is marked
// deleted and the array's totals are kept: an incomplete list says nothing about what is gone.
#pragma once

#include "InventoryDatabase.h"
#include "TQOSUtil.h"

namespace tqengine {

enum class ArrayTurnResult {
  kCollected,     // the array was visited (its lists may have failed)
  kSkipped,       // its name, login or password could not be had
  kNotConnected,  // its provider could not be reached
};

const char kInventoryTag[] = "TQSO3PARAPI::tqso_getArrayInfo";

ArrayTurnResult CollectArray(TQSO::ArrayReportDB* db, TQSO::ArrayRecord* array, TQSO::TQOSUtil* osUtil,
                             unsigned long long jobId);

}  // namespace tqengine
