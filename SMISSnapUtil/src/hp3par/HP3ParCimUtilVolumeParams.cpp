// Request builders of volume creation, deletion and resizing: each checks the arguments, the array, the
// pool and the pool's state, and prepares the argument vector of its action.
#include "HP3ParCimUtil.h"
#include "HP3ParCimUtilSupport.h"
#include "TqCimConnection.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;
using tqcimutil::TracedOr;

namespace {

enum RequestPosition { kSystem, kVolume, kPool, kThin, kSize, kRequestPositions };

const Uint16 kStatusOk = 2, kStatusDegraded = 3;

}  // namespace

// What tells the three builders apart: their traces, whether the size is checked, and what they prepare.
struct HP3ParCimUtil::VolumeRequest {
  const char* label;
  size_t positions;  // fewest request positions
  const char* usage1;
  const char* usage2;     // null: none
  const char* announce1;  // "%s" thin or full, volume name
  const char* announce2;  // volume name, size, pool name
  bool sendsSize;
  void (*prepare)(const std::vector<std::string>& request, bool thin, std::vector<std::string>& prepared,
                  const std::string& poolPath);
};

namespace {

const char* ThinFlag(bool thin) { return thin ? "1" : "0"; }

void PrepareCreate(const std::vector<std::string>& request, bool thin, std::vector<std::string>& prepared,
                   const std::string& poolPath) {
  prepared.insert(prepared.end(), {request[kSystem], request[kVolume], poolPath, request[kSize], ThinFlag(thin)});
}

void PrepareDelete(const std::vector<std::string>& request, bool, std::vector<std::string>& prepared,
                   const std::string&) {
  prepared.insert(prepared.end(), {request[kSystem], request[kVolume]});
}

void PrepareResize(const std::vector<std::string>& request, bool thin, std::vector<std::string>& prepared,
                   const std::string&) {
  prepared.insert(prepared.end(), {request[kSystem], request[kVolume], request[kSize], ThinFlag(thin)});
}

// Map and unmap requests carry the initiators (and the host name) after the volume's positions.
enum MappingPosition { kInitiators = kRequestPositions, kHostName, kMapPositions };

void PrepareMap(const std::vector<std::string>& request, bool, std::vector<std::string>& prepared, const std::string&) {
  prepared.insert(prepared.end(), {request[kSystem], request[kVolume], request[kInitiators], request[kHostName]});
}

void PrepareUnmap(const std::vector<std::string>& request, bool, std::vector<std::string>& prepared,
                  const std::string&) {
  prepared.insert(prepared.end(), {request[kSystem], request[kVolume], request[kInitiators]});
}

const char* const kCreateUsage = "need: SystemName NewVolName CPGName\n";
const char* const kDeleteUsage = "need: SystemName NewVolName PoolID Size(Bytes) [SettingID or \"null\"]\n";

}  // namespace

SmisResultCode HP3ParCimUtil::CreateStorageVolParams(TqCimConnection& conn, std::vector<std::string>& request,
                                                     std::vector<std::string>& prepared) {
  static const VolumeRequest kind = {"HP3ParCimUtil::CreateStorageVolParams",
                                     kRequestPositions,
                                     "createvol: insufficient args specified\n",
                                     kCreateUsage,
                                     "Going to create %s Provision Storage Volume - [%s]",
                                     " Going to create volume [%s] of size [%s] Bytes in Disk Group [%s]",
                                     true,
                                     PrepareCreate};
  return BuildVolumeRequest(conn, kind, request, prepared);
}

SmisResultCode HP3ParCimUtil::DeleteStorageVolParams(TqCimConnection& conn, std::vector<std::string>& request,
                                                     std::vector<std::string>& prepared) {
  static const VolumeRequest kind = {"HP3ParCimUtil::DeleteStorageVolParams",
                                     kRequestPositions,
                                     "delvol: insufficient args specified\n",
                                     kDeleteUsage,
                                     "Going to delete %s Provision Storage Volume - [%s]",
                                     " Going to delete volume [%s] of size [%s] Bytes in Disk Group [%s]",
                                     false,
                                     PrepareDelete};
  return BuildVolumeRequest(conn, kind, request, prepared);
}

SmisResultCode HP3ParCimUtil::ResizeStorageVolParams(TqCimConnection& conn, std::vector<std::string>& request,
                                                     std::vector<std::string>& prepared) {
  static const VolumeRequest kind = {"HP3ParCimUtil::ResizeStorageVolParams",
                                     kRequestPositions,
                                     "resizevol: insufficient args specified\n",
                                     kCreateUsage,
                                     "Going to resize %s Provision Storage Volume - [%s]",
                                     " Going to resize volume [%s] of size [%s] Bytes in Disk Group [%s]",
                                     true,
                                     PrepareResize};
  return BuildVolumeRequest(conn, kind, request, prepared);
}

