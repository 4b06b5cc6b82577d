// Identifying the host devices of mapped copies: checking the recorded ones (mode 1), finding them again
// (mode 2) or listing them (mode 3) by comparing SCSI inquiry results with the devices' records.
#include <map>
#include <string>

#include "EvDebug.h"
#include "TqDeviceInquiry.h"
#include "TqIdentify.h"
#include "TqSnapMetadata.h"
#include "jobs/DeviceTexts.h"

namespace {

const char kTag[] = "3PAR-TP_identifyDevices";
const char kVendor[] = "3PARdata";
const char kProduct[] = "VV              ";
const int kStateNone = 0;
const int kStateMatches = 1;
const int kStateMismatch = 2;

std::string ThreeParKey() { return std::string(kVendor) + "|::|" + kProduct; }

std::string SnapDeviceOf(TQSO::SnapInfo* device) {
  std::string name;
  tqengine::ReadHostText(
      tqengine::kDeviceTextCapacity,
      [&](char* buffer, uint16_t capacity) { return device->getSnapDeviceName(buffer, capacity); }, name);
  return name;
}

int MetadataFailed() {
  o_logger.DebugLvl(kTag, -1, "Failed to get Metadata");
  o_logger.DebugLvl(kTag, 0, "End tqso_identifyDevices with error.");
  return TQSO::RC_FAIL;
}

int CheckRecordedDevices(TQSO::SnapInfo** list, short count, short& mismatches) {
  for (short i = 0; i < count; ++i) {
    TQSO::SnapInfo* device = list[i];
    if (device == nullptr) continue;
    const std::string snapDevice = SnapDeviceOf(device);
    if (snapDevice.empty()) {
      device->logMessage(1, "Snap device is empty. Probably Map snap failed.");
      device->setIdentifyState(kStateNone);
      continue;
    }
    _TQ3PAR_SnapMetadata record;
    if (!getMetadata(device, record)) return MetadataFailed();
    o_logger.DebugLvl(kTag, -1, "From metadata - [Source Device %s] [Snap Device %s] [child Device %s]",
                      record.srcDev.c_str(), record.targetDev.c_str(), record.childdev.c_str());
    std::string vendor, product, arrayId, wwn;
    if (!getDevArrayInfo(snapDevice.c_str(), vendor, product, arrayId, wwn, device->getInquiryData(0),
                         device->getInquiryData(0x83))) {
      device->logFormatted(2, kTag, "Failed to get 3PAR Array name and device WWN from device [%s]",
                           snapDevice.c_str());
      device->setIdentifyState(kStateMismatch);
      ++mismatches;
    } else if (arrayId != record.arrayId || wwn != record.childdev) {
      device->logFormatted(
          2, kTag,
          "Array name [%s] or WWN [%s] from SCSI inquiry do not match with array name [%s] or WWN [%s] "
          "from Metadata for snap device [%s]",
          arrayId.c_str(), wwn.c_str(), record.arrayId.c_str(), record.childdev.c_str(), snapDevice.c_str());
      device->setIdentifyState(kStateMismatch);
      ++mismatches;
    } else {
      device->setIdentifyState(kStateMatches);
    }
  }
  return TQSO::RC_SUCCESS;
}

void ForgetUnfound(TQSO::SnapInfo** list, short count) {
  for (short i = 0; i < count; ++i) {
    if (list[i] == nullptr || list[i]->getIdentifyState() == kStateMatches) continue;
    list[i]->setSnapDeviceName("");
    list[i]->setIdentifyState(kStateNone);
  }
}

int FindDevices(TQSO::SnapInfo** list, short count, TQSO::DeviceMap& deviceMap, int mode) {
  const bool refind = mode == 2;
  const auto listed = deviceMap.find(ThreeParKey());
  if (listed == deviceMap.end() || listed->second.empty()) {
    if (list[0] != nullptr)
      list[0]->logFormatted(1, kTag, "None of the mounted devices belongs to Vendor [%s] and product [%s]", kVendor,
                            kProduct);
    if (refind) ForgetUnfound(list, count);
    return TQSO::RC_SUCCESS;
  }
  // Every listed host device by "<array id>_<LUN WWN>".
  std::map<std::string, std::string> byIdentity;
  for (const std::string& hostDevice : listed->second) {
    std::string vendor, product, arrayId, wwn;
    if (getDevArrayInfo(hostDevice.c_str(), vendor, product, arrayId, wwn, nullptr, nullptr))
      byIdentity[arrayId + "_" + wwn] = hostDevice;
    else if (list[0] != nullptr)
      list[0]->logFormatted(2, kTag, "Failed to get 3PAR Array name and device WWN from device [%s]",
                            hostDevice.c_str());
  }
  std::list<std::string> found;
  for (short i = 0; i < count; ++i) {
    TQSO::SnapInfo* device = list[i];
    if (device == nullptr || (refind && device->getIdentifyState() == kStateMatches)) continue;
    const std::string previous = SnapDeviceOf(device);
    _TQ3PAR_SnapMetadata record;
    if (!getMetadata(device, record)) return MetadataFailed();
    o_logger.DebugLvl(kTag, 1, " From metadata - [Source Device %s] [Snap Device %s] [child Device %s]",
                      record.srcDev.c_str(), record.targetDev.c_str(), record.childdev.c_str());
    // The whole identity must match: an empty child would otherwise match any device of the array.
    const auto match = byIdentity.find(record.arrayId + "_" + record.childdev);
    if (match == byIdentity.end()) continue;
    if (refind) {
      device->setSnapDeviceName(match->second.c_str());
      device->setIdentifyState(kStateMatches);
      list[0]->logFormatted(1, kTag, "Snap Device has been changed. Old device [%s] New device [%s]", previous.c_str(),
                            match->second.c_str());
    } else {
      list[0]->logFormatted(0, kTag, "Found device [%s]", match->second.c_str());
      found.push_back(match->second);
    }
  }
  if (refind)
    ForgetUnfound(list, count);
  else
    listed->second = found;
  return TQSO::RC_SUCCESS;
}

}  // namespace

int TP_identifyDevices(TQSO::SnapInfo** list, short count, TQSO::DeviceMap& deviceMap, int mode, short& mismatches,
                       TQSO::TQOSUtil*, bool, int) {
  if (list == nullptr || count <= 0) return TQSO::RC_SUCCESS;
  if (mode == 1) return CheckRecordedDevices(list, count, mismatches);
  if (mode == 2 || mode == 3) return FindDevices(list, count, deviceMap, mode);
  o_logger.DebugLvl(kTag, 0, "End tqso_identifyDevices with error.");
  return TQSO::RC_FAIL;
}
