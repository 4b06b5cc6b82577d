// The remote-copy replica side of prepare and snapshot creation: the device's remote-copy group made (or
// found) at prepare and recorded in its replication record (metadata id 51), the group resynchronized by
// the prepare worker and again before each snapshot, which is taken on the target array's mirror.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

#include "DeviceWorkers.h"
#include "EvDebug.h"
#include "ReplicaWorkers.h"
#include "TqDeviceInquiry.h"
#include "TqEngineConfig.h"
#include "TqEngineErrors.h"
#include "TqEngineResult.h"
#include "TqEngineSettings.h"
#include "TqSnapshotSetup.h"
#include "calls/EntryGuard.h"

namespace {

const char kReserved[] = "EMPTY";
const int kReplicationFields = 6;
const int kResyncWaitSeconds = 1;
const int kResyncPolls = 500;
const uint16_t kTextCapacity = 4096;

std::string ConfigText(TQSO::SnapInfo* device, const char* name, bool& found) {
  std::string text(kTextCapacity, '\0');
  uint32_t length = kTextCapacity;
  found = device->getConfigString(name, &text[0], &length) == 0;
  text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
  return found ? text : std::string();
}

int ConfigNumber(TQSO::SnapInfo* device, const char* name, bool& found) {
  int value = 0;
  found = device->getConfigInt(name, &value) == 0;
  return found ? value : 0;
}

// The target array's login, port and HTTPS switch from the host's record of it, and the device's replication
// mode (read between the HTTPS switch and the port, as the log lines follow that order).
bool TargetArray(TQSO::SnapInfo* device, TQSO::TQOSUtil* osUtil, const char* tag, TQ_SMIS_SNAP::TqArrayParams& target,
                 bool& async) {
  bool found = false;
  std::string id = ConfigText(device, "SMCONFIG_NAME_REPLICATION_TARGET_ARRAY_ID", found);
  if (!found) {
    o_logger.DebugLvl(tag, -1, "[ERROR] unable to get target array configuration");
    device->setError(tqengine::kErrReplicationOrArray,
                     "[ERROR]target array configuration not found for 3PAR replication operation.");
    return false;
  }
  std::transform(id.begin(), id.end(), id.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  o_logger.DebugLvl(tag, 1, "found target Array Config - %s", id.c_str());
  std::string info;
  if (!tqengine::ReadArrayInfoById(osUtil, id, info)) {
    o_logger.DebugLvl(tag, -1, "[ERROR] unable to get target array info (%d)", 1);
    return false;
  }
  int hostId = 0;
  if (!ParseForCredentials(info.c_str(), target.systemName, target.m_Address, target.m_User, target.m_Password,
                           hostId)) {
    o_logger.DebugLvl(tag, -1, "[ERROR] unable to get target array info [%s]", tqengine::MaskArrayInfo(info).c_str());
    return false;
  }
  int https = 0, port = 0;
  if (osUtil->getArrayConfigInt(hostId, 0, "SMCONFIG_NAME_USE_SECURE_CONNECTION_TO_SMIS_SERVER", https) != 0) https = 0;
  const int mode = ConfigNumber(device, "SMCONFIG_NAME_REPLICA_VOL_ASYNCHRONOUS", found);
  if (!found) o_logger.DebugLvl(tag, -1, "[ERROR] unable to get target array configuration");
  async = mode == 1;
  target.m_Port = https == 1 ? 5989 : 5988;
  if (https == 1) o_logger.DebugLvl(tag, 1, "found target Array Config 3PAR Use HTTPS - %d", 1);
  if (osUtil->getArrayConfigInt(hostId, 0, "SMCONFIG_NAME_SMIS_SERVER_PORT", port) == 0 && port > 0 && port <= 65535) {
    o_logger.DebugLvl(tag, 1, "found target Array Config 3PAR Use Port - %d", port);
    target.m_Port = port;
  }
  target.m_NameSpace = "root/tpd";
  target.m_UseSSL = https == 1;
  return true;
}

}  // namespace

bool SetReplicationMetaData(TQSO::SnapInfo* device, const std::string& targetVolumeId, const std::string& syncPath,
                            const std::string& sourceVolumeId) {
  std::string text = targetVolumeId + "*" + syncPath + "*" + sourceVolumeId;
  for (int i = 3; i < kReplicationFields; ++i) text += std::string("*") + kReserved;
  if (device->setMetaData(TQSO::SM_MDT_3PAR_REPLICATION, text.c_str()) == 1) {
    o_logger.DebugLvl("3PAR-SetReplicationMetaData", -1, "[ERROR] Set-metadata failed[%s][%s] [%d]",
                      targetVolumeId.c_str(), syncPath.c_str(), 1);
    return false;
  }
  return true;
}

bool GetReplicationMetaData(TQSO::SnapInfo* device, std::string& targetVolumeId, std::string& syncPath,
                            std::string& sourceVolumeId) {
  const char* tag = "3par-GetReplicationMetaData";
  std::string text;
  if (!device->getMetaData(TQSO::SM_MDT_3PAR_REPLICATION, text)) {
    o_logger.DebugLvl(tag, -1, "[ERROR] Get-metadata failed[%s][%s]", targetVolumeId.c_str(), syncPath.c_str());
    return false;
  }
  size_t separators[kReplicationFields - 1];
  size_t from = 0;
  for (int i = 0; i < kReplicationFields - 1; ++i) {
    separators[i] = text.find('*', from);
    if (separators[i] == std::string::npos) {
      o_logger.DebugLvl(tag, -1, "Invalid Replication MetaData %s", text.c_str());
      return false;
    }
    from = separators[i] + 1;
  }
  targetVolumeId = text.substr(0, separators[0]);
  syncPath = text.substr(separators[0] + 1, separators[1] - separators[0] - 1);
  sourceVolumeId = text.substr(separators[1] + 1, separators[2] - separators[1] - 1);
  o_logger.DebugLvl(
      tag, 1, " strTargetVolumeID = [%s], strSyncPath = [%s], strSrcVolumeID=[%s] , Res2=[%s] , Res3=[%s] , Res4=[%s]",
      targetVolumeId.c_str(), syncPath.c_str(), sourceVolumeId.c_str(),
      text.substr(separators[2] + 1, separators[3] - separators[2] - 1).c_str(),
      text.substr(separators[3] + 1, separators[4] - separators[3] - 1).c_str(),
      text.substr(separators[4] + 1).c_str());
  return true;
}

bool GetSnapshotObjectForReplication(TQSO::SnapInfo* device, const std::string& sourceVolumeId, TQSO::TQOSUtil* osUtil,
                                     Tq3PARSnapshot& snapshot, std::string& arrayName) {
  const char* tag = "3par-GetSnapshotObjectForReplication";
  bool is16Byte = false;
  if (!GetArrayNameFromWWN(sourceVolumeId, arrayName, is16Byte)) {
    o_logger.DebugLvl(tag, -1, "[ERROR] invalid source Volume-ID [%s]", sourceVolumeId.c_str());
    return false;
  }
  o_logger.DebugLvl(tag, 1, "[VolID - %s] [Arrayname - %s]", sourceVolumeId.c_str(), arrayName.c_str());
  snapshot.SetLogger(device);
  if (initArrayParams(snapshot, device, osUtil, arrayName, false)) return true;
  o_logger.DebugLvl(tag, -1,
                    "[ERROR] Initializing array parameters for source array has failed [array-%s] [volume - %s]",
                    arrayName.c_str(), sourceVolumeId.c_str());
  return false;
}

bool GetRmoteCopyGroup(TQSO::SnapInfo* device, TQSO::TQOSUtil* osUtil, std::string& targetVolumeId,
                       std::string& syncPath, std::string& sourceVolumeId, bool& async) {
  const char* tag = "3par-GetRmoteCopyGroup";
  TQ_SMIS_SNAP::TqArrayParams target;
  if (osUtil == nullptr || !TargetArray(device, osUtil, tag, target, async)) return false;
  if (!device->getMetaData(TQSO::SM_MDT_3PAR_SRC_SNAP_UUID, sourceVolumeId)) {
    o_logger.DebugLvl(tag, -1, "[ERROR] unable to get Source Volume-ID");
    return false;
  }
  if (sourceVolumeId.empty()) {
    o_logger.DebugLvl(tag, -1, "[ERROR] Source Volume-ID not found");
    return false;
  }
  Tq3PARSnapshot source;
  std::string arrayName;
  if (!GetSnapshotObjectForReplication(device, sourceVolumeId, osUtil, source, arrayName)) {
    o_logger.DebugLvl(tag, -1, "[ERROR] unable to get target array info [%s]", sourceVolumeId.c_str());
    return false;
  }
  o_logger.DebugLvl(tag, 1, "[VolID - %s] [Arrayname - %s]", sourceVolumeId.c_str(), arrayName.c_str());
  std::string cpg = tqengine::DeviceGroupRequired(device) ? tqengine::StorageDeviceGroup(device) : std::string();
  o_logger.DebugLvl(tag, 1, "[Source-Array - %s] [source volumeid - %s] [Target-CPG - %s][Mode - %s]",
                    arrayName.c_str(), sourceVolumeId.c_str(), cpg.c_str(), async ? "Async" : "Sync");
  const int result = source.CreateRCGroup(arrayName.c_str(), sourceVolumeId.c_str(), target, cpg.c_str(), syncPath,
                                          targetVolumeId, async);
  if (result == 0) {
    o_logger.DebugLvl(tag, 1, "RCGroup prepared successfully  [strSyncPath - %s] [Target-volumeID - %s]",
                      syncPath.c_str(), targetVolumeId.c_str());
    return true;
  }
  o_logger.DebugLvl(tag, -1, "[ERROR] CreateRCGroup failed [%d]", result);
  setError(device, tqengine::kErrReplicationOrArray, source.m_LastErrorMsg.c_str());
  return false;
}

bool CheckAndProcessReplication(TQSO::SnapInfo* device, TQSO::TQOSUtil* osUtil) {
  const char* tag = "3par-CheckAndProcessReplication";
  std::string targetVolumeId, syncPath, sourceVolumeId, arrayName;
  if (!GetReplicationMetaData(device, targetVolumeId, syncPath, sourceVolumeId)) {
    o_logger.DebugLvl(tag, 1, "[ERROR]Replication Metadata not found. ");
    return false;
  }
  if (osUtil == nullptr) {
    o_logger.DebugLvl(tag, -1, "[ERROR] invalid OSUtil object found. replication fails.");
    return false;
  }
  Tq3PARSnapshot source;
  if (!GetSnapshotObjectForReplication(device, sourceVolumeId, osUtil, source, arrayName)) {
    o_logger.DebugLvl(tag, -1, "[ERROR] Constructing Snapshot object failed");
    return false;
  }
  o_logger.DebugLvl(tag, 1,
                    "starting Replication process [srcVolume-ID - %s] [array - %s] [Sync wait seconds - %d] [Sync wait "
                    "retry count - %d]",
                    sourceVolumeId.c_str(), arrayName.c_str(), kResyncWaitSeconds, kResyncPolls);
  if (source.SyncReplication(arrayName.c_str(), syncPath.c_str(), kResyncWaitSeconds, kResyncPolls) == 0) {
    o_logger.DebugLvl(tag, 1, "Replication process succeeded [srcVolume-ID - %s] [array - %s]", sourceVolumeId.c_str(),
                      arrayName.c_str());
    return true;
  }
  setError(device, tqengine::kErrReplicationSync, source.m_LastErrorMsg.c_str());
  o_logger.DebugLvl(tag, -1, "[ERROR] Replication Sync process has failed");
  return false;
}

void* SnapReplicationDeviceThread(void* argument) {
  SnapThreadParam* param = static_cast<SnapThreadParam*>(argument);
  TQSO::SnapInfo* device = param->device;
  const char* tag = "3par-SnapReplicationDeviceThread";
  tqengine::GuardedCall(tag, [&] {
    std::string targetVolumeId, syncPath, sourceVolumeId, arrayName;
    if (!GetReplicationMetaData(device, targetVolumeId, syncPath, sourceVolumeId)) {
      o_logger.DebugLvl(tag, -1, "[ERROR] Replication Metadata not found");
      device->setStatus(TQSO::SS_PREPARE_FAILED);
      return;
    }
    bool is16Byte = false;
    GetArrayNameFromWWN(sourceVolumeId, arrayName, is16Byte);
    const int waitSeconds = tqengine::SyncWaitSeconds();
    const int polls = tqengine::SyncWaitRetryCount();
    o_logger.DebugLvl(tag, 1, "Starting replication sync process [src-%s] [target-%s] [wait - %d] [retry - %d] ",
                      sourceVolumeId.c_str(), targetVolumeId.c_str(), waitSeconds, polls);
    const auto failed = [&]() {
      device->setStatus(TQSO::SS_PREPARE_FAILED);
      setError(device, tqengine::kErrReplicationOrArray, param->snapshot.m_LastErrorMsg.c_str());
    };
    if (param->snapshot.SyncReplication(arrayName.c_str(), syncPath.c_str(), waitSeconds, polls) != 0) {
      o_logger.DebugLvl(tag, -1, "[ERROR] Replication Sync process has failed");
      failed();
      return;
    }
    if (!param->asyncReplication) {
      o_logger.DebugLvl(tag, 1, "Replication sync process phase-1 succeeded [src-%s] [target-%s]",
                        sourceVolumeId.c_str(), targetVolumeId.c_str());
      return;
    }
    // An asynchronous group is synchronized a second time.
    o_logger.DebugLvl(tag, 1,
                      "Replication sync process phase-1 succeeded [src-%s] [target-%s] starting 2nd sync processes",
                      sourceVolumeId.c_str(), targetVolumeId.c_str());
    if (param->snapshot.SyncReplication(arrayName.c_str(), syncPath.c_str(), waitSeconds, polls) != 0) {
      o_logger.DebugLvl(tag, -1, "[ERROR] Replication Sync process phase 2 has failed");
      failed();
      return;
    }
    o_logger.DebugLvl(tag, 1,
                      "Replication sync process phase-2 succeeded [src-%s] [target-%s] starting 2nd sync processes",
                      sourceVolumeId.c_str(), targetVolumeId.c_str());
  });
  return nullptr;
}
