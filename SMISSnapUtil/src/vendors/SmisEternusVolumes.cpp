#include "SmisEternusVolumes.h"

#include "SmisImpl.h"
#include "action/SmisHostConfig.h"
#include "action/SmisVolumeParams.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;
using tqcimutil::Contains;

namespace smiseternus {

namespace {

const char* const kLabelSetting = "SMCONFIG_NAME_VOLUME_LABEL_PREFIX";
const char* const kLabelKey = "ETERNUS_USE_VOLUME_LABEL";
const std::size_t kLabelMax = 10;
const std::size_t kSettingBuffer = 1024;

}  // namespace

VolumeType TypeOfPurpose(const std::string& purpose) {
  if (Contains(purpose, "+0x00")) return VolumeType::kStandard;
  if (Contains(purpose, "+0x03")) return VolumeType::kSdv;
  if (Contains(purpose, "+0x06")) return VolumeType::kTpv;
  return VolumeType::kNone;
}

bool IsThinPurpose(const std::string& purpose) { return !Contains(purpose, "+0x00") && Contains(purpose, "+0x06"); }

std::optional<Uint64> SizeInBytes(const CIMInstance& volume) {
  Uint64 blockSize = 0, blocks = 0, bytes = 0;
  if (!smisvolume::ReadUint64(volume, "BlockSize", blockSize) ||
      !smisvolume::ReadUint64(volume, "NumberOfBlocks", blocks) || __builtin_mul_overflow(blockSize, blocks, &bytes))
    return std::nullopt;
  return bytes;
}

std::string ReadVolumeLabel(SmisAction& action, const char* label, const std::string& fallback) {
  std::string volumeLabel = smisconfig::ArrayText(action, kLabelSetting, kSettingBuffer);
  if (!volumeLabel.empty())
    action.DEBUG_TRACE_NORMAL(label, "Array Config [%s:%s]", kLabelSetting, volumeLabel.c_str());
  if (smisconfig::Text(kLabelKey, volumeLabel))
    action.DEBUG_TRACE_NORMAL(label, "Volume label [%s] read from registry key ETERNUS_USE_VOLUME_LABEL",
                              volumeLabel.c_str());
  if (volumeLabel.empty()) volumeLabel = fallback;
  if (volumeLabel.size() > kLabelMax) {
    action.DEBUG_TRACE_NORMAL(label,
                              "Volume label size [%d] exceeded the max limit size 10 chars, trimming the volume label",
                              static_cast<int>(volumeLabel.size()));
    volumeLabel.resize(kLabelMax);
  }
  return volumeLabel;
}

bool CarriesLabel(const std::string& elementName, const std::string& volumeLabel) {
  return elementName.compare(0, volumeLabel.size(), volumeLabel) == 0;
}

}  // namespace smiseternus
