// The host's side of the job record: filling it before a call and reading it afterwards.
#include <algorithm>

#include "SnapInfo.h"

namespace TQSO {

void SnapInfo::setArrayRegistry(std::shared_ptr<ArrayRegistry> registry) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.registry = std::move(registry);
}

void SnapInfo::setSourceDeviceName(const std::string& name) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.sourceDeviceName = name;
}

void SnapInfo::setClientHostId(const std::string& id) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.clientHostId = id;
}

void SnapInfo::setClientHostIdByType(int kind, const std::string& id) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.clientHostIdsByType[kind] = id;
}

void SnapInfo::setRequestFlags(uint32_t flags) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.requestFlags = flags;
}

void SnapInfo::setCopyNumber(uint32_t number) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.copyNumber = number;
}

void SnapInfo::setSnapId(uint32_t id) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.snapId = id;
}

void SnapInfo::setOperationType(int type) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.operationType = type;
}

void SnapInfo::setPRDMDeviceInfo(const std::string& devices, const std::string& other) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.prdmDeviceInfo = std::make_pair(devices, other);
}

void SnapInfo::setInquiryData(int page, const std::vector<unsigned char>& data) {
  std::vector<unsigned char> stored(data);
  if (stored.size() < kInquiryBufferSize) stored.resize(kInquiryBufferSize, 0);
  std::lock_guard<std::mutex> hold(mutex_);
  state_.inquiryData[page] = std::move(stored);
}

void SnapInfo::setSetting(const std::string& name, const std::string& value) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.settings[name] = value;
}

void SnapInfo::setSetting(const std::string& name, long long value) { setSetting(name, std::to_string(value)); }

void SnapInfo::refuseMetaData(int id, bool refuse) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.refusedMetaData[id] = refuse;
}

void SnapInfo::clearMessages() {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.messages.clear();
}

std::string SnapInfo::sourceDeviceName() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.sourceDeviceName;
}

std::string SnapInfo::hostDevicePath() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.hostDevicePath;
}

std::string SnapInfo::snapDeviceName() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.snapDeviceName;
}

int SnapInfo::errorCode() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.errorCode;
}

std::string SnapInfo::errorText() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.errorText;
}

std::vector<JobMessage> SnapInfo::messages() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.messages;
}

bool SnapInfo::hasMessageContaining(const std::string& fragment) const {
  std::lock_guard<std::mutex> hold(mutex_);
  return std::any_of(state_.messages.begin(), state_.messages.end(),
                     [&](const JobMessage& m) { return m.text.find(fragment) != std::string::npos; });
}

std::map<int, std::string> SnapInfo::metaData() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.metaData;
}

std::optional<std::string> SnapInfo::metaDataText(int id) const {
  std::lock_guard<std::mutex> hold(mutex_);
  const auto found = state_.metaData.find(id);
  if (found == state_.metaData.end()) return std::nullopt;
  return found->second;
}

std::vector<SnapStatus> SnapInfo::statusHistory() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.statusHistory;
}

bool SnapInfo::cloneSyncFlag() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.cloneSyncFlag;
}

std::string SnapInfo::arrayName() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.arrayName;
}

std::string SnapInfo::lunWWN() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.lunWWN;
}

std::string SnapInfo::selectedArrayId() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.selectedArray ? state_.selectedArray->id : std::string();
}

}  // namespace TQSO
