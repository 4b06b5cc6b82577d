// Reverting sources from their snapshots. On the agent host the sources are withdrawn from the host, the
// array copies each snapshot back (here or on the proxy host), and the sources are presented again.
#include <list>
#include <string>
#include <vector>

#include "DeviceTexts.h"
#include "EvDebug.h"
#include "Tq3PARSnapshot.h"
#include "TqCopyWorkers.h"
#include "TqEngineConfig.h"
#include "TqEngineErrors.h"
#include "TqEngineResult.h"
#include "TqHostBus.h"
#include "TqHostNames.h"
#include "TqMapWorkers.h"
#include "TqRemoteProxy.h"
#include "TqSnapMetadata.h"
#include "TqSnapshotSetup.h"

namespace {

const char kRevertTag[] = "3PAR-tqso_revertSnaps";
const char kArrayTag[] = "3PAR-ArrayOperarions_revertVolumes";
const unsigned kRevertMessage = 11;
const short kRestoreFromSnapshot = 5;
const int kRestoreOperation = 6;

int RestoredResult(int restored, short count) {
  if (restored == 0) return TQSO::RC_FAIL;
  return restored < count ? TQSO::RC_FAIL_PARTIAL : TQSO::RC_SUCCESS;
}

// One device's restore; true when the source was restored.
bool RestoreDevice(TQSO::SnapInfo* device, TQSO::TQOSUtil* services) {
  device->setStatus(TQSO::SS_RESTORE_FAILED);
  _TQ3PAR_SnapMetadata record;  // fresh per device: an older record form keeps no flags of another device
  if (!getMetadata(device, record)) {
    o_logger.DebugLvl(kArrayTag, -1, "%s: Failed to get Metadata", kArrayTag);
    return false;
  }
  if (record.flags != 0) {
    o_logger.DebugLvl(kArrayTag, -1, "%s: 3PAR revert is not supported for replicated volumes", kArrayTag);
    setError(device, tqengine::kErrRevert, "3PAR revert is not supported for replicated volumes");
    return false;
  }
  o_logger.DebugLvl(kArrayTag, 1, "%s: Snap Device[%s] Source Device [%s]", kArrayTag, record.targetDev.c_str(),
                    record.srcDev.c_str());
  Tq3PARSnapshot snapshot;
  snapshot.SetLogger(device);
  if (!initArrayParams(snapshot, device, services, record.arrayId, true)) {
    o_logger.DebugLvl(kArrayTag, -1, "%s: Failed to initialize the Array parameters", kArrayTag);
    return false;
  }
  if (getSnapEngineType(device) == tqengine::kCloneEngine) {
    o_logger.DebugLvl(kArrayTag, -1, "%s: 3PAR revert is not supported for cloned volumes", kArrayTag);
    setError(device, tqengine::kErrRevert, "3PAR revert is not supported for cloned volumes");
    return false;
  }
  TQ_SMIS_SNAP::TqSnapParams params = CopyParamsOf(record);
  params.snapOp = kRestoreOperation;
  snapshot.SetSnapInfo(params);
  if (snapshot.SnapRestore(kRestoreFromSnapshot) != TQSO::SS_RESTORED) {
    o_logger.DebugLvl(kArrayTag, -1, "%s: Source Device [%s] FAILED to restore from Snap Device[%s] ", kArrayTag,
                      record.srcDev.c_str(), record.targetDev.c_str());
    setError(device, tqengine::kErrRevert, "RESTORED from Snap Device failed");
    return false;
  }
  o_logger.DebugLvl(kArrayTag, -1, "%s: Source Device [%s] RESTORED from Snap Device[%s] ", kArrayTag,
                    record.srcDev.c_str(), record.targetDev.c_str());
  device->setStatus(TQSO::SS_RESTORED);
  return true;
}

bool MissingArrayId(const std::string& arrayId) {
  if (!arrayId.empty()) return false;
  o_logger.DebugLvl(kRevertTag, -1, "[ERROR] Couldn't get Array-ID from Meta Data");
  return true;
}

// Withdraws the sources before the restore. Its outcome is not the revert's: a hide the array reported failed
// may still have been done, and the restore and the presentation afterwards decide each device's result, so an
// error the withdrawal left on a device without one is not kept.
void WithdrawSources(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal) {
  std::vector<bool> hadError;
  for (short i = 0; i < count; ++i) hadError.push_back(list[i] == nullptr || hasError(list[i]));
  unmapVolumes(list, count, services, false, false, isLocal, -1);
  for (short i = 0; i < count; ++i)
    if (!hadError[i]) clearError(list[i]);
}

// Presents the sources again and answers how many restored sources the host does not see afterwards: each
// such device counts as failed, with the map's error (or its own when the map set none). The map worker writes
// its own statuses (mapped, seen on the host); the revert statuses are what the caller asked about, so they
// are put back afterwards.
int PresentSourcesAgain(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services) {
  std::vector<TQSO::SnapStatus> statuses;
  for (short i = 0; i < count; ++i) statuses.push_back(list[i] != nullptr ? list[i]->getStatus() : TQSO::SS_RESET);
  mapVolumes(list, count, services, false, true, -1);
  int lost = 0;
  for (short i = 0; i < count; ++i) {
    TQSO::SnapInfo* device = list[i];
    if (device == nullptr) continue;
    if (statuses[i] == TQSO::SS_RESTORED && device->getStatus() != TQSO::SS_SEEN_AS_HOST_DEVICE) {
      o_logger.DebugLvl(kRevertTag, -1, "%s: Restored source device [%s] is not presented to the host again",
                        kRevertTag, getSourceDeviceUUID(device).c_str());
      setError(device, tqengine::kErrMap, "Failed to present the restored source device to the host again");
      ++lost;
    }
    device->setStatus(statuses[i]);
  }
  return lost;
}

}  // namespace

