// The engine's tuning, read on every call: registry keys of the host configuration store and the
// per-array settings ("SMCONFIG_NAME_...") that the host hands out through a device's job record.
//
// Where a registry key and a setting govern the same thing, the registry key wins whenever it is present,
// whatever its value; the setting is read only when the key is absent. The remote proxy host is the one
// exception: its setting wins, and the registry is read only when the setting is absent or empty.
// A null device has no settings.
#pragma once

#include <string>

#include "SnapInfo.h"

namespace tqengine {

// Prepare: "3PAR_SNAP_NO_PARALLEL" when present (1 serial, anything else parallel); otherwise the first
// device's "SMCONFIG_NAME_ENABLE_PARALLEL_SNAP_OPERATIONS" (0 serial; absent or other parallel).
bool PrepareRunsInParallel(TQSO::SnapInfo* firstDevice);
// Snapshot creation reads the setting only: parallel when it is absent or exactly 1.
bool SnapRunsInParallel(TQSO::SnapInfo* firstDevice);

// How many per-device workers of one call run at once: "3PAR_MAX_PARALLEL_WORKERS", else 64; a value below
// 1 gives 64. One thread and one connection per device at once would use up the process's descriptors.
int ParallelWorkerLimit();

// Clone provisioning: "3PAR_CLONE_PROVISION_TYPE" when present, else "SMCONFIG_NAME_ENABLE_THIN_PROVISIONING"
// (0 when absent). 1 means thin.
int CloneProvisionType(TQSO::SnapInfo* device);
const char* CloneProvisionName(int provisionType);  // "Thin" for 1, "Full" otherwise

// The disk group (CPG) for clone volumes ("SMCONFIG_NAME_STORAGE_DEVICE_GROUP", whole; empty when unset),
// and whether it is required ("SMCONFIG_NAME_USE_DEVICES_ONLY_FROM_THIS_GROUP" is 1).
std::string StorageDeviceGroup(TQSO::SnapInfo* device);
bool DeviceGroupRequired(TQSO::SnapInfo* device);

// The window, in seconds, for finding mapped copies on the host: "nMountRetrySeconds", else the first
// device's "SMCONFIG_NAME_MOUNT_RETRY_INTERVAL_IN_SEC"; 180 or less (or neither) gives 300.
int MountRetrySeconds(TQSO::SnapInfo* firstDevice);

// Replication synchronization polling: "n3PARSyncWaitSeconds" (15) and "n3PARSyncWaitRetryCount" (500);
// a negative value means no wait / no poll (0).
int SyncWaitSeconds();
int SyncWaitRetryCount();

// Where the remote proxy host was found.
enum class ProxySource { kNone, kSetting, kRegistry };
// The remote proxy host: the setting "SMCONFIG_NAME_REMOTE_SNAP_PX" when non-empty, else the registry string
// "3PARExcecuteRemotePX" as it stands, when it holds more than blanks. kNone when neither names a host.
ProxySource ConfiguredRemoteProxy(TQSO::SnapInfo* device, std::string& proxyHost);

}  // namespace tqengine
