// The handler's connection parameters of an array: registry keys first, else the array's settings, which
// the host services keep by the host id found in the control host's array-information text.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "FXString.h"
#include "HP3ParHandler.h"
#include "TqEngineConfig.h"

namespace {

const char kParamsTag[] = "HP3ParHandler::InitArrayParams";
const char kHostIdTag[] = "HP3ParHandler::GetControlHostId";
const int kHttpsPort = 5989;
const int kMaxPort = 65535;
const short kArrayInfoCapacity = 4096;
// The host is asked again only while it answers with a larger size; a host that keeps doing so fails.
const int kArrayInfoRequests = 3;

// The leading decimal number of a text as a host id: 0 when there is none or it does not fit an int.
int HostIdNumber(const std::string& text) {
  errno = 0;
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (errno != 0 || value < INT_MIN || value > INT_MAX) return 0;
  return static_cast<int>(value);
}

}  // namespace

bool HP3ParHandler::GetRegInt(const char* section, const char* key, int* value) {
  return ::GetRegInt(section, key, value) == 1;
}

TqCimConnection HP3ParHandler::InitArrayParams(TQSO::TQOSUtil* osUtil, std::string controlHost, std::string login,
                                               std::string password) {
  TqCimConnection conn;
  TqCimomParams params;
  EvDebug logger;
  int port = 0;
  int https = 0;
  if (!GetRegInt(nullptr, "3PAR_SMIS_PORT", &port)) {
    port = 0;
    GetArrayConfigValueIntUtil(osUtil, logger, controlHost, "SMCONFIG_NAME_SMIS_SERVER_PORT", port);
    if (port != 0) logger.DebugLvl(kParamsTag, -1, "Found Arry Config SMIS server port - %d", port);
  }
  if (port < 0 || port > kMaxPort) {
    logger.DebugLvl(kParamsTag, -1, "Configured SMIS server port %d is outside 1 to %d; the default port is kept", port,
                    kMaxPort);
    port = 0;
  }
  if (!GetRegInt(nullptr, "3PAR_SMIS_USE_HTTPS", &https)) {
    https = 0;
    GetArrayConfigValueIntUtil(osUtil, logger, controlHost, "SMCONFIG_NAME_USE_SECURE_CONNECTION_TO_SMIS_SERVER",
                               https);
    if (https == 1) logger.DebugLvl(kParamsTag, -1, "Found Array Config 3PAR Use HTTPS - %d", https);
  }
  if (https != 0) {
    params.m_UseSSL = true;
    params.m_Port = kHttpsPort;
  }
  if (port > 0) params.m_Port = port;
  params.m_NameSpace = "root/tpd";
  params.m_Address = controlHost;
  params.m_User = login;
  params.m_Password = password;
  conn.m_Cimom.SetCimom(params);
  return conn;
}

int HP3ParHandler::GetArrayConfigValueIntUtil(TQSO::TQOSUtil* osUtil, EvDebug& logger, std::string controlHost,
                                              const char* settingName, int& value) {
  int hostId = 0;
  if (GetControlHostId(osUtil, logger, controlHost.c_str(), hostId)) {
    logger.DebugLvl("HP3ParHandler::GetArrayConfigValueIntUtil", -1, "Failed to get control host id");
    return 1;
  }
  const short result = osUtil->getArrayConfigInt(hostId, 0, settingName, value);
  if (result == -1)
    logger.DebugLvl("HP3ParHandler::GetArrayConfigValueIntUtil", 0, "Failed to get Array Config[%s]", settingName);
  return result;
}

bool HP3ParHandler::GetControlHostId(TQSO::TQOSUtil* osUtil, EvDebug& logger, const char* controlHost, int& hostId) {
  if (osUtil == nullptr) {
    logger.DebugLvl(kHostIdTag, -1, "osutil is NULL!!");
    return true;
  }
  const char* host = controlHost != nullptr ? controlHost : "";
  short length = kArrayInfoCapacity;
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  short result = osUtil->getArrayInfoByHost(host, buffer.data(), &length);
  for (int requests = 1; result > 0 && requests < kArrayInfoRequests; ++requests) {
    length = result;
    buffer.assign(static_cast<size_t>(result) + 1, '\0');
    result = osUtil->getArrayInfoByHost(host, buffer.data(), &length);
  }
  if (result != 0) {
    const std::string error = FXString::Format("Unable to get arrayInfo for the array [%s]. Error = %d", host, result);
    logger.DebugLvl(kHostIdTag, -1, "[%s]", error.c_str());
    return true;
  }
  buffer.back() = '\0';
  std::string hostIdText;
  if (!ParseForControlHostId(buffer.data(), hostIdText, logger)) {
    const std::string error = std::string("Host ID not found for the control host [") + host + "].";
    logger.DebugLvl(kHostIdTag, -1, "[%s]", error.c_str());
    return true;
  }
  hostId = HostIdNumber(hostIdText);
  return false;
}

bool HP3ParHandler::ParseForControlHostId(const char* arrayInfo, std::string& hostId, EvDebug& logger) {
  if (arrayInfo == nullptr) {
    logger.DebugLvl("HP3ParHandler::ParseForControlHostId", -1, "Array info is NULL unable to get hostid info");
    return false;
  }
  return GetJsonVal(arrayInfo, "hostid", hostId);
}

bool HP3ParHandler::GetJsonVal(const std::string& text, const std::string& key, std::string& value) {
  size_t match = text.find("{" + key + ":");
  if (match == std::string::npos) match = text.find("," + key + ":");
  if (match == std::string::npos) return false;
  const size_t start = match + key.size() + 2;
  size_t end = text.find(',', start);
  if (end == std::string::npos) end = text.find('}', start);
  if (end == std::string::npos) return false;
  value = text.substr(start, end - start);
  return true;
}