bool ArrayOperarions_revertVolumes(TQSO::SnapInfo** list, TQSO::TQOSUtil* services, int count, int& restored) {
  for (int i = 0; i < count; ++i)
    if (list[i] != nullptr && RestoreDevice(list[i], services)) ++restored;
  return true;
}

int TP_revertSnaps(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, bool isLocal) {
  if (tqengine::IsEmptyList(list, count)) {
    o_logger.DebugLvl(kRevertTag, 1, "Nothing to do with , 0 devices. Returning... ");
    return TQSO::RC_SUCCESS;
  }
  std::string arrayId = getStorageArrayId(list[0]);
  if (MissingArrayId(arrayId)) return TQSO::RC_FAIL;
  std::string proxyHost;
  const bool remote = isRemoteCallEnabled(list[0], arrayId, proxyHost);
  o_logger.DebugLvl(kRevertTag, 1, "Going to restore/reverse sync %u snap/clone device [is local - %s] ",
                    static_cast<unsigned>(count), isLocal ? "Yes" : "No");
  int restored = 0;
  if (!isLocal) {
    ArrayOperarions_revertVolumes(list, services, count, restored);
    return RestoredResult(restored, count);
  }

  std::string identifier;
  TQSO::SnapInfo* last = list[count - 1];
  if (!getHostIdentifier(last, identifier, false)) {
    o_logger.DebugLvl(kRevertTag, -1, "Failed to get host identifier");
    setError(last, tqengine::kErrHostIdentifier, tqengine::kTextHostIdentifier);
    return TQSO::RC_FAIL;
  }
  arrayId = getStorageArrayId(list[0]);
  if (MissingArrayId(arrayId)) return TQSO::RC_FAIL;
  std::list<std::string> ports;
  bool iscsi = false;
  const bool detected = detectHbalist(services, ports, "", arrayId, iscsi);
  if (!detected || ports.empty()) {
    o_logger.DebugLvl(kRevertTag, -1, "Unable to detect initiator info.");
    if (list[0] == nullptr || !tqengine::IsVmwarePath(tqengine::HostDevicePathOf(list[0]))) {
      setError(list[0], tqengine::kErrInitiatorInfo, "Unable to detect initiator info.");
      return TQSO::RC_FAIL;
    }
  }

  WithdrawSources(list, count, services, isLocal);
  if (!remote) {
    ArrayOperarions_revertVolumes(list, services, count, restored);
  } else {
    o_logger.DebugLvl(kRevertTag, 1, " Sending tp_Remote call to %s for Revert operation (%d devices)",
                      proxyHost.c_str(), count);
    if (TP_InvokeRemotePXCall(list, count, services, proxyHost, kRevertMessage, -1) == 0)
      restored = tqengine::CountAtStatus(list, count, {TQSO::SS_RESTORED});
  }
  o_logger.DebugLvl(kRevertTag, 1, "%s: [Rev-Count - %u] [ Count - %u] ", kRevertTag, static_cast<unsigned>(restored),
                    static_cast<unsigned>(count));
  const int lost = PresentSourcesAgain(list, count, services);
  if (restored > 0) refreshSystemBus(services, ports, {}, identifier);
  return RestoredResult(restored - lost, count);
}
