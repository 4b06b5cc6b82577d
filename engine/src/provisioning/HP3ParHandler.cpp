// The handler's volume operations: one shape (check the names, connect, check the pool, build the request,
// run the utility's builder and action, disconnect) with each operation's own steps and texts.
#include "HP3ParHandler.h"

#include "FXString.h"
#include "HP3ParCimUtil.h"
#include "TQPlatformInfo.h"
#include "calls/EntryGuard.h"

namespace {

const char kCannotFindPool[] = "%s: Can not find Common Provisioning Group [%s]";

}  // namespace

struct HP3ParHandler::Operation {
  const char* tag;
  const char* poolNotFound;  // tag, pool name
  const char* announcement;
  const char* failureLabel;    // the failure text
  const char* prepareFailure;  // tag
  const char* actFailure;      // tag
  SmisResultCode (HP3ParCimUtil::*prepare)(TqCimConnection&, std::vector<std::string>&, std::vector<std::string>&);
  SmisResultCode (HP3ParCimUtil::*act)(TqCimConnection&, std::vector<std::string>&, std::string&);
};

struct HP3ParHandler::Request {
  TQSO::TQOSUtil* osUtil;
  std::string systemName, controlHost, login, password, poolName, volumeName;
  long sizeBytes;
  std::vector<std::string> extras;
  unsigned long long jobId;
};

bool HP3ParHandler::ConnectAndCheckPool(const Operation& operation, const Request& request, EvDebug& logger,
                                        TqCimConnection& conn, HP3ParCimUtil& util) {
  if (request.systemName.empty() || request.volumeName.empty()) {
    logger.DebugLvl(operation.tag, -1, request.jobId, "Invalid Parameters");
    logger.DebugLvl(operation.tag, -1, request.jobId, "systemName = %s, NewVolName = %s", request.systemName.c_str(),
                    request.volumeName.c_str());
    return false;
  }
  conn = InitArrayParams(request.osUtil, request.controlHost, request.login, request.password);
  if (conn.ConnectCimom() != 0) {
    const std::string error = FXString::Format("%s: Connection to CIMOM failed", operation.tag);
    logger.DebugLvl(operation.tag, 0, request.jobId, "SMIS_OP_TIMEOUT [%s]", error.c_str());
    return false;
  }
  const std::string poolId =
      request.poolName.empty() ? std::string() : util.GetDGByName(conn, request.systemName, request.poolName);
  if (poolId.empty()) {
    const std::string error = FXString::Format(operation.poolNotFound, operation.tag, request.poolName.c_str());
    logger.DebugLvl(operation.tag, 0, request.jobId, "SMIS_INVALID_PARAM [%s]", error.c_str());
    conn.DisconnectCimom();
    return false;
  }
  logger.DebugLvl(operation.tag, 0, request.jobId, "%s", operation.announcement);
  return true;
}

// Builder, optional priming action, action. The connection is open and stays so.
bool HP3ParHandler::RunSteps(const Operation& operation, const Request& request, EvDebug& logger, TqCimConnection& conn,
                             HP3ParCimUtil& util) {
  int fullyProvisioned = 0;
  GetRegInt(nullptr, "nHP3PAREnableFullyProvision", &fullyProvisioned);
  logger.DebugLvl(operation.tag, 0, request.jobId, "%s",
                  fullyProvisioned == 0 ? "It is thinly provisioned volume..." : "It is fully provisioned volume...");
  std::vector<std::string> args = {request.systemName, request.volumeName, request.poolName,
                                   fullyProvisioned == 0 ? "1" : "0", ToString(request.sizeBytes)};
  args.insert(args.end(), request.extras.begin(), request.extras.end());

  std::vector<std::string> prepared;
  if ((util.*operation.prepare)(conn, args, prepared) != kSmisSuccess) {
    const std::string error = FXString::Format(operation.prepareFailure, operation.tag);
    logger.DebugLvl(operation.tag, -1, request.jobId, operation.failureLabel, error.c_str());
    return false;
  }
  std::string output;
  unsigned long faultRetry = 0;
  TQPlatformInfo().getNumber("Corvane", "TQ_PEGASUS_FAULT_RETRY", &faultRetry);
  if (faultRetry != 0) {
    // A throw-away call that selects nothing: no volume name and, where there is one, no size.
    std::vector<std::string> priming = prepared;
    if (priming.size() > 1) priming[1] = "";
    if (priming.size() > 3) priming[3] = "0";
    logger.DebugLvl(operation.tag, 0, request.jobId, "Pegasus retry in faulty environment");
    // Its outcome is not looked at, a fault included: the real call follows whatever happened.
    tqengine::GuardedCall(operation.tag, [&] { (util.*operation.act)(conn, priming, output); });
  }
  if ((util.*operation.act)(conn, prepared, output) != kSmisSuccess) {
    const std::string error = FXString::Format(operation.actFailure, operation.tag);
    logger.DebugLvl(operation.tag, -1, request.jobId, operation.failureLabel, error.c_str());
    return false;
  }
  return true;
}

