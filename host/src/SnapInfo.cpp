// The operations of the job record that the engine calls.
#include "SnapInfo.h"

#include <cstdarg>

#include "TqFormat.h"
#include "TqHostBuffer.h"
#include "TqNumberParse.h"

namespace TQSO {

namespace {

std::string textOf(const char* text) { return text != nullptr ? text : ""; }

// Buffer whose size is passed by value.
int fillBuffer(const std::string& text, char* buffer, size_t capacity) {
  return tqhost::copyToBuffer(text, buffer, capacity) == tqhost::BufferFill::Copied ? SnapInfo::kOk
                                                                                    : SnapInfo::kBufferTooSmall;
}

// Buffer whose 16-bit size goes in and whose text length (or needed size) comes out.
int fillBuffer16(const std::string& text, char* buffer, uint16_t* length) {
  const size_t capacity = length != nullptr ? *length : 0;
  const int result = fillBuffer(text, buffer, capacity);
  if (length != nullptr) *length = result == SnapInfo::kOk ? uint16_t(text.size()) : tqhost::neededLength16(text);
  return result;
}

}  // namespace

SnapInfo::SnapInfo() = default;

SnapInfo::SnapInfo(const SnapInfo& other) {
  std::lock_guard<std::mutex> hold(other.mutex_);
  state_ = other.state_;
}

SnapInfo& SnapInfo::operator=(const SnapInfo& other) {
  if (this == &other) return *this;
  std::scoped_lock hold(mutex_, other.mutex_);
  state_ = other.state_;
  return *this;
}

SnapInfo::~SnapInfo() = default;

int SnapInfo::getSourceDeviceName(char* buffer, uint16_t length) {
  std::lock_guard<std::mutex> hold(mutex_);
  return fillBuffer(state_.sourceDeviceName, buffer, length);
}

int SnapInfo::getArrayInfo(char* buffer, uint16_t length) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (!state_.selectedArray) {
    if (buffer != nullptr && length > 0) buffer[0] = '\0';
    return kNotFound;
  }
  return fillBuffer(state_.selectedArray->info, buffer, length);
}

int SnapInfo::setArrayLogin(const char* arrayId) {
  std::shared_ptr<ArrayRegistry> registry;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    registry = state_.registry;
  }
  if (arrayId == nullptr || registry == nullptr) return kNotFound;
  std::optional<ArrayEntry> entry = registry->find(arrayId);
  if (!entry) return kNotFound;
  std::lock_guard<std::mutex> hold(mutex_);
  state_.selectedArray = std::move(entry);
  return kOk;
}

int SnapInfo::getClientHostId(char* buffer, uint16_t* length) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (state_.clientHostId.empty()) {
    if (length != nullptr) *length = 0;
    return kNotFound;
  }
  return fillBuffer16(state_.clientHostId, buffer, length);
}

int SnapInfo::getClientHostIdByType(int kind, char* buffer, uint16_t* length) {
  std::lock_guard<std::mutex> hold(mutex_);
  const auto found = state_.clientHostIdsByType.find(kind);
  if (found == state_.clientHostIdsByType.end()) {
    if (length != nullptr) *length = 0;
    return kNotFound;
  }
  return fillBuffer16(found->second, buffer, length);
}

bool SnapInfo::isFlagSet(uint32_t mask) {
  std::lock_guard<std::mutex> hold(mutex_);
  return mask != 0 && (state_.requestFlags & mask) == mask;
}

uint32_t SnapInfo::getRequestFlags() {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.requestFlags;
}

void SnapInfo::setCloneSyncFlag(bool on) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.cloneSyncFlag = on;
}

SnapStatus SnapInfo::getStatus() {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.status;
}

void SnapInfo::setStatus(SnapStatus status) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.status = status;
  state_.statusHistory.push_back(status);
}

int SnapInfo::getHostDevicePath(char* buffer, uint16_t length) {
  std::lock_guard<std::mutex> hold(mutex_);
  return fillBuffer(state_.hostDevicePath, buffer, length);
}

int SnapInfo::setHostDevicePath(const char* path) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.hostDevicePath = textOf(path);
  return kOk;
}

int SnapInfo::getSnapDeviceName(char* buffer, uint16_t length) {
  std::lock_guard<std::mutex> hold(mutex_);
  return fillBuffer(state_.snapDeviceName, buffer, length);
}

int SnapInfo::setSnapDeviceName(const char* name) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.snapDeviceName = textOf(name);
  return kOk;
}

