// What the action operations read from the host and the device's job record: tuning keys of the host's
// configuration store, per-array settings and the device error of the job record (the tracer's sink).
// Every read starts from the caller's preset, which stands when the key or setting is absent; a tracer
// without a sink reads every per-array setting as absent and records no device error.
#pragma once

#include <cstddef>
#include <string>

#include "TqSmisTracer.h"

namespace smisconfig {

// Keys of section "Corvane".
extern const char* const kHpEvaNoStorageSetting;    // "HPEVA_NO_STORAGE_SETTING"
extern const char* const kHpEvaSnapshotAllocation;  // "HPEVA_SNAPSHOT_ALLOCATION_POLICY"
// Per-array settings.
extern const char* const kOnDemandSnapshotAllocation;  // "SMCONFIG_NAME_ENABLE_ONDEMAND_SNAPSHOT_ALLOCATION_POLICY"

// getNumber under "Corvane"; the preset when absent.
unsigned long Number(const char* key, unsigned long preset);
// getNumber under "Corvane" for callers that test presence: false (value untouched) when absent.
bool NumberIfPresent(const char* key, unsigned long& value);
// getRegInt under the section ("Corvane", or "~Corvane" where a key is read there); the preset when absent.
int RegInt(const char* section, const char* key, int preset);
// getString under "Corvane": false (value untouched) when absent.
bool Text(const char* key, std::string& value);

// The per-array setting through the tracer's sink; the preset when absent or without a sink.
int ArrayInt(TqSmisTracer& tracer, const char* name, int preset);
// The per-array text read into a buffer of `bufferSize` bytes; "" when absent or without a sink.
std::string ArrayText(TqSmisTracer& tracer, const char* name, std::size_t bufferSize);
// Records the device's job error; nothing without a sink.
void SetDeviceError(TqSmisTracer& tracer, unsigned code, const std::string& text);

// The allocation of a new HP EVA snapshot, "FULLY_ALLOCATED" or "ON_DEMAND": the host key decides when
// present (0 on demand); otherwise the per-array setting, where an absent or zero setting means fully
// allocated. The setting read is traced under the label.
const char* EvaSnapshotAllocationSuffix(TqSmisTracer& tracer, const char* label);

}  // namespace smisconfig
