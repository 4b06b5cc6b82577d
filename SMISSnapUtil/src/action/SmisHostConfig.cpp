#include "SmisHostConfig.h"

#include <cstdint>
#include <vector>

#include "SnapInfo.h"
#include "TQPlatformInfo.h"
#include "connection/TqCorvaneConfig.h"

namespace smisconfig {

const char* const kHpEvaNoStorageSetting = "HPEVA_NO_STORAGE_SETTING";
const char* const kHpEvaSnapshotAllocation = "HPEVA_SNAPSHOT_ALLOCATION_POLICY";
const char* const kOnDemandSnapshotAllocation = "SMCONFIG_NAME_ENABLE_ONDEMAND_SNAPSHOT_ALLOCATION_POLICY";

unsigned long Number(const char* key, unsigned long preset) {
  NumberIfPresent(key, preset);
  return preset;
}

bool NumberIfPresent(const char* key, unsigned long& value) {
  TQPlatformInfo config;
  return config.getNumber(kTqCorvaneSection, key, &value) != 0;
}

int RegInt(const char* section, const char* key, int preset) {
  TQPlatformInfo config;
  config.getRegInt(section, key, &preset);
  return preset;
}

bool Text(const char* key, std::string& value) {
  TQPlatformInfo config;
  return config.getString(kTqCorvaneSection, key, value) != 0;
}

int ArrayInt(TqSmisTracer& tracer, const char* name, int preset) {
  if (tracer.m_SnapInfo) tracer.m_SnapInfo->getConfigInt(name, &preset);
  return preset;
}

std::string ArrayText(TqSmisTracer& tracer, const char* name, std::size_t bufferSize) {
  if (!tracer.m_SnapInfo || bufferSize < 2 || bufferSize > UINT16_MAX) return "";
  std::vector<char> buffer(bufferSize, '\0');
  std::uint16_t length = static_cast<std::uint16_t>(bufferSize - 1);
  tracer.m_SnapInfo->getConfigString(name, buffer.data(), &length);
  buffer.back() = '\0';
  return std::string(buffer.data());
}

void SetDeviceError(TqSmisTracer& tracer, unsigned code, const std::string& text) {
  if (tracer.m_SnapInfo) tracer.m_SnapInfo->setError(static_cast<int>(code), text.c_str());
}

const char* EvaSnapshotAllocationSuffix(TqSmisTracer& tracer, const char* label) {
  unsigned long policy = 0;
  if (!NumberIfPresent(kHpEvaSnapshotAllocation, policy)) {
    int onDemand = ArrayInt(tracer, kOnDemandSnapshotAllocation, 0);
    tracer.DEBUG_TRACE_NORMAL(label, " Array Config [%s:%d]", kOnDemandSnapshotAllocation, onDemand);
    if (onDemand == 0) policy = 1;
  }
  return policy != 0 ? "FULLY_ALLOCATED" : "ON_DEMAND";
}

}  // namespace smisconfig
