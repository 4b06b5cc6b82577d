// The inventory lists of a 3PAR array: its base volumes and the provider's pools with their capacities.
#include "HP3ParCimUtil.h"
#include "HP3ParCimUtilSupport.h"
#include "Pegasus/CIMPropertyList.h"
#include "TqCimConnection.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;
using hp3par::ReadFirstStatus;
using hp3par::ReadString;
using hp3par::ReadUint16;
using hp3par::ReadUint64;
using tqcimutil::TracedRethrow;

namespace {

const Uint16 kBaseVolume = 1;

Uint64 WholeMiB(Uint64 bytes) { return bytes >> 20; }

// The array's system, traced; false (with the not-found trace) when the provider does not know it.
bool ArrayKnown(HP3ParCimUtil& util, TqCimConnection& conn, const char* label, const std::string& systemName) {
  std::string systemText = util.GetSystemObjPathByNameProp(conn, systemName).toString().str();
  if (systemText.empty()) {
    util.DEBUG_TRACE(label, "SystemName <%s> not found", systemName.c_str());
    return false;
  }
  util.DEBUG_TRACE(label, "systemPath <%s>", systemText.c_str());
  return true;
}

Array<CIMInstance> AllInstances(HP3ParCimUtil& util, TqCimConnection& conn, const char* label, const char* className) {
  Array<CIMInstance> instances = conn.GetInstances(className, CIMPropertyList());
  util.DEBUG_TRACE_NORMAL(label, "Class [%s] got %d instances", className, static_cast<int>(instances.size()));
  return instances;
}

HP3PAR::VolumeInfo_t VolumeRecord(const CIMInstance& volume) {
  HP3PAR::VolumeInfo_t record;
  record.poolName = ReadString(volume, "UserDSPName");
  Uint64 blocks = ReadUint64(volume, "ConsumableBlocks");
  record.volumeId = ReadString(volume, "Name");
  record.elementName = ReadString(volume, "ElementName");
  record.volumeName = ReadString(volume, "Caption");
  Uint64 blockSize = ReadUint64(volume, "BlockSize");
  record.sizeMB = WholeMiB(blocks * blockSize);
  record.opStatus = ReadFirstStatus(volume, "OperationalStatus");
  return record;
}

HP3PAR::PoolInfo_t PoolRecord(const CIMInstance& pool, const std::vector<HP3PAR::VolumeInfo_t>& volumes) {
  HP3PAR::PoolInfo_t record;
  record.uuid = ReadString(pool, "UUID");
  record.poolName = ReadString(pool, "ElementName");
  record.poolKey = record.poolName;
  for (const HP3PAR::VolumeInfo_t& volume : volumes)
    if (volume.poolName == record.poolKey) ++record.volumeCount;
  record.usedMB = WholeMiB(ReadUint64(pool, "CurrentSpaceConsumed")) + WholeMiB(ReadUint64(pool, "UsedSnapAdminSpace"));
  record.totalMB = WholeMiB(ReadUint64(pool, "TotalManagedSpace"));
  record.freeMB = static_cast<int64_t>(record.totalMB) - static_cast<int64_t>(record.usedMB);
  record.opStatus = ReadFirstStatus(pool, "OperationalStatus");
  return record;
}

}  // namespace

bool HP3ParCimUtil::GetVolumeList(TqCimConnection& conn, std::string systemName,
                                  std::vector<HP3PAR::VolumeInfo_t>& volumes, int& count) {
  const char* label = "HP3ParCimUtil::GetVolumeList";
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() -> bool {
    if (!ArrayKnown(*this, conn, label, systemName)) return false;
    Array<CIMInstance> instances = AllInstances(*this, conn, label, "CIM_StorageVolume");
    if (hp3par::LoginRefused(*this, conn, label)) return false;
    for (Uint32 i = 0; i < instances.size(); ++i) {
      Uint16 volumeType = ReadUint16(instances[i], "VolumeType");
      CIMObjectPath path = instances[i].getPath();
      if (!tqcimutil::Contains(GetPropByObjPath(path, "SystemName"), systemName) || volumeType != kBaseVolume) continue;
      volumes.push_back(VolumeRecord(instances[i]));
      ++count;
    }
    DEBUG_TRACE(label, "Successfully got Volume List.");
    return true;
  });
}

bool HP3ParCimUtil::GetPoolList(TqCimConnection& conn, std::string systemName, std::vector<HP3PAR::PoolInfo_t>& pools,
                                std::vector<HP3PAR::VolumeInfo_t>& volumes, int& count) {
  const char* label = "HP3ParCimUtil::GetPoolList";
  return TracedRethrow(*this, label, TQ_HANDLER_SITE, [&]() -> bool {
    if (!ArrayKnown(*this, conn, label, systemName)) return false;
    // One provider serves one 3PAR array: its pools are not filtered by array.
    Array<CIMInstance> instances = AllInstances(*this, conn, label, "TPD_DynamicStoragePool");
    if (hp3par::LoginRefused(*this, conn, label)) return false;
    for (Uint32 i = 0; i < instances.size(); ++i) {
      pools.push_back(PoolRecord(instances[i], volumes));
      ++count;
    }
    DEBUG_TRACE(label, "Successfully got Pool List.");
    return true;
  });
}
