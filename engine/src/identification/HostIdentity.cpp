// The identifier of the host the engine works for.
#include <unistd.h>

#include <string>
#include <vector>

#include "EvDebug.h"
#include "TqHostNames.h"
#include "config/HostText.h"

namespace {

const char kTag[] = "3PAR-getHostIdentifier";
const uint16_t kDevicePathCapacity = 1024;
const uint16_t kIdentifierCapacity = 2048;
const int kMountIdentifierKind = 9;
const char kEsxKey[] = ",esxname:";
const char kPasswordKey[] = "password:";

bool LocalHostName(std::string& name) {
  std::vector<char> buffer(kIdentifierCapacity + 1, '\0');
  if (::gethostname(buffer.data(), kIdentifierCapacity) != 0) return false;
  buffer[kIdentifierCapacity] = '\0';
  name = buffer.data();
  return true;
}

// The identifier the record gives for a "vmware" device; the host's answer (0 when given).
int RecordIdentifier(TQSO::SnapInfo* device, bool mountOperation, std::string& identifier) {
  int answer = 0;
  const bool read = tqengine::ReadHostText(
      kIdentifierCapacity,
      [&](char* buffer, uint16_t capacity) {
        uint16_t length = capacity;
        answer = mountOperation ? device->getClientHostIdByType(kMountIdentifierKind, buffer, &length)
                                : device->getClientHostId(buffer, &length);
        return answer;
      },
      identifier);
  return read ? 0 : (answer != 0 ? answer : -1);
}

}  // namespace

namespace tqengine {

std::string MaskHostIdentifier(const std::string& identifier) {
  std::string masked = identifier;
  const size_t start = masked.find(kPasswordKey);
  if (start == std::string::npos) return masked;
  size_t end = masked.find('}', start);
  if (end == std::string::npos) end = masked.size();
  for (size_t i = start; i < end; ++i)
    if (masked[i] != ':') masked[i] = '*';
  return masked;
}

}  // namespace tqengine

bool getHostIdentifier(TQSO::SnapInfo* device, std::string& identifier, bool mountOperation) {
  if (device == nullptr) return false;
  std::string path;
  tqengine::ReadHostText(
      kDevicePathCapacity, [&](char* buffer, uint16_t capacity) { return device->getHostDevicePath(buffer, capacity); },
      path);

  std::string found;
  if (path.find("vmware") == std::string::npos) {
    if (!LocalHostName(found)) {
      o_logger.DebugLvl(kTag, -1, "Error: TQSO3PARAPI::getHostIdentifier Unable to read the local host name");
      return false;
    }
  } else {
    const int answer = RecordIdentifier(device, mountOperation, found);
    if (answer != 0) {
      o_logger.DebugLvl(kTag, -1,
                        "Error: TQSO3PARAPI::getHostIdentifier Unable to get the host identifier [ %s ] [ret = %d] "
                        "[mount operation = %s] ",
                        tqengine::MaskHostIdentifier(path).c_str(), answer, mountOperation ? "Yes" : "No");
      return false;
    }
  }
  identifier = found;
  o_logger.DebugLvl(kTag, -1, "GetHostIdentifier returns [%s]", tqengine::MaskHostIdentifier(identifier).c_str());
  return true;
}

void getESXFromHostIdentifier(const std::string& identifier, std::string& esxName) {
  esxName.clear();
  const size_t key = identifier.find(kEsxKey);
  if (key == std::string::npos) return;
  const size_t end = identifier.find(',', key + 1);
  if (end == std::string::npos) return;
  const size_t start = key + sizeof(kEsxKey) - 1;
  if (end < start) return;
  esxName = identifier.substr(start, end - start);
}