bool HP3ParHandler::RunVolumeOperation(const Operation& operation, const Request& request) {
  EvDebug logger;
  HP3ParCimUtil util;
  TqCimConnection conn;
  bool connected = false;
  bool finished = false;
  const bool done = tqengine::GuardedCall(operation.tag, false, [&] {
    connected = ConnectAndCheckPool(operation, request, logger, conn, util);
    if (!connected) {
      finished = true;
      return false;
    }
    const bool ok = RunSteps(operation, request, logger, conn, util);
    finished = true;
    return ok;
  });
  if (!finished) {
    const std::string error = FXString::Format(operation.actFailure, operation.tag);
    logger.DebugLvl(operation.tag, -1, request.jobId, operation.failureLabel, error.c_str());
  }
  if (connected) conn.DisconnectCimom();
  return done;
}

bool HP3ParHandler::CreateVolume(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost,
                                 std::string login, std::string password, std::string poolName, std::string volumeName,
                                 long sizeBytes, unsigned long long jobId) {
  static const Operation kCreate = {"HP3ParHandler::CreateVolume",
                                    "%s: Can not find the pool [%s]",
                                    "Going to create the new volume...",
                                    "SMIS_VOL_CREATION_FAILED [%s]",
                                    "%s: Failed to create new storage volume parameters\n",
                                    "%s: Failed to create new storage volume\n",
                                    &HP3ParCimUtil::CreateStorageVolParams,
                                    &HP3ParCimUtil::CreateStorageVolume};
  return RunVolumeOperation(
      kCreate, {osUtil, systemName, controlHost, login, password, poolName, volumeName, sizeBytes, {}, jobId});
}

bool HP3ParHandler::DeleteVolume(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost,
                                 std::string login, std::string password, std::string poolName, std::string volumeName,
                                 long sizeBytes, unsigned long long jobId) {
  static const Operation kDelete = {"HP3ParHandler::DeleteVolume",
                                    kCannotFindPool,
                                    "Going to delete the volume...",
                                    "SMIS_VOL_DELETE_FAILED [%s]",
                                    "%s: Failed to delete storage volume parameters\n",
                                    "%s: Failed to delete storage volume\n",
                                    &HP3ParCimUtil::DeleteStorageVolParams,
                                    &HP3ParCimUtil::DeleteStorageVolume};
  return RunVolumeOperation(
      kDelete, {osUtil, systemName, controlHost, login, password, poolName, volumeName, sizeBytes, {}, jobId});
}

