// The host-services object: construction, host-side settings, arrays and job id.
#include "TQOSUtil.h"

#include <unistd.h>

#include <climits>
#include <cstring>

#include "LinuxHostPlatform.h"
#include "TqHostBuffer.h"
#include "TqNumberParse.h"

namespace TQSO {

namespace {

std::string machineHostName() {
  char name[HOST_NAME_MAX + 1];
  std::memset(name, 0, sizeof(name));
  if (::gethostname(name, sizeof(name) - 1) != 0) return std::string();
  return name;
}

}  // namespace

TQOSUtil::TQOSUtil() : TQOSUtil(nullptr, nullptr) {}

TQOSUtil::TQOSUtil(std::shared_ptr<ArrayRegistry> registry, std::shared_ptr<TqHostPlatform> platform)
    : registry_(registry ? std::move(registry) : std::make_shared<ArrayRegistry>()),
      platform_(platform ? std::move(platform) : std::make_shared<LinuxHostPlatform>("/")),
      localHostName_(machineHostName()) {}

TQOSUtil::~TQOSUtil() = default;

int TQOSUtil::getArrayInfoById(const char* arrayId, char* buffer, uint16_t length) {
  if (arrayId == nullptr) return 1;
  const std::optional<ArrayEntry> entry = registry_->find(arrayId);
  if (!entry) {
    if (buffer != nullptr && length > 0) buffer[0] = '\0';
    return 1;
  }
  return tqhost::copyToBuffer(entry->info, buffer, length) == tqhost::BufferFill::Copied ? 0 : 2;
}

short TQOSUtil::getArrayConfigInt(int hostId, int, const char* name, int& value) {
  if (name == nullptr) return -1;
  for (const std::string& id : registry_->ids()) {
    const std::optional<ArrayEntry> entry = registry_->find(id);
    if (!entry || entry->hostId != hostId) continue;
    const auto setting = entry->settings.find(name);
    int32_t number = 0;
    if (setting == entry->settings.end() || !tqhost::parseInt32(setting->second, number)) return -1;
    value = number;
    return 0;
  }
  return -1;
}

short TQOSUtil::getArrayInfoByHost(const char* controlHost, char* buffer, short* length) {
  if (controlHost == nullptr || length == nullptr) return -1;
  const std::optional<ArrayEntry> entry = registry_->findByControlHost(controlHost);
  if (!entry) return -1;
  const size_t needed = entry->info.size() + 1;
  if (needed > SHRT_MAX) return -1;
  const size_t capacity = *length > 0 ? static_cast<size_t>(*length) : 0;
  if (tqhost::copyToBuffer(entry->info, buffer, capacity) != tqhost::BufferFill::Copied)
    return static_cast<short>(needed);
  *length = static_cast<short>(entry->info.size());
  return 0;
}

unsigned long long TQOSUtil::getJobId() {
  std::lock_guard<std::mutex> hold(mutex_);
  return jobId_;
}

void TQOSUtil::setJobId(unsigned long long jobId) {
  std::lock_guard<std::mutex> hold(mutex_);
  jobId_ = jobId;
}

void TQOSUtil::setLocalHostName(const std::string& name) {
  std::lock_guard<std::mutex> hold(mutex_);
  localHostName_ = name;
}

std::string TQOSUtil::localHostName() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return localHostName_;
}

void TQOSUtil::setRemoteHost(const std::string& host, const std::vector<HostInitiator>& initiators,
                             const std::string& deviceListText) {
  std::lock_guard<std::mutex> hold(mutex_);
  remoteHosts_[host] = RemoteHost{initiators, deviceListText};
}

void TQOSUtil::setDeviceList(SnapInfo** list, short count) {
  std::lock_guard<std::mutex> hold(mutex_);
  deviceList_.clear();
  for (short i = 0; list != nullptr && i < count; ++i) deviceList_.push_back(list[i]);
}

void TQOSUtil::setProxyEntryPoint(ProxyEntryPoint entryPoint) {
  std::lock_guard<std::mutex> hold(mutex_);
  proxyEntryPoint_ = std::move(entryPoint);
}

void TQOSUtil::setReachableProxies(const std::set<std::string>& hosts) {
  std::lock_guard<std::mutex> hold(mutex_);
  reachableProxies_ = hosts;
}

void TQOSUtil::setProxyPlatform(std::shared_ptr<TqHostPlatform> platform) {
  std::lock_guard<std::mutex> hold(mutex_);
  proxyPlatform_ = std::move(platform);
}

std::vector<TQOSUtil::RescanRecord> TQOSUtil::rescans() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return rescans_;
}

std::vector<std::string> TQOSUtil::proxyRuns() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return proxyRuns_;
}

bool TQOSUtil::isLocal(const char* host) const {
  if (host == nullptr || host[0] == '\0') return true;
  std::lock_guard<std::mutex> hold(mutex_);
  return host == localHostName_;
}

}  // namespace TQSO
