#include "TqEngineSettings.h"

#include <string>

#include "EvDebug.h"
#include "HostText.h"
#include "TqEngineConfig.h"

namespace tqengine {

namespace {

const int kShortestMountWindow = 180;
const int kDefaultMountWindow = 300;
const int kDefaultSyncWaitSeconds = 15;
const int kDefaultSyncWaitRetries = 500;
const uint16_t kSettingCapacity = 4096;
const int kDefaultWorkerLimit = 64;

// The device's integer setting; false when it has none.
bool Setting(TQSO::SnapInfo* device, const char* name, int& value) {
  int read = 0;
  if (device == nullptr || device->getConfigInt(name, &read) != 0) return false;
  value = read;
  return true;
}

// The device's text setting, whole; empty when it has none.
std::string TextSetting(TQSO::SnapInfo* device, const char* name) {
  std::string text;
  if (device == nullptr) return text;
  ReadHostText(
      kSettingCapacity,
      [&](char* buffer, uint16_t capacity) { return device->getConfigString(name, buffer, capacity); }, text);
  return text;
}

int RegistryOr(const char* key, int fallback) {
  int value = 0;
  return GetRegInt(nullptr, key, &value) == 1 ? value : fallback;
}

}  // namespace

bool PrepareRunsInParallel(TQSO::SnapInfo* firstDevice) {
  int value = 0;
  if (GetRegInt(nullptr, "3PAR_SNAP_NO_PARALLEL", &value) == 1) return value != 1;
  if (Setting(firstDevice, "SMCONFIG_NAME_ENABLE_PARALLEL_SNAP_OPERATIONS", value) && value == 0) {
    o_logger.DebugLvl("3PAR-TP_prepareDevices", -1, "found Array Config 3PAR Diabled PARALLEL Snap operation - %d",
                      value);
    return false;
  }
  return true;
}

bool SnapRunsInParallel(TQSO::SnapInfo* firstDevice) {
  int value = 1;
  Setting(firstDevice, "SMCONFIG_NAME_ENABLE_PARALLEL_SNAP_OPERATIONS", value);
  return value == 1;
}

int ParallelWorkerLimit() {
  const int limit = RegistryOr("3PAR_MAX_PARALLEL_WORKERS", kDefaultWorkerLimit);
  return limit < 1 ? kDefaultWorkerLimit : limit;
}

int CloneProvisionType(TQSO::SnapInfo* device) {
  int value = 0;
  if (GetRegInt(nullptr, "3PAR_CLONE_PROVISION_TYPE", &value) == 1) return value;
  value = 0;
  if (Setting(device, "SMCONFIG_NAME_ENABLE_THIN_PROVISIONING", value) && value != 0)
    o_logger.DebugLvl("3PAR-TP_prepareDevices", -1, "found Array Config 3PAR_CLONE_PROVISION_TYPE - %d", value);
  return value;
}

const char* CloneProvisionName(int provisionType) { return provisionType == 1 ? "Thin" : "Full"; }

std::string StorageDeviceGroup(TQSO::SnapInfo* device) {
  return TextSetting(device, "SMCONFIG_NAME_STORAGE_DEVICE_GROUP");
}

bool DeviceGroupRequired(TQSO::SnapInfo* device) {
  int value = 0;
  return Setting(device, "SMCONFIG_NAME_USE_DEVICES_ONLY_FROM_THIS_GROUP", value) && value == 1;
}

int MountRetrySeconds(TQSO::SnapInfo* firstDevice) {
  int window = 0;
  if (GetRegInt(nullptr, "nMountRetrySeconds", &window) != 1) {
    window = 0;
    if (Setting(firstDevice, "SMCONFIG_NAME_MOUNT_RETRY_INTERVAL_IN_SEC", window) && window != 0)
      o_logger.DebugLvl("3PAR-tqso_mapSnaps", -1, "found reg key nMountRetrySeconds - %d", window);
  }
  return window <= kShortestMountWindow ? kDefaultMountWindow : window;
}

int SyncWaitSeconds() {
  const int seconds = RegistryOr("n3PARSyncWaitSeconds", kDefaultSyncWaitSeconds);
  return seconds < 0 ? 0 : seconds;
}

int SyncWaitRetryCount() {
  const int polls = RegistryOr("n3PARSyncWaitRetryCount", kDefaultSyncWaitRetries);
  return polls < 0 ? 0 : polls;
}

ProxySource ConfiguredRemoteProxy(TQSO::SnapInfo* device, std::string& proxyHost) {
  const std::string setting = TextSetting(device, "SMCONFIG_NAME_REMOTE_SNAP_PX");
  if (!setting.empty()) {
    proxyHost = setting;
    return ProxySource::kSetting;
  }
  std::string registry;
  // A key that holds only blanks names no host: every call would otherwise fail on the proxy.
  if (!GetRegString(nullptr, "3PARExcecuteRemotePX", &registry) ||
      registry.find_first_not_of(" \t") == std::string::npos)
    return ProxySource::kNone;
  proxyHost = registry;
  return ProxySource::kRegistry;
}

}  // namespace tqengine
