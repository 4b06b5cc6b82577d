#include "TqDeviceTree.h"

#include <mutex>

#include "LinuxHostPlatform.h"
#include "TqScsiInquiry.h"

const char* const TqDeviceScsiIface::kInterfaceName = "TqDeviceScsiIface";

namespace {

std::mutex& sourceMutex() {
  static std::mutex mutex;
  return mutex;
}

std::shared_ptr<TqDeviceSource>& currentSource() {
  static std::shared_ptr<TqDeviceSource> source;
  return source;
}

}  // namespace

SP<TqDevice> TqDeviceTree::getDevice(const char* name, CWmError* error) {
  if (name == nullptr || name[0] == '\0') {
    tqhost::setError(error, kBadArgument, "no device name");
    return nullptr;
  }
  return source()->openDevice(name, error);
}

void TqDeviceTree::setSource(std::shared_ptr<TqDeviceSource> source) {
  std::lock_guard<std::mutex> hold(sourceMutex());
  currentSource() = std::move(source);
}

std::shared_ptr<TqDeviceSource> TqDeviceTree::source() {
  std::lock_guard<std::mutex> hold(sourceMutex());
  if (!currentSource()) currentSource() = std::make_shared<TQSO::LinuxHostPlatform>("/");
  return currentSource();
}

TqDeviceSourceScope::TqDeviceSourceScope(std::shared_ptr<TqDeviceSource> source) : previous_(TqDeviceTree::source()) {
  TqDeviceTree::setSource(std::move(source));
}

TqDeviceSourceScope::~TqDeviceSourceScope() { TqDeviceTree::setSource(previous_); }
