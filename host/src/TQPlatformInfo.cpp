#include "TQPlatformInfo.h"

#include "ConfigStore.h"
#include "EvDebug.h"
#include "TqNumberParse.h"

const char* const TQPlatformInfo::kConfigFileVariable = "TQ_PLATFORM_CONFIG";

namespace {

std::string textOf(const char* text) { return text != nullptr ? text : ""; }

std::optional<std::string> lookupKey(const char* section, const char* key) {
  if (key == nullptr) return std::nullopt;
  return tqhost::ConfigStore::instance().lookup(textOf(section), key);
}

void logRefusedNumber(const char* section, const char* key, const std::string& value, const char* kind) {
  o_logger.DebugLvl("TQPlatformInfo", -1, "[%s] %s: value \"%s\" is not %s; the key is treated as absent",
                    textOf(section).c_str(), key, value.c_str(), kind);
}

// Reads the key as a number of type T with the given checked parser; 1 when stored.
template <typename T, typename Parsed, bool (*Parse)(const std::string&, Parsed&)>
int readNumber(const char* section, const char* key, T* value, const char* kind) {
  const std::optional<std::string> text = lookupKey(section, key);
  if (!text) return 0;
  Parsed parsed{};
  if (!Parse(*text, parsed)) {
    logRefusedNumber(section, key, *text, kind);
    return 0;
  }
  if (value != nullptr) *value = static_cast<T>(parsed);
  return 1;
}

}  // namespace

int TQPlatformInfo::getNumber(const char* section, const char* key, unsigned long* value) {
  return readNumber<unsigned long, uint64_t, tqhost::parseUInt64>(section, key, value, "an unsigned 64-bit number");
}

int TQPlatformInfo::getNumber(const char* section, const char* key, unsigned long long* value) {
  return readNumber<unsigned long long, uint64_t, tqhost::parseUInt64>(section, key, value,
                                                                       "an unsigned 64-bit number");
}

int TQPlatformInfo::getNumber(const char* section, const char* key, unsigned int* value) {
  unsigned long wide = 0;
  const int found = getNumber(section, key, &wide);
  if (found != 0 && value != nullptr) *value = static_cast<unsigned int>(wide & 0xffffffffUL);
  return found;
}

int TQPlatformInfo::getRegInt(const char* section, const char* key, int* value) {
  return readNumber<int, int32_t, tqhost::parseInt32>(section, key, value, "a signed 32-bit number");
}

int TQPlatformInfo::getString(const char* section, const char* key, std::string* value) {
  const std::optional<std::string> text = lookupKey(section, key);
  if (!text) return 0;
  if (value != nullptr) *value = *text;
  return 1;
}

int TQPlatformInfo::getString(const char* section, const char* key, std::string& value) {
  return getString(section, key, &value);
}

std::string TQPlatformInfo::getSectionName(const char* base, const char* instance) {
  std::string name = textOf(base);
  if (instance != nullptr && *instance != '\0') name += std::string("/") + instance;
  return name;
}

void TQPlatformInfo::setOverride(const std::string& section, const std::string& key, const std::string& value) {
  tqhost::ConfigStore::instance().setOverride(section, key, value);
}

void TQPlatformInfo::setAbsentOverride(const std::string& section, const std::string& key) {
  tqhost::ConfigStore::instance().setOverride(section, key, std::nullopt);
}

void TQPlatformInfo::clearOverride(const std::string& section, const std::string& key) {
  tqhost::ConfigStore::instance().clearOverride(section, key);
}

void TQPlatformInfo::clearOverrides() { tqhost::ConfigStore::instance().clearOverrides(); }

std::optional<std::optional<std::string>> TQPlatformInfo::currentOverride(const std::string& section,
                                                                          const std::string& key) {
  return tqhost::ConfigStore::instance().currentOverride(section, key);
}

TqConfigOverride::TqConfigOverride(const std::string& section, const std::string& key, const std::string& value)
    : section_(section), key_(key), previous_(TQPlatformInfo::currentOverride(section, key)) {
  TQPlatformInfo::setOverride(section, key, value);
}

TqConfigOverride::TqConfigOverride(const std::string& section, const std::string& key)
    : section_(section), key_(key), previous_(TQPlatformInfo::currentOverride(section, key)) {
  TQPlatformInfo::setAbsentOverride(section, key);
}

TqConfigOverride::~TqConfigOverride() {
  if (!previous_) {
    TQPlatformInfo::clearOverride(section_, key_);
  } else if (*previous_) {
    TQPlatformInfo::setOverride(section_, key_, **previous_);
  } else {
    TQPlatformInfo::setAbsentOverride(section_, key_);
  }
}
