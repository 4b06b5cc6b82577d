// Recording the array and LUN of each source device from the inquiry data the host stored, and matching
// the host devices of a pRDM mount to the job's copies.
#include <map>
#include <string>
#include <vector>

#include "EvDebug.h"
#include "TqDeviceInquiry.h"
#include "TqEngineErrors.h"
#include "TqIdentify.h"
#include "TqSnapMetadata.h"
#include "TqSnapWorkers.h"
#include "jobs/DeviceTexts.h"

namespace {

const char kVpdTag[] = "TQSO::ResultCode tqso_processVPDInfo(TQSO::SnapInfo**, int16_t, TQSO::TQOSUtil*)";
const char kPrdmTag[] = "TQSO::ResultCode ProcessPRDMMunt(TQSO::SnapInfo**, int16_t, TQSO::TQOSUtil*)";
const int kVerboseLevel = 3;

// The names of the pRDM text: each name followed by '|' (a last name without one is not taken).
std::vector<std::string> PrdmNames(const std::string& text) {
  std::vector<std::string> names;
  size_t start = 0;
  for (size_t bar = text.find('|'); bar != std::string::npos; bar = text.find('|', start)) {
    names.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  return names;
}

void LogNames(int level, const std::vector<std::string>& names) {
  for (size_t i = 0; i < names.size(); ++i)
    o_logger.DebugLvl(kPrdmTag, level, "[%u]. %s", static_cast<unsigned>(i), names[i].c_str());
}

bool PrdmOperation(int kind) { return kind == 2 || kind == 3 || kind == 9; }

}  // namespace

int ProcessPRDMMunt(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil*) {
  std::string text, other;
  if (list[0]->getPRDMDeviceInfo(text, other) == 0) {
    list[0]->logFormatted(2, kPrdmTag, "Failed to get the device detection related info from pRDM metadata.");
    return 1;
  }
  o_logger.DebugLvl(kPrdmTag, 3, "DevInfo From PRDM Metadata [%s]", text.c_str());
  const std::vector<std::string> names = PrdmNames(text);
  std::map<std::string, size_t> byWwn;
  for (size_t i = 0; i < names.size(); ++i) {
    std::string vendor, product, arrayId, wwn;
    if (!getDevArrayInfo(names[i].c_str(), vendor, product, arrayId, wwn, nullptr, nullptr)) {
      o_logger.DebugLvl(kPrdmTag, -1, "Failed to get 3PAR OEM vendor name from host device name[%s]", names[i].c_str());
      return 1;
    }
    byWwn[wwn] = i;
  }
  const bool verbose = o_logger.getDebugLevel() > kVerboseLevel;
  if (verbose) {
    o_logger.DebugLvl(kPrdmTag, 3, "PRDM Dev-Map count  [%d]", static_cast<int>(byWwn.size()));
    for (const auto& entry : byWwn)
      o_logger.DebugLvl(kPrdmTag, 1, "pRDM device list [%u] [%s]", static_cast<unsigned>(entry.second),
                        entry.first.c_str());
  }
  short matched = 0;
  for (short i = 0; i < count; ++i) {
    TQSO::SnapInfo* device = list[i];
    if (device == nullptr) continue;
    std::string mounted;
    if (!device->getMetaData(TQSO::SM_MDT_PRDM_MOUNTED_DEVICE, mounted))
      o_logger.DebugLvl(kPrdmTag, -1, "Failed to get Metadata (SM_MDT_PRDM_MOUNTED_DEVICE) (%d)", i);
    if (!mounted.empty()) {
      o_logger.DebugLvl(kPrdmTag, 3, "SPRDM_MOUNTED_DEVICE Metadata{%d] [%s]", i, mounted.c_str());
      ++matched;
      continue;
    }
    _TQ3PAR_SnapMetadata record;
    if (!getMetadata(device, record)) {
      o_logger.DebugLvl(kPrdmTag, -1, "Failed to get device metadata (%d)", i);
      return 1;
    }
    const auto found = byWwn.find(record.childdev);
    if (found == byWwn.end()) {
      o_logger.DebugLvl(kPrdmTag, -1, "[error]Snap-item not found in the PRDM-list (UUID LUN - %s)",
                        record.childdev.c_str());
      for (const auto& entry : byWwn)
        o_logger.DebugLvl(kPrdmTag, -1, "PRDM-list[%u] (UUID LUN - %s)", static_cast<unsigned>(entry.second),
                          entry.first.c_str());
      continue;
    }
    const std::string& name = names[found->second];
    // The value is the host's own text, "%%" included; it is stored, never formatted.
    const std::string value = "$1mdPath:" + name + "%%";
    device->setMetaData(TQSO::SM_MDT_PRDM_MOUNTED_DEVICE, value.c_str());
    ++matched;
    o_logger.DebugLvl(kPrdmTag, 3, "PRDM devide found matched [%s] [%s]", record.childdev.c_str(), name.c_str());
  }
  if (verbose) LogNames(3, names);
  if (matched == count) return 0;
  o_logger.DebugLvl(kPrdmTag, -1,
                    "[Error] PRDM-Mount matched count %u out of %u ==========", static_cast<unsigned>(matched),
                    static_cast<unsigned>(count));
  LogNames(-1, names);
  return 1;
}

int ProcessVPDInfo(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services) {
  if (list == nullptr || count <= 0 || list[0] == nullptr) return TQSO::RC_SUCCESS;
  if (PrdmOperation(list[0]->getOperationType()) && ProcessPRDMMunt(list, count, services) == 0)
    return TQSO::RC_SUCCESS;
  int done = 0;
  for (short i = 0; i < count; ++i) {
    TQSO::SnapInfo* device = list[i];
    if (device == nullptr) continue;
    const std::string path = tqengine::HostDevicePathOf(device);
    std::string wwn, arrayId, vendor, product;
    if (!getDeviceInfo(device, wwn, arrayId, vendor, product, true, false)) {
      device->logFormatted(2, kVpdTag, "Failed to get device info for [%s]", path.c_str());
      device->setStatus(TQSO::SS_PREPARE_FAILED);
      continue;
    }
    device->setLunWWN(wwn.c_str());
    device->setArrayName(arrayId.c_str());
    if (device->setArrayLogin(arrayId.c_str()) != 0) {
      const std::string text = "Failed to identify array for volume[" + arrayId +
                               "]. Please ensure that the array is added in the array management";
      device->setError(tqengine::kErrReplicationOrArray, text.c_str());
      device->setStatus(TQSO::SS_PREPARE_FAILED);
      continue;
    }
    ++done;
  }
  o_logger.DebugLvl(kVpdTag, 0, services != nullptr ? services->getJobId() : 0ULL,
                    "Successfully processed VPD info for [%d of %d] devices.", done, static_cast<int>(count));
  if (done == 0) return TQSO::RC_FAIL;
  return done < count ? TQSO::RC_FAIL_PARTIAL : TQSO::RC_SUCCESS;
}
