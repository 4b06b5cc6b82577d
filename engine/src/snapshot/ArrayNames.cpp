// Names of host definitions and child snapshots on the array.
#include <string>

#include "EvDebug.h"
#include "TqHostNames.h"

namespace {

const char kGroupPrefix[] = "TQ_";
const char kIscsiSuffix[] = "_iscsi";
const char kFcSuffix[] = "_fc";
const char kChildPrefix[] = "TQ-CHILD-";
const size_t kLongestPrefixedMaster = 16;
const size_t kFullWwnMaster = 32;

}  // namespace

std::string GetGroupName(const char* hostName, bool iscsi) {
  std::string host = hostName != nullptr ? hostName : "";
  if (host.size() > tqengine::kGroupHostNameLength) {
    // Hosts are told apart on the array by their first 20 characters only.
    o_logger.DebugLvl("3PAR-GetGroupName", 1,
                      "Warning: host name [%s] is longer than %zu characters; the host definition is named from "
                      "its first %zu, which other hosts may share",
                      host.c_str(), tqengine::kGroupHostNameLength, tqengine::kGroupHostNameLength);
    host.resize(tqengine::kGroupHostNameLength);
  }
  return kGroupPrefix + host + (iscsi ? kIscsiSuffix : kFcSuffix);
}

bool GetChildDeviceName(const char* masterDeviceId, std::string& childName) {
  const char* tag = "GetChildDeviceName";
  childName.clear();
  const std::string master = masterDeviceId != nullptr ? masterDeviceId : "";
  if (master.size() <= kLongestPrefixedMaster) {
    childName = kChildPrefix + master;
    return true;
  }
  if (master.size() == kFullWwnMaster) {
    childName = master.substr(1);
    return true;
  }
  o_logger.DebugLvl(tag, -1, "%s: [error] unknown Master-Device size - %llu", tag,
                    static_cast<unsigned long long>(master.size()));
  return false;
}
