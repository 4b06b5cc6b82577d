// Reading array-info texts from the host, the login of another array, and the engine kind.
#include <cstdint>
#include <limits>
#include <string>

#include "EvDebug.h"
#include "HostText.h"
#include "TqEngineConfig.h"
#include "TqNumberParse.h"

namespace tqengine {

namespace {

const uint16_t kArrayInfoCapacity = 4096;

// A whole-number value, or `fallback` when the text is not one that fits.
template <class Number>
Number NumberOr(const std::string& text, Number fallback) {
  int64_t value = 0;
  if (!tqhost::parseInt64(text, value)) return fallback;
  if (value < std::numeric_limits<Number>::min() || value > std::numeric_limits<Number>::max()) return fallback;
  return static_cast<Number>(value);
}

}  // namespace

bool ReadDeviceArrayInfo(TQSO::SnapInfo* device, std::string& text) {
  if (device == nullptr) return false;
  return ReadHostText(
      kArrayInfoCapacity, [&](char* buffer, uint16_t capacity) { return device->getArrayInfo(buffer, capacity); },
      text);
}

bool ReadArrayInfoById(TQSO::TQOSUtil* osUtil, const std::string& arrayId, std::string& text) {
  if (osUtil == nullptr) return false;
  return ReadHostText(
      kArrayInfoCapacity,
      [&](char* buffer, uint16_t capacity) { return osUtil->getArrayInfoById(arrayId.c_str(), buffer, capacity); },
      text);
}

}  // namespace tqengine

bool ParseForCredentials(const char* text, std::string& arrayId, std::string& hostName, std::string& user,
                         std::string& password, int& hostId) {
  if (text == nullptr) {
    o_logger.DebugLvl("3PAR-ParseForCredentials", -1, "[ERROR] Array info is NULL unable to get array login info");
    return false;
  }
  const std::string info = text;
  std::string hostIdText;
  if (!parseJsonString(info, "arrayId", arrayId) || !parseJsonString(info, "hostName", hostName) ||
      !parseJsonString(info, "hostUserName", user) || !parseJsonString(info, "hostPassword", password) ||
      !parseJsonString(info, "hostid", hostIdText))
    return false;
  hostId = tqengine::NumberOr<int>(hostIdText, 0);
  return true;
}

short getSnapEngineType(TQSO::SnapInfo* device) {
  std::string text;
  std::string engineId;
  if (!tqengine::ReadDeviceArrayInfo(device, text) || !parseJsonString(text, "engineId", engineId)) return 0;
  return tqengine::NumberOr<short>(engineId, 0);
}
