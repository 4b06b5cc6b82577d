#include "TqArrayLogin.h"

#include <cstdint>

#include "EvDebug.h"
#include "TqEngineConfig.h"
#include "TqEngineErrors.h"
#include "TqEngineResult.h"
#include "TqNumberParse.h"

namespace tqengine {

namespace {

const char kTag[] = "3PAR-initArrayParams";
const char kNamespace[] = "root/tpd";

// The array-info text for the parameters; false when it cannot be had (logged, error set when the text
// itself is missing).
bool ArrayInfoFor(TQSO::SnapInfo* device, TQSO::TQOSUtil* osUtil, const std::string& arrayId, bool fromDevice,
                  std::string& text) {
  bool read = false;
  if (fromDevice) {
    if (device == nullptr || device->setArrayLogin(arrayId.c_str()) != 0) {
      o_logger.DebugLvl(kTag, -1, " Unable to set the login credentials for SMIS provider");
      return false;
    }
    read = ReadDeviceArrayInfo(device, text);
  } else {
    read = ReadArrayInfoById(osUtil, arrayId, text);
  }
  if (!read) {
    o_logger.DebugLvl(kTag, -1, "Failed to get array info for array id [%s]", arrayId.c_str());
    setError(device, kErrArrayInfo, kTextArrayInfo);
  }
  return read;
}

// The settings of the array whose text was read by id: those the host services keep under the text's
// host id. Without a usable host id the array has no settings here (never the device's array's).
ArraySettingReader SettingsOfText(TQSO::TQOSUtil* osUtil, const std::string& arrayId, const std::string& text) {
  std::string hostIdText;
  int32_t hostId = 0;
  if (parseJsonString(text, "hostid", hostIdText) && tqhost::parseInt32(hostIdText, hostId))
    return HostIdArraySettings(osUtil, hostId);
  o_logger.DebugLvl(kTag, -1, "No host id in the array info of [%s]; its port and HTTPS settings are not read",
                    arrayId.c_str());
  return [](const char*, int&) { return false; };
}

}  // namespace

std::string CollapseDomainBackslash(const std::string& user) {
  const size_t first = user.find('\\');
  if (first == std::string::npos) return user;
  const size_t second = user.find('\\', first + 1);
  if (second == std::string::npos) return user;
  std::string collapsed = user;
  collapsed.erase(second, 1);
  return collapsed;
}

bool ReadArrayParams(TQSO::SnapInfo* device, TQSO::TQOSUtil* osUtil, const std::string& arrayId, bool fromDevice,
                     TqArrayLogin& login) {
  std::string text;
  if (!ArrayInfoFor(device, osUtil, arrayId, fromDevice, text)) return false;

  TqArrayLogin params;
  params.cimom.m_NameSpace = kNamespace;
  params.systemName = arrayId;
  if (!parseJsonString(text, "hostName", params.cimom.m_Address)) return false;
  if (!parseJsonString(text, "hostUserName", params.cimom.m_User)) return false;
  if (!parseJsonString(text, "hostPassword", params.cimom.m_Password)) return false;
  params.cimom.m_User = CollapseDomainBackslash(params.cimom.m_User);

  const ArraySettingReader settings = fromDevice ? DeviceArraySettings(device) : SettingsOfText(osUtil, arrayId, text);
  const int port = ConfiguredSmisPort(settings);
  if (ConfiguredSmisHttps(settings)) {
    params.cimom.m_UseSSL = true;
    params.cimom.m_Port = kHttpsPort;
  }
  if (port != 0) params.cimom.m_Port = port;

  o_logger.DebugLvl(kTag, 2, "3PAR SMIS port [%d]", params.cimom.m_Port);
  o_logger.DebugLvl(kTag, 2, " Array params %s %s %s %d", params.systemName.c_str(), params.cimom.m_Address.c_str(),
                    params.cimom.m_User.c_str(), params.cimom.m_Port);
  login = params;
  return true;
}

}  // namespace tqengine
