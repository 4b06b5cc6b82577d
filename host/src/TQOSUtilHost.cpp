// The host services' initiator, device-list and rescan operations.
#include <climits>
#include <cstring>

#include "TQOSUtil.h"
#include "TqHostBuffer.h"

namespace TQSO {

namespace {

std::string joinNames(const std::vector<HostInitiator>& ports) {
  std::string names;
  for (size_t i = 0; i < ports.size(); ++i) names += (i > 0 ? "," : "") + ports[i].name;
  return names;
}

std::vector<std::string> listOf(const char** items) {
  std::vector<std::string> result;
  for (size_t i = 0; items != nullptr && items[i] != nullptr; ++i) result.push_back(items[i]);
  return result;
}

bool startsWith(const std::string& text, const char* prefix) {
  return prefix == nullptr || text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

std::string TQOSUtil::remoteHostName(const std::string& host) const {
  static const char kEsxName[] = ",esxname:";
  {
    std::lock_guard<std::mutex> hold(mutex_);
    if (remoteHosts_.count(host) > 0) return host;
  }
  const size_t at = host.find(kEsxName);
  if (at == std::string::npos) return host;
  const size_t start = at + sizeof(kEsxName) - 1;
  const size_t end = host.find_first_of(",}", start);
  const std::string esxHost = host.substr(start, end == std::string::npos ? std::string::npos : end - start);
  return esxHost.empty() ? host : esxHost;
}

bool TQOSUtil::initiatorsOf(const char* host, std::vector<HostInitiator>& out) {
  if (isLocal(host)) {
    std::string error;
    return platform_->initiators(out, error);
  }
  const std::string name = remoteHostName(host);
  std::lock_guard<std::mutex> hold(mutex_);
  const auto found = remoteHosts_.find(name);
  if (found == remoteHosts_.end()) return false;
  out = found->second.initiators;
  return true;
}

int TQOSUtil::detectHbalist(const char* host, const char*, char* names, uint16_t* namesLength, unsigned char* kinds,
                            uint16_t* kindsLength, uint16_t* third) {
  if (third != nullptr) *third = 0;
  if (namesLength == nullptr || kindsLength == nullptr) return 0;
  std::vector<HostInitiator> ports;
  if (!initiatorsOf(host, ports) || ports.empty()) {
    *namesLength = 0;
    *kindsLength = 0;
    return 0;
  }
  const std::string joined = joinNames(ports);
  const size_t namesNeeded = joined.size() + 1;
  if (namesNeeded > UINT16_MAX || ports.size() > UINT16_MAX) {
    *namesLength = 0;
    *kindsLength = 0;
    return 0;
  }
  const bool room = names != nullptr && kinds != nullptr && *namesLength >= namesNeeded && *kindsLength >= ports.size();
  *namesLength = static_cast<uint16_t>(namesNeeded);
  *kindsLength = static_cast<uint16_t>(ports.size());
  if (!room) return 0;
  std::memcpy(names, joined.c_str(), namesNeeded);
  for (size_t i = 0; i < ports.size(); ++i) kinds[i] = ports[i].kind;
  return kDetected;
}

int TQOSUtil::detectHostHBA(const char* host, const char*, char* buffer, uint16_t* length, bool* iscsi) {
  if (length == nullptr) return 0;
  std::vector<HostInitiator> ports;
  if (!initiatorsOf(host, ports) || ports.empty()) {
    *length = 0;
    return 0;
  }
  const HostInitiator& port = ports.front();
  if (port.name.size() + 1 > UINT16_MAX) {
    *length = 0;
    return 0;
  }
  if (tqhost::copyToBuffer(port.name, buffer, *length) != tqhost::BufferFill::Copied) {
    *length = static_cast<uint16_t>(port.name.size() + 1);
    return 0;
  }
  *length = static_cast<uint16_t>(port.name.size());
  if (iscsi != nullptr) *iscsi = port.kind == INITIATOR_ISCSI;
  return kDetected;
}

int TQOSUtil::listDevices(const char* host, const char* filter, char separator, uint32_t size, char* buffer) {
  std::string text;
  if (isLocal(host)) {
    std::vector<HostBlockDevice> devices;
    std::string error;
    if (!platform_->blockDevices(devices, error)) return -1;
    const char* prefix = filter != nullptr && filter[0] != '\0' ? filter : nullptr;
    for (const HostBlockDevice& device : devices)
      if (startsWith(device.vendor, prefix)) text += device.path + separator;
  } else {
    const std::string name = remoteHostName(host);
    std::lock_guard<std::mutex> hold(mutex_);
    const auto found = remoteHosts_.find(name);
    if (found == remoteHosts_.end()) return -1;
    text = found->second.deviceListText;
  }
  if (text.size() + 1 > static_cast<size_t>(INT_MAX)) return -1;
  if (tqhost::copyToBuffer(text, buffer, size) != tqhost::BufferFill::Copied) return static_cast<int>(text.size() + 1);
  return 0;
}

int TQOSUtil::rescanBus(const char* host, const char** initiators, const char** devicesToDelete) {
  const bool local = isLocal(host);
  RescanRecord record{local ? std::string() : remoteHostName(host), listOf(initiators), listOf(devicesToDelete)};
  {
    std::lock_guard<std::mutex> hold(mutex_);
    rescans_.push_back(record);
  }
  if (!local) {
    // Another host rescans by itself; only a host known here can be asked to.
    std::lock_guard<std::mutex> hold(mutex_);
    return remoteHosts_.count(record.host) > 0 ? 0 : -1;
  }
  std::string error;
  return platform_->rescan(record.initiators, record.devicesToDelete, error) ? 0 : -1;
}

}  // namespace TQSO
