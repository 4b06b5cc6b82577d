#include "LUNInfo.h"

#include "TqHostBuffer.h"

namespace TQSO {

LUNInfo::LUNInfo(const LUNInfo& other) {
  std::lock_guard<std::mutex> hold(other.mutex_);
  state_ = other.state_;
}

LUNInfo& LUNInfo::operator=(const LUNInfo& other) {
  if (this == &other) return *this;
  std::scoped_lock hold(mutex_, other.mutex_);
  state_ = other.state_;
  return *this;
}

int LUNInfo::copyText(const std::optional<std::string> State::*field, char* buffer, short* length,
                      bool tellsSizeNeeded) const {
  std::lock_guard<std::mutex> hold(mutex_);
  const std::optional<std::string>& text = state_.*field;
  if (!text) return kNotGiven;
  if (length == nullptr) return kNotGiven;
  const size_t needed = text->size() + 1;
  if (needed > 32767) return kNotGiven;
  const size_t capacity = *length > 0 ? static_cast<size_t>(*length) : 0;
  if (tqhost::copyToBuffer(*text, buffer, capacity) != tqhost::BufferFill::Copied) {
    if (tellsSizeNeeded) *length = static_cast<short>(needed);
    return kBufferTooSmall;
  }
  return kOk;
}

int LUNInfo::getVolumeName(char* buffer, short* length) { return copyText(&State::volumeName, buffer, length); }
int LUNInfo::getArrayName(char* buffer, short* length) { return copyText(&State::arrayName, buffer, length); }
int LUNInfo::getArrayControlHost(char* buffer, short* length) { return copyText(&State::controlHost, buffer, length); }
int LUNInfo::getArrayLogin(char* buffer, short* length) { return copyText(&State::login, buffer, length); }
int LUNInfo::getArrayPassword(char* buffer, short* length) { return copyText(&State::password, buffer, length); }
int LUNInfo::getPoolName(char* buffer, short* length) { return copyText(&State::poolName, buffer, length); }
int LUNInfo::getMapInfo(char* buffer, short* length) { return copyText(&State::mapInfo, buffer, length, true); }

int LUNInfo::getVolumeSize(long& sizeBytes) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (!state_.sizeBytes) return kNotGiven;
  sizeBytes = *state_.sizeBytes;
  return kOk;
}

void LUNInfo::setState(int state) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.states.push_back(state);
}

void LUNInfo::setError(int code, const char* text) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.errorCode = code;
  state_.errorText = text != nullptr ? text : "";
}

unsigned long long LUNInfo::getJobId() {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.jobId;
}

void LUNInfo::setVolumeName(std::string name) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.createdVolumeName = std::move(name);
}

void LUNInfo::setVolumeId(std::string id) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.createdVolumeId = std::move(id);
}

void LUNInfo::setInitiatorGroups(std::vector<IGroupInfo>& groups, int* endPointId) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.groups = groups;
  if (endPointId != nullptr)
    state_.endPointId = *endPointId;
  else
    state_.endPointId.reset();
}

void LUNInfo::setRequestVolumeName(const std::string& name) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.volumeName = name;
}
void LUNInfo::setArrayNameText(const std::string& name) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.arrayName = name;
}
void LUNInfo::setArrayControlHostText(const std::string& host) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.controlHost = host;
}
void LUNInfo::setArrayLoginText(const std::string& login) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.login = login;
}
void LUNInfo::setArrayPasswordText(const std::string& enciphered) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.password = enciphered;
}
void LUNInfo::setPoolNameText(const std::string& pool) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.poolName = pool;
}
void LUNInfo::setVolumeSizeBytes(long sizeBytes) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.sizeBytes = sizeBytes;
}
void LUNInfo::setJobId(unsigned long long jobId) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.jobId = jobId;
}
void LUNInfo::setMapInfoText(const std::string& document) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.mapInfo = document;
}

int LUNInfo::state() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.states.empty() ? -1 : state_.states.back();
}
std::vector<int> LUNInfo::stateHistory() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.states;
}
int LUNInfo::errorCode() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.errorCode;
}
std::string LUNInfo::errorText() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.errorText;
}
std::string LUNInfo::createdVolumeName() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.createdVolumeName;
}
std::string LUNInfo::createdVolumeId() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.createdVolumeId;
}
std::vector<IGroupInfo> LUNInfo::initiatorGroups() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.groups ? *state_.groups : std::vector<IGroupInfo>();
}
bool LUNInfo::initiatorGroupsSet() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.groups.has_value();
}
std::optional<int> LUNInfo::endPointId() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.endPointId;
}

}  // namespace TQSO