SmisResultCode HP3ParCimUtil::MapStorageVolParams(TqCimConnection& conn, std::vector<std::string>& request,
                                                  std::vector<std::string>& prepared) {
  static const VolumeRequest kind = {"HP3ParCimUtil::MapStorageVolParams",
                                     kMapPositions,
                                     "mapvol: insufficient args specified\n",
                                     nullptr,
                                     "Going to map %s Provision Storage Volume - [%s]",
                                     " Going to map volume [%s] of size [%s] Bytes in Disk Group [%s]",
                                     false,
                                     PrepareMap};
  return BuildVolumeRequest(conn, kind, request, prepared);
}

SmisResultCode HP3ParCimUtil::UnmapStorageVolParams(TqCimConnection& conn, std::vector<std::string>& request,
                                                    std::vector<std::string>& prepared) {
  static const VolumeRequest kind = {"HP3ParCimUtil::UnmapStorageVolParams",
                                     kHostName,
                                     "unmapvol: insufficient args specified\n",
                                     nullptr,
                                     "Going to unmap %s Provision Storage Volume - [%s]",
                                     " Going to unmap volume [%s] of size [%s] Bytes in Disk Group [%s]",
                                     false,
                                     PrepareUnmap};
  return BuildVolumeRequest(conn, kind, request, prepared);
}

SmisResultCode HP3ParCimUtil::BuildVolumeRequest(TqCimConnection& conn, const VolumeRequest& kind,
                                                 std::vector<std::string>& request,
                                                 std::vector<std::string>& prepared) {
  if (request.size() < kind.positions) {
    DEBUG_TRACE(kind.label, "%s", kind.usage1);
    if (kind.usage2 != nullptr) DEBUG_TRACE(kind.label, "%s", kind.usage2);
    return kSmisTooFewArguments;
  }
  // A size that is missing, zero, signed or not a number would reach the array as some other size.
  Uint64 bytes = 0;
  if (kind.sendsSize && (!hp3par::ParseByteCount(request[kSize], bytes) || bytes == 0)) {
    DEBUG_TRACE(kind.label, "Invalid volume size [%s]", request[kSize].c_str());
    return kSmisInvalidParameter;
  }
  return TracedOr(*this, kind.label, TQ_HANDLER_SITE, kSmisFailed, [&]() -> SmisResultCode {
    std::string poolPath;
    SmisResultCode checked = CheckRequestArrayAndPool(conn, kind.label, request, poolPath);
    if (checked != kSmisSuccess) return checked;
    if (hp3par::LoginRefused(*this, conn, kind.label)) return kSmisFailed;
    bool thin = request[kThin] == "1";
    DEBUG_TRACE(kind.label, kind.announce1, thin ? "Thinly" : "Fully", request[kVolume].c_str());
    DEBUG_TRACE_NORMAL(kind.label, kind.announce2, request[kVolume].c_str(), request[kSize].c_str(),
                       request[kPool].c_str());
    kind.prepare(request, thin, prepared, poolPath);
    return kSmisSuccess;
  });
}

// The array, the named pool and, unless configured off, the pool's state (OK or degraded); the pool's
// path text in `poolPath`.
SmisResultCode HP3ParCimUtil::CheckRequestArrayAndPool(TqCimConnection& conn, const char* label,
                                                       std::vector<std::string>& request, std::string& poolPath) {
  const std::string& systemName = request[kSystem];
  std::string systemText = GetSystemObjPathByNameProp(conn, systemName).toString().str();
  if (systemText.empty()) {
    DEBUG_TRACE(label, "SystemName <%s> not found", systemName.c_str());
    return kSmisFailed;
  }
  DEBUG_TRACE(label, "systemPath <%s>", systemText.c_str());
  const std::string& poolName = request[kPool];
  if (poolName == "null") {
    DEBUG_TRACE_NORMAL(label, "Target Pool is null\n");
    return kSmisFailed;
  }
  String poolClass = "CIM_StoragePool";
  CIMObjectPath pool = GetObjPathByPropName(conn, poolClass, "ElementName", String(poolName));
  if (pool.getClassName().isNull()) {
    DEBUG_TRACE(label, "Class %s: name %s not found", "CIM_StoragePool", poolName.c_str());
    return kSmisObjectNotFound;
  }
  std::string poolText = GetObjectPathString(pool);
  poolPath = poolText;
  CIMInstance poolInstance = conn.GetInstance(pool);
  DEBUG_TRACE_NORMAL(label, "Target Pool: %s FriendlyName %s\n", poolText.c_str(),
                     GetCIMProp(poolInstance, "ElementName").c_str());
  if (hp3par::PoolCheckDisabled()) {
    DEBUG_TRACE(label, "Pool online check skipped due to registry override");
    return kSmisSuccess;
  }
  // Judged by the first status value; a status that cannot be read is not online.
  Uint16 status = 0;
  try {
    status = hp3par::ReadFirstStatus(poolInstance, "OperationalStatus");
  } catch (const Exception&) {
    status = 0;
  }
  if (status != kStatusOk && status != kStatusDegraded) {
    DEBUG_TRACE(label, "Source Volume Pool: [%s] is not online. Operational Status is [%s].", poolText.c_str(),
                GetCIMProp(poolInstance, "OperationalStatus").c_str());
    return kSmisFailed;
  }
  return kSmisSuccess;
}
