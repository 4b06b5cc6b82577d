// Port and HTTPS of the SMI-S provider: the registry key when present, else the array's own setting.
#include "EvDebug.h"
#include "TqArrayLogin.h"
#include "TqEngineConfig.h"

namespace tqengine {

namespace {

const char kTag[] = "3PAR-initArrayParams";
const int kMaxPort = 65535;

// The registry integer when the key is present, else the array's setting (0 when neither is there).
// `fromSetting` says which one gave the value.
int RegistryOrSetting(const ArraySettingReader& settings, const char* key, const char* setting, bool& fromSetting) {
  int value = 0;
  fromSetting = false;
  if (GetRegInt(nullptr, key, &value) == 1) return value;
  value = 0;
  if (settings && settings(setting, value)) {
    fromSetting = true;
    return value;
  }
  return 0;
}

}  // namespace

ArraySettingReader DeviceArraySettings(TQSO::SnapInfo* device) {
  return
      [device](const char* name, int& value) { return device != nullptr && device->getConfigInt(name, &value) == 0; };
}

ArraySettingReader HostIdArraySettings(TQSO::TQOSUtil* osUtil, int hostId) {
  return [osUtil, hostId](const char* name, int& value) {
    return osUtil != nullptr && osUtil->getArrayConfigInt(hostId, 0, name, value) == 0;
  };
}

int ConfiguredSmisPort(const ArraySettingReader& settings) {
  bool fromSetting = false;
  const int port = RegistryOrSetting(settings, "3PAR_SMIS_PORT", "SMCONFIG_NAME_SMIS_SERVER_PORT", fromSetting);
  if (fromSetting && port != 0) o_logger.DebugLvl(kTag, -1, "found Arrya-config SMIS server port - %d", port);
  if (port < 0 || port > kMaxPort) {
    o_logger.DebugLvl(kTag, -1, "Configured SMIS server port %d is outside 1 to %d; the default port is kept", port,
                      kMaxPort);
    return 0;
  }
  return port;
}

bool ConfiguredSmisHttps(const ArraySettingReader& settings) {
  bool fromSetting = false;
  const int https = RegistryOrSetting(settings, "3PAR_SMIS_USE_HTTPS",
                                      "SMCONFIG_NAME_USE_SECURE_CONNECTION_TO_SMIS_SERVER", fromSetting);
  if (fromSetting && https == 1) o_logger.DebugLvl(kTag, -1, "found Array Config 3PAR Use HTTPS - %d", https);
  return https != 0;
}

}  // namespace tqengine
