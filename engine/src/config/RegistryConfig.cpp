#include <string>

#include "TQPlatformInfo.h"
#include "TqEngineConfig.h"

namespace {

const char kIntSection[] = "~Corvane";
const char kStringSectionBase[] = "Corvane";

}  // namespace

int GetRegInt(const char* instance, const char* key, int* value) {
  if (key == nullptr || value == nullptr) return 0;
  std::string section = kIntSection;
  if (instance != nullptr) section += std::string("/") + instance;
  TQPlatformInfo store;
  return store.getRegInt(section.c_str(), key, value);
}

bool GetRegString(const char* instance, const char* key, std::string* value) {
  if (key == nullptr || value == nullptr) return false;
  TQPlatformInfo store;
  const std::string section = store.getSectionName(kStringSectionBase, instance);
  return store.getString(section.c_str(), key, value) != 0;
}