int SnapInfo::storeMetaData(int id, const char* text) {
  std::lock_guard<std::mutex> hold(mutex_);
  const auto refused = state_.refusedMetaData.find(id);
  if (refused != state_.refusedMetaData.end() && refused->second) return 1;
  if (text == nullptr) {
    state_.metaData.erase(id);
  } else {
    state_.metaData[id] = text;
  }
  return 0;
}

int SnapInfo::setMetaData(int id, const char* text) { return storeMetaData(id, text); }

int SnapInfo::setMetaDataValue(int id, const char* text) { return storeMetaData(id, text); }

bool SnapInfo::getMetaData(int id, std::string& text) {
  std::lock_guard<std::mutex> hold(mutex_);
  const auto found = state_.metaData.find(id);
  if (found == state_.metaData.end()) return false;
  text = found->second;
  return true;
}

void SnapInfo::setError(int code, const char* text) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.errorCode = code;
  state_.errorText = textOf(text);
}

void SnapInfo::getError(int* code, char* text, uint16_t* length) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (code != nullptr) *code = state_.errorCode;
  if (text != nullptr || length != nullptr) fillBuffer16(state_.errorText, text, length);
}

void SnapInfo::logMessage(int level, const char* text) { addMessage(level, std::string(), textOf(text)); }

void SnapInfo::logFormatted(int level, const char* tag, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  const std::string text = tqhost::formatV(fmt, args);
  va_end(args);
  addMessage(level, textOf(tag), text);
}

void SnapInfo::addMessage(int level, const std::string& tag, const std::string& text) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.messages.push_back(JobMessage{level, tag, text});
}

uint32_t SnapInfo::getCopyNumber() {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.copyNumber;
}

uint32_t SnapInfo::getSnapId() {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.snapId;
}

std::optional<std::string> SnapInfo::settingLocked(const std::string& name) const {
  const auto own = state_.settings.find(name);
  if (own != state_.settings.end()) return own->second;
  if (state_.selectedArray) {
    const auto ofArray = state_.selectedArray->settings.find(name);
    if (ofArray != state_.selectedArray->settings.end()) return ofArray->second;
  }
  return std::nullopt;
}

int SnapInfo::getConfigInt(const char* name, int* value) {
  std::optional<std::string> text;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    if (name != nullptr) text = settingLocked(name);
  }
  if (!text) return kNotFound;
  int32_t parsed = 0;
  if (!tqhost::parseInt32(*text, parsed)) {
    o_logger.DebugLvl("SnapInfo", -1, "setting %s: \"%s\" is not a 32-bit number; treated as absent", name,
                      text->c_str());
    return kNotFound;
  }
  if (value != nullptr) *value = parsed;
  return kOk;
}

int SnapInfo::getConfigString(const char* name, char* buffer, uint32_t* length) {
  std::lock_guard<std::mutex> hold(mutex_);
  const std::optional<std::string> text = name != nullptr ? settingLocked(name) : std::nullopt;
  if (!text) {
    if (buffer != nullptr && length != nullptr && *length > 0) buffer[0] = '\0';
    return kNotFound;
  }
  const int result = fillBuffer(*text, buffer, length != nullptr ? *length : 0);
  if (length != nullptr) *length = uint32_t(result == kOk ? text->size() : text->size() + 1);
  return result;
}

int SnapInfo::getConfigString(const char* name, char* buffer, uint16_t* length) {
  uint32_t wide = length != nullptr ? *length : 0;
  const int result = getConfigString(name, buffer, &wide);
  if (length != nullptr) *length = uint16_t(wide > 0xffff ? 0xffff : wide);
  return result;
}

int SnapInfo::getConfigString(const char* name, char* buffer, uint32_t length) {
  return getConfigString(name, buffer, &length);
}

const unsigned char* SnapInfo::getInquiryData(int page) {
  std::lock_guard<std::mutex> hold(mutex_);
  const auto found = state_.inquiryData.find(page);
  return found == state_.inquiryData.end() ? nullptr : found->second.data();
}

void SnapInfo::setArrayName(const char* name) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.arrayName = textOf(name);
}

void SnapInfo::setLunWWN(const char* wwn) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.lunWWN = textOf(wwn);
}

int SnapInfo::getOperationType() {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.operationType;
}

int SnapInfo::getPRDMDeviceInfo(std::string& devices, std::string& other) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (!state_.prdmDeviceInfo) return 0;
  devices = state_.prdmDeviceInfo->first;
  other = state_.prdmDeviceInfo->second;
  return 1;
}

void SnapInfo::setIdentifyState(int state) {
  std::lock_guard<std::mutex> hold(mutex_);
  state_.identifyState = state;
}

int SnapInfo::getIdentifyState() {
  std::lock_guard<std::mutex> hold(mutex_);
  return state_.identifyState;
}

}  // namespace TQSO
