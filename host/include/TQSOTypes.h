// Numbers shared between the host agent and the snapshot engine.
#pragma once

#include <list>
#include <map>
#include <string>

namespace TQSO {

// Result of a call over a device (or LUN) list.
enum ResultCode {
  RC_SUCCESS = 0,       // every device reached the call's success status
  RC_FAIL = 1,          // none did
  RC_FAIL_PARTIAL = 2,  // some did
};

// Per-device status written by the engine.
enum SnapStatus {
  SS_RESET = 0,
  SS_PREPARED = 1,
  SS_PREPARE_FAILED = 2,
  SS_UNPREPARED = 3,
  SS_SNAPSHOT_CREATED = 5,
  SS_SNAPSHOT_FAILED = 6,
  SS_CLONE_CREATED = 7,
  SS_CLONE_FAILED = 8,
  SS_MAPPED = 9,
  SS_MAPPED_TO_OTHER_HOST = 10,
  SS_MAP_FAILED = 11,
  SS_SEEN_AS_HOST_DEVICE = 12,  // also: the child snapshot exists
  SS_NO_SUCH_CHILD = 13,
  SS_UNMAPPED = 14,
  SS_UNMAP_FAILED = 15,
  SS_DELETED = 20,
  SS_DELETE_FAILED = 21,
  SS_RESTORED = 22,
  SS_RESTORE_FAILED = 23,
  SS_GONE_FROM_ARRAY = 24,
};

// Copy kind a job asks for.
enum SNAP_TYPE {
  SNAP_TYPE_CLONE = 1,
  SNAP_TYPE_SNAPSHOT = 2,
};

// Request flags of a device.
const unsigned int REQUEST_FLAG_PERSISTENT_SNAPSHOT = 0x1000;
const unsigned int REQUEST_FLAG_SNAP_COPY = 0x8000;
const unsigned int REQUEST_FLAG_IDENTIFY_BY_WWN = 0x20000000;

// The host's map of the devices of an identification call: a vendor-and-product key ("<vendor>|::|"
// followed by the 16-character product field) to the host device names of that kind.
typedef std::map<std::string, std::list<std::string>> DeviceMap;

// Metadata ids of a device's record.
const int TQSO_3PAR_UNIQUE_STR_TYPE_ID = 1;
const int SM_MDT_3PAR_REPLICATION = 51;
const int SM_MDT_VPLEX_BACKEND_ID = 81;
const int REMOTE_CALL_ID = 117;
const int SM_MDT_3PAR_UNIQUE_STR_REMOTE_WWN_ID = 118;
const int SM_MDT_3PAR_UNIQUE_STR_REMOTE_INITIATOR_PORT_ID = 119;
const int SM_MDT_3PAR_REMOTE_MAP_PARAMETER_2 = 120;
const int SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_PARAMETER = 121;
const int SM_MDT_3PAR_UNIQUE_STR_REMOTE_GENERIC_RESULT = 122;
const int SM_MDT_3PAR_REMOTE_MAP_COUNT = 123;
const int SM_MDT_3PAR_SRC_SNAP_UUID = 124;
const int SM_MDT_PRDM_MOUNTED_DEVICE = 133;

}  // namespace TQSO