bool HP3ParHandler::ResizeVolume(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost,
                                 std::string login, std::string password, std::string poolName, std::string volumeName,
                                 long sizeBytes, unsigned long long jobId) {
  static const Operation kResize = {"HP3ParHandler::ResizeVolume",
                                    kCannotFindPool,
                                    "Going to resize the volume...",
                                    "SMIS_VOL_RESIZE_FAILED [%s]",
                                    "%s: Failed to set the resize the existing storage volume parameters\n",
                                    "%s: Failed to resize the existing storage volume\n",
                                    &HP3ParCimUtil::ResizeStorageVolParams,
                                    &HP3ParCimUtil::ResizeStorageVolume};
  return RunVolumeOperation(
      kResize, {osUtil, systemName, controlHost, login, password, poolName, volumeName, sizeBytes, {}, jobId});
}

bool HP3ParHandler::MapVolume(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost,
                              std::string login, std::string password, std::string poolName, std::string volumeName,
                              long sizeBytes, std::string initiators, std::string hostName, unsigned long long jobId) {
  static const Operation kMap = {"HP3ParHandler::MapVolume",
                                 kCannotFindPool,
                                 "Going to map the volume...",
                                 "SMIS_VOL_MAP_FAILED [%s]",
                                 "%s: Failed to map storage volume parameters\n",
                                 "%s: Failed to map storage volume\n",
                                 &HP3ParCimUtil::MapStorageVolParams,
                                 &HP3ParCimUtil::MapStorageVolume};
  return RunVolumeOperation(kMap, {osUtil,
                                   systemName,
                                   controlHost,
                                   login,
                                   password,
                                   poolName,
                                   volumeName,
                                   sizeBytes,
                                   {initiators, hostName},
                                   jobId});
}

bool HP3ParHandler::UnmapVolume(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost,
                                std::string login, std::string password, std::string poolName, std::string volumeName,
                                long sizeBytes, std::string initiators, unsigned long long jobId) {
  static const Operation kUnmap = {"HP3ParHandler::UnmapVolume",
                                   kCannotFindPool,
                                   "Going to unmap the volume...",
                                   "SMIS_VOL_UNMAP_FAILED [%s]",
                                   "%s: Failed to unmap storage volume parameters\n",
                                   "%s: Failed to unmap storage volume\n",
                                   &HP3ParCimUtil::UnmapStorageVolParams,
                                   &HP3ParCimUtil::UnmapStorageVolume};
  return RunVolumeOperation(
      kUnmap, {osUtil, systemName, controlHost, login, password, poolName, volumeName, sizeBytes, {initiators}, jobId});
}

bool HP3ParHandler::GetVolumeInitiators(TQSO::TQOSUtil* osUtil, std::string systemName, std::string controlHost,
                                        std::string login, std::string password, std::string poolName,
                                        std::string volumeName, long sizeBytes,
                                        std::vector<MappedHBAInfoList_t>& initiators, unsigned long long jobId) {
  static const Operation kInitiators = {"HP3ParHandler::GetVolumeInitiators",
                                        kCannotFindPool,
                                        "Going to get the initiators for the volume...",
                                        "SMIS_VOL_IMPORT_FAILED [%s]",
                                        "",
                                        "%s: Failed to get the initiators for the storage volume\n",
                                        nullptr,
                                        nullptr};
  const Request request = {osUtil,   systemName, controlHost, login, password,
                           poolName, volumeName, sizeBytes,   {},    jobId};
  EvDebug logger;
  HP3ParCimUtil util;
  TqCimConnection conn;
  bool connected = false;
  bool listed = false;
  tqengine::GuardedCall(kInitiators.tag, [&] {
    connected = ConnectAndCheckPool(kInitiators, request, logger, conn, util);
    if (!connected) return;
    std::vector<std::string> args = {systemName, volumeName};
    std::vector<MappedHBAInfoList_t> found;
    listed = util.GetVolumeInitiatorsUtil(conn, args, found) == kSmisSuccess;
    if (listed) initiators.insert(initiators.end(), found.begin(), found.end());
  });
  if (connected && !listed) {
    const std::string error = FXString::Format(kInitiators.actFailure, kInitiators.tag);
    logger.DebugLvl(kInitiators.tag, -1, jobId, kInitiators.failureLabel, error.c_str());
  }
  if (connected) conn.DisconnectCimom();
  return listed;
}
