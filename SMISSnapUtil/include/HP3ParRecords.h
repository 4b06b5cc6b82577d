// Records of the 3PAR provisioning road: one listed base volume and one listed storage pool as the
// inventory reads them, and one initiator port that sees a volume. Sizes are in MiB (bytes shifted right
// by 20). Fields the system does not read keep their defaults and are only copied with the record.
#pragma once

#include <cstdint>
#include <string>

namespace HP3PAR {

// One 3PAR base volume as listed for the inventory.
struct VolumeInfo_t {
  std::string volumeName;  // "Caption": the name the inventory shows
  std::string reserved2;
  int64_t reserved3 = 0;
  bool reserved4 = false;
  std::string reserved5;
  int64_t reserved6 = 0;
  int64_t reserved7 = 0;
  uint64_t sizeMB = 0;  // ConsumableBlocks x BlockSize
  uint64_t usedMB = 0;  // never filled by the list
  int64_t reserved10 = 0;
  uint64_t opStatus = 0;  // first OperationalStatus value
  int64_t reserved12 = 0;
  std::string reserved13;
  std::string volumeId;     // "Name": the provider's unique volume identifier (WWN)
  std::string elementName;  // "ElementName"
  std::string reserved16;
  int64_t reserved17 = 0;
  std::string reserved18;
  std::string reserved19;
  std::string poolName;  // "UserDSPName": the pool the volume lives in
};

// One storage pool (common provisioning group) as listed for the inventory.
struct PoolInfo_t {
  std::string poolName;  // "ElementName"
  std::string reserved2;
  int64_t reserved3 = 0;
  bool reserved4 = false;
  std::string reserved5;
  int64_t reserved6 = 0;
  int64_t reserved7 = 0;
  uint64_t totalMB = 0;     // TotalManagedSpace
  uint64_t usedMB = 0;      // CurrentSpaceConsumed plus UsedSnapAdminSpace, each rounded down to MiB
  int64_t freeMB = 0;       // totalMB - usedMB; negative when more is used than managed
  int32_t volumeCount = 0;  // listed volumes whose poolName is this pool's poolKey
  int32_t opStatus = 0;     // first OperationalStatus value
  int64_t reserved13 = 0;
  std::string uuid;  // "UUID"
  std::string reserved15;
  std::string reserved16;
  int64_t reserved17 = 0;
  std::string reserved18;
  std::string reserved19;
  std::string poolKey;  // "ElementName" again: what volume counts and inventory matching compare with
};

}  // namespace HP3PAR

// One initiator port that sees a volume.
struct MappedHBAInfoList_t {
  static const int kIscsiType = 5;  // IDType of an iSCSI name; any other type is a Fibre Channel port

  std::string port;  // the hardware ID's StorageID: iSCSI name or FC port WWN
  int type = 0;      // the hardware ID's IDType

  bool IsIscsi() const { return type == kIscsiType; }
};
