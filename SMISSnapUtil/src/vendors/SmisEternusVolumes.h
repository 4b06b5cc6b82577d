// What the ETERNUS target choice reads of a volume: its type by the marker in its Purpose text, its size,
// and whether its ElementName carries the volume label that sets volumes aside for replicas.
#pragma once

#include <optional>
#include <string>

#include "Pegasus/CIMInstance.h"

class SmisAction;

namespace smiseternus {

enum class VolumeType { kNone, kStandard, kSdv, kTpv };

// The first marker the Purpose holds: "+0x00" Standard, "+0x03" SDV, "+0x06" TPV; kNone without one.
VolumeType TypeOfPurpose(const std::string& purpose);
// A thin (TPV) source: a Purpose with "+0x06" and without "+0x00".
bool IsThinPurpose(const std::string& purpose);

// BlockSize times NumberOfBlocks; none when either is missing or the product does not fit 64 bits.
std::optional<Pegasus::Uint64> SizeInBytes(const Pegasus::CIMInstance& volume);

// The volume label: the per-array setting "SMCONFIG_NAME_VOLUME_LABEL_PREFIX", replaced by the host key
// "ETERNUS_USE_VOLUME_LABEL" when that is present, then `fallback` when still empty, and cut to its first 10
// characters. Each reading is traced under the label.
std::string ReadVolumeLabel(SmisAction& action, const char* label, const std::string& fallback);
// Whether the ElementName begins with the label (case counts).
bool CarriesLabel(const std::string& elementName, const std::string& volumeLabel);

}  // namespace smiseternus
