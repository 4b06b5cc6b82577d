// The host's device list, bus rescans, and which host devices are which LUN.
#include <string>
#include <vector>

#include "EvDebug.h"
#include "TqDeviceInquiry.h"
#include "TqHostBus.h"

namespace {

const uint32_t kFirstListBuffer = 4096;
const char kVmwareEntry[] = "{corvtype:vmware";

// The texts of a list as a null-ended array of C strings (alive as long as the list).
std::vector<const char*> NullEnded(const std::list<std::string>& texts) {
  std::vector<const char*> out;
  for (const std::string& text : texts) out.push_back(text.c_str());
  out.push_back(nullptr);
  return out;
}

// Splits the host's answer at each '*' (at each '*' that opens a VMware descriptor when the answer holds
// descriptors); no empty last entry.
void SplitDeviceList(const std::string& answer, std::list<std::string>& devices) {
  const bool vmware = answer.find("vmware") != std::string::npos;
  const std::string separator = vmware ? std::string("*") + kVmwareEntry : "*";
  size_t start = 0;
  while (start < answer.size()) {
    const size_t found = answer.find(separator, start);
    if (found == std::string::npos) {
      devices.push_back(answer.substr(start));
      return;
    }
    devices.push_back(answer.substr(start, found - start));
    start = found + 1;
  }
}

}  // namespace

void refreshSystemBus(TQSO::TQOSUtil* services, std::list<std::string> first, std::list<std::string> second,
                      std::string hostName) {
  if (services == nullptr) return;
  std::vector<const char*> initiators = NullEnded(first);
  std::vector<const char*> toDelete = NullEnded(second);
  services->rescanBus(hostName.empty() ? nullptr : hostName.c_str(), initiators.data(), toDelete.data());
}

bool getDeviceList(std::list<std::string>& devices, TQSO::TQOSUtil* services, std::string hostName) {
  const char* tag = "3PAR-getDeviceList";
  devices.clear();
  if (services == nullptr) return false;
  std::vector<char> buffer(kFirstListBuffer + 1u, '\0');
  for (;;) {
    const uint32_t size = static_cast<uint32_t>(buffer.size() - 1);
    const int result = services->listDevices(hostName.c_str(), "3P", '*', size, buffer.data());
    if (result < 0) {
      o_logger.DebugLvl(tag, -1, "Unable to get the device list");
      return false;
    }
    if (result == 0) break;
    // The host asks for more room; an answer that asks for no more than it had would never end.
    if (static_cast<uint32_t>(result) <= size) {
      o_logger.DebugLvl(tag, -1, "Unable to get the device list");
      return false;
    }
    buffer.assign(static_cast<size_t>(result) + 1u, '\0');
  }
  buffer.back() = '\0';
  SplitDeviceList(std::string(buffer.data()), devices);
  if (devices.empty()) {
    o_logger.DebugLvl(tag, -1, "Device list is empty");
    return false;
  }
  return true;
}

bool GetDeviceIdsFromDeviceList(std::list<std::string>& devices, std::list<DeviceCheckParams>& out, TQSO::SnapInfo*,
                                TQSO::TQOSUtil*) {
  const char* tag = "3par-GetDeviceIdsFromDeviceList";
  for (const std::string& device : devices) {
    DeviceCheckParams params;
    params.deviceName = device;
    std::string vendor, product;
    if (getDevArrayInfo(device.c_str(), vendor, product, params.arrayId, params.lunWWN, nullptr, nullptr)) {
      o_logger.DebugLvl(tag, 1, "[Dev - %s][Array-ID - %s][LunWWN - %s] ", device.c_str(), params.arrayId.c_str(),
                        params.lunWWN.c_str());
      out.push_back(params);
    } else {
      o_logger.DebugLvl(tag, -1, "[error]Detecting device-id %s", device.c_str());
    }
  }
  return true;
}

bool getAllDevicePaths(std::string lunWWN, std::list<std::string>& hostDevices, std::string,
                       std::list<std::string>& paths) {
  paths.clear();
  for (const std::string& device : hostDevices) {
    std::string vendor, product, arrayId, wwn;
    if (getDevArrayInfo(device.c_str(), vendor, product, arrayId, wwn, nullptr, nullptr) && !wwn.empty() &&
        wwn == lunWWN)
      paths.push_back(device);
  }
  return true;
}
