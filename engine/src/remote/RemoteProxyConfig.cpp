#include "EvDebug.h"
#include "TqEngineSettings.h"
#include "TqRemoteProxy.h"

namespace {

const char kTag[] = "isRemoteCallEnabled";

}  // namespace

bool isRemoteCallEnabled(TQSO::SnapInfo* device, std::string& arrayId, std::string& proxyHost) {
  proxyHost.clear();
  if (device == nullptr || device->setArrayLogin(arrayId.c_str()) != 0) {
    o_logger.DebugLvl(kTag, -1, " Unable to set the login credentials for SMIS provider");
    return false;
  }
  switch (tqengine::ConfiguredRemoteProxy(device, proxyHost)) {
    case tqengine::ProxySource::kSetting:
      o_logger.DebugLvl(kTag, 1, " isRemoteCallEnabled: remote PX is configured by extended property [%s] [PX - %s] ",
                        arrayId.c_str(), proxyHost.c_str());
      return true;
    case tqengine::ProxySource::kRegistry:
      o_logger.DebugLvl(kTag, 1, " isRemoteCallEnabled: remote PX is configured by registry key [%s] [PX - %s] ",
                        arrayId.c_str(), proxyHost.c_str());
      return true;
    case tqengine::ProxySource::kNone:
      break;
  }
  proxyHost.clear();
  o_logger.DebugLvl(kTag, 1, " isRemoteCallEnabled: No remote PX is configured [%s] ", arrayId.c_str());
  return false;
}
