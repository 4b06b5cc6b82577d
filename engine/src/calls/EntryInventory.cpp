// The inventory call: every array of the host's database is collected in turn (see InventoryCollection.h).
// A provider that cannot be reached ends the call with 1; a fault inside one array's turn ends only that
// turn, and the next array is still collected.
#include "EntryGuard.h"
#include "TqsoEntryPoints.h"
#include "provisioning/InventoryCollection.h"

using tqengine::ArrayTurnResult;
using tqengine::GuardedCall;
using tqengine::kInventoryTag;

int tqso_getArrayInfo(TQSO::ArrayReportDB* db, TQSO::TQOSUtil* osUtil) {
  return GuardedCall(kInventoryTag, 1, [&] {
    if (db == nullptr) return 1;
    const unsigned long long jobId = osUtil != nullptr ? osUtil->getJobId() : 0;
    TQSO::ArrayRecord** arrays = nullptr;
    int count = 0;
    const int listed = db->getArrayList(arrays, count);
    if (listed != 0) {
      o_logger.DebugLvl(kInventoryTag, -1, jobId, "Failed to get array list");
      return listed;
    }
    for (int i = 0; i < count; ++i) {
      if (arrays == nullptr || arrays[i] == nullptr) continue;
      const ArrayTurnResult turn = GuardedCall(kInventoryTag, ArrayTurnResult::kCollected,
                                               [&] { return tqengine::CollectArray(db, arrays[i], osUtil, jobId); });
      if (turn == ArrayTurnResult::kNotConnected) return 1;
    }
    o_logger.DebugLvl(kInventoryTag, 0, "Done collecting array reporting data.");
    return 0;
  });
}
