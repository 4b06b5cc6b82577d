// The host's initiator ports, as the host services give them and as the array expects them.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "EvDebug.h"
#include "TqHostBus.h"

namespace {

const uint16_t kFirstPortBuffer = 1024;

const char* HostOrNull(const std::string& host) { return host.empty() ? nullptr : host.c_str(); }

// A Fibre Channel port name as the array knows it: no ':' and upper case.
std::string NormalisedFcName(const std::string& name) {
  std::string out;
  for (unsigned char c : name)
    if (c != ':') out.push_back(static_cast<char>(std::toupper(c)));
  return out;
}

// The text a host wrote into a buffer of `length` bytes (no terminator needed).
std::string TextOf(const std::vector<char>& buffer, size_t length) {
  const size_t bounded = std::min(length, buffer.size());
  const auto end = std::find(buffer.begin(), buffer.begin() + bounded, '\0');
  return std::string(buffer.begin(), end);
}

}  // namespace

bool detectHbalist(TQSO::TQOSUtil* services, std::list<std::string>& initiators, const std::string& hostName,
                   std::string& arrayId, bool& iscsi) {
  const char* tag = "3PAR-detectHbalist";
  if (services == nullptr) return false;
  uint16_t namesLength = 0, kindsLength = 0, third = 0;
  o_logger.DebugLvl(tag, 2, "Calling osutil detectHbalist");
  services->detectHbalist(HostOrNull(hostName), arrayId.c_str(), nullptr, &namesLength, nullptr, &kindsLength, &third);
  o_logger.DebugLvl(tag, 2, "After calling osutil detectHbalist");
  if (namesLength == 0) {
    o_logger.DebugLvl(tag, -1, "Error: Unable to detect initiator info.");
    return false;
  }
  std::vector<char> names(namesLength + 1u, '\0');
  std::vector<unsigned char> kinds(kindsLength + 1u, 0);
  third = 0;
  const int result = services->detectHbalist(HostOrNull(hostName), arrayId.c_str(), names.data(), &namesLength,
                                             kinds.data(), &kindsLength, &third);
  if (result != TQSO::TQOSUtil::kDetected) {
    if (namesLength != 0) return true;
    o_logger.DebugLvl(tag, -1, "Unable to detect initiator info.");
    return false;
  }
  const std::string text = TextOf(names, namesLength);
  o_logger.DebugLvl(tag, 2, "detectHBAlist [%s]", text.c_str());
  iscsi = kindsLength > 0 && kinds[0] != 0;
  size_t start = 0;
  for (size_t k = 0; start <= text.size(); ++k) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string name = text.substr(start, end - start);
    const unsigned char kind = k < kindsLength ? kinds[k] : 0xFF;
    if (!iscsi && kind == 0) {
      o_logger.DebugLvl(tag, 2, "FC initiator:[%s]", name.c_str());
      initiators.push_back(name);
    } else if (iscsi && kind == 1) {
      o_logger.DebugLvl(tag, 2, "iSCSI initiator:[%s]", name.c_str());
      initiators.push_back(name);
    }
    start = end + 1;
  }
  return true;
}

bool detectHBA(std::string& initiator, bool& iscsi, std::string& arrayId, TQSO::TQOSUtil* services,
               std::string hostName) {
  const char* tag = "3PAR-detectHBA";
  initiator.clear();
  if (services == nullptr) return false;
  std::vector<char> buffer(kFirstPortBuffer + 1u, '\0');
  uint16_t length = kFirstPortBuffer;
  // The host answers the size it needs until the name fits; each answer must ask for more room, so the
  // exchange ends.
  while (services->detectHostHBA(hostName.c_str(), arrayId.c_str(), buffer.data(), &length, &iscsi) !=
         TQSO::TQOSUtil::kDetected) {
    if (length == 0 || length + 1u <= buffer.size()) {
      o_logger.DebugLvl(tag, -1, "Unable to detect initiator info.");
      return false;
    }
    buffer.assign(length + 1u, '\0');
  }
  const std::string port = TextOf(buffer, buffer.size() - 1);
  o_logger.DebugLvl(tag, 1, "Detected initiator port %s", port.c_str());
  initiator = iscsi ? port : NormalisedFcName(port);
  return true;
}

std::string convertHbaList(std::list<std::string>& initiators, bool iscsi) {
  std::string list;
  for (auto name = initiators.begin(); name != initiators.end(); ++name) {
    if (name != initiators.begin()) list += ',';
    list += iscsi ? *name : NormalisedFcName(*name);
  }
  o_logger.DebugLvl("3PAR-convertHbaList", 2, " converted hba list to string %s", list.c_str());
  return list;
}
