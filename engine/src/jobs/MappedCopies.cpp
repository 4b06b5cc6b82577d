// Finding copies among the host's devices: which are visible already, and the rescan passes that wait for
// newly mapped copies to appear.
#include <algorithm>
#include <list>
#include <string>
#include <vector>

#include "DeviceTexts.h"
#include "EvDebug.h"
#include "TqDeviceInquiry.h"
#include "TqEngineConfig.h"
#include "TqEngineErrors.h"
#include "TqEngineResult.h"
#include "TqEngineSettings.h"
#include "TqHostBus.h"
#include "TqHostNames.h"
#include "TqMapWorkers.h"
#include "TqSleep.h"
#include "TqSmisJob.h"
#include "TqSnapMetadata.h"

namespace {

const char kIsMappedTag[] = "3PAR-isMapped";
const char kWaitTag[] = "3PAR-tqso_mapSnaps";
const int kPasses = 5;
const int kPauseStepSeconds = 10;

void LogList(const std::list<std::string>& devices) {
  int index = 0;
  for (const std::string& device : devices)
    o_logger.DebugLvl(kWaitTag, 2, " Volume [%d] DeviceName [%s]", index++, device.c_str());
}

// The id the host sees for the device's copy (or source). A job may span arrays of both engines, so each
// device's own engine decides whether its snapshot is seen through a child.
std::string ExpectedId(TQSO::SnapInfo* device, const MappedCopyWait& wait) {
  if (!wait.copies) return getSourceDeviceUUID(device);
  return getSnapEngineType(device) == tqengine::kSnapshotEngine ? getChildDeviceUUID(device)
                                                                : getSnapDeviceUUID(device);
}

// Records the host path of the device's copy.
void Found(TQSO::SnapInfo* device, const std::string& path, bool copies) {
  device->setStatus(TQSO::SS_SEEN_AS_HOST_DEVICE);
  std::string old;
  if (copies) {
    tqengine::ReadHostText(
        tqengine::kDeviceTextCapacity,
        [&](char* buffer, uint16_t capacity) { return device->getSnapDeviceName(buffer, capacity); }, old);
    device->setSnapDeviceName(path.c_str());
  } else {
    old = tqengine::HostDevicePathOf(device);
    device->setHostDevicePath(path.c_str());
  }
  o_logger.DebugLvl(kWaitTag, -1, " Device Path: [old - %s] [new - %s]", old.c_str(), path.c_str());
}

bool Matches(const std::string& path, const std::string& expected) {
  std::string vendor, product, arrayId, wwn;
  return getDevArrayInfo(path.c_str(), vendor, product, arrayId, wwn, nullptr, nullptr) && !wwn.empty() &&
         wwn == expected;
}

class CopySearch {
 public:
  CopySearch(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, const MappedCopyWait& wait)
      : list_(list), count_(count), services_(services), wait_(wait), found_(static_cast<size_t>(count), false) {}

  int Run() {
    int passesLeft = kPasses;
    long long pause = kPauseStepSeconds;
    const long long start = TqWaitClockSeconds();
    const int window = tqengine::MountRetrySeconds(list_[0]);
    while (foundCount_ < wait_.mapped && (TqWaitClockSeconds() - start < window || passesLeft > 0)) {
      o_logger.DebugLvl(kWaitTag, 3,
                        "===================Starting refresh system bus [Retry count - %u] [map count - %u] [avail "
                        "count - %u] ===============",
                        static_cast<unsigned>(passesLeft), static_cast<unsigned>(wait_.mapped),
                        static_cast<unsigned>(foundCount_));
      Pass(passesLeft);
      --passesLeft;
      if (foundCount_ < wait_.mapped) {
        TqSmisJob::GotoSleep(static_cast<int>(pause * 1000));
        pause += kPauseStepSeconds;
      }
    }
    const int expected = wait_.deviceIndex == -1 ? count_ : 1;
    o_logger.DebugLvl(kWaitTag, 3,
                      "Refreshing System Bus been completed [Retry count - %u] [map count - %u] [avail count - %u] "
                      "[CheckCount - %u] ",
                      static_cast<unsigned>(passesLeft), static_cast<unsigned>(wait_.mapped),
                      static_cast<unsigned>(foundCount_), static_cast<unsigned>(expected));
    if (foundCount_ == 0) {
      if (expected > 0 && wait_.mapped > 0)
        setError(list_[0], tqengine::kErrCopiesNotFound, "Unable to find device(s) corresponding to snap(s)/clone(s)");
      return TQSO::RC_FAIL;
    }
    return foundCount_ < expected ? TQSO::RC_FAIL_PARTIAL : TQSO::RC_SUCCESS;
  }

 private:
  void Pass(int passesLeft) {
    refreshSystemBus(services_, wait_.initiators, {}, wait_.hostIdentifier);
    o_logger.DebugLvl(kWaitTag, 3, "===================Completeing refresh system bus===============");
    std::list<std::string> after;
    getDeviceList(after, services_, wait_.hostIdentifier);
    LogList(after);
    std::list<std::string> fresh;
    for (const std::string& device : after)
      if (std::find(wait_.devicesBefore.begin(), wait_.devicesBefore.end(), device) == wait_.devicesBefore.end())
        fresh.push_back(device);
    const std::list<std::string>* search = &fresh;
    for (short i = 0; i < count_ && foundCount_ < count_; ++i) {
      TQSO::SnapInfo* device = list_[i];
      if (device == nullptr) continue;
      const TQSO::SnapStatus status = device->getStatus();
      if (status == TQSO::SS_SEEN_AS_HOST_DEVICE || passesLeft == 1 || search->empty()) {
        search = &after;
      } else if (status != TQSO::SS_MAPPED) {
        continue;
      }
      Examine(i, *search);
    }
  }

  void Examine(short index, const std::list<std::string>& search) {
    TQSO::SnapInfo* device = list_[index];
    const std::string expected = ExpectedId(device, wait_);
    o_logger.DebugLvl(kWaitTag, 3, "[checking difflist - count - %u], [Device GUID - %s]",
                      static_cast<unsigned>(search.size()), expected.c_str());
    if (found_[index]) return;
    for (const std::string& path : search) {
      if (!Matches(path, expected)) continue;
      Found(device, path, wait_.copies);
      found_[index] = true;
      ++foundCount_;
      return;
    }
  }

  TQSO::SnapInfo** list_;
  short count_;
  TQSO::TQOSUtil* services_;
  const MappedCopyWait& wait_;
  std::vector<bool> found_;
  int foundCount_ = 0;
};

}  // namespace

int WaitForMappedCopies(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services, const MappedCopyWait& wait) {
  if (tqengine::IsEmptyList(list, count)) return TQSO::RC_FAIL;
  return CopySearch(list, count, services, wait).Run();
}

int IsMappedOnHost(TQSO::SnapInfo** list, short count, TQSO::TQOSUtil* services) {
  o_logger.DebugLvl(kIsMappedTag, 1, "Going to check if snap/clone device is mapped [count - %u]",
                    static_cast<unsigned>(count > 0 ? count : 0));
  if (tqengine::IsEmptyList(list, count)) return TQSO::RC_SUCCESS;
  std::string identifier;
  TQSO::SnapInfo* last = list[count - 1];
  if (!getHostIdentifier(last, identifier, false)) {
    o_logger.DebugLvl(kIsMappedTag, -1, "%s: Failed to get host identifier", kIsMappedTag);
    setError(last, tqengine::kErrHostIdentifier, tqengine::kTextHostIdentifier);
    return TQSO::RC_FAIL;
  }
  std::list<std::string> devices;
  std::list<DeviceCheckParams> entries;
  getDeviceList(devices, services, identifier);
  GetDeviceIdsFromDeviceList(devices, entries, list[0], services);
  for (short i = 0; i < count; ++i) {
    TQSO::SnapInfo* device = list[i];
    if (device == nullptr) continue;
    _TQ3PAR_SnapMetadata record;
    if (!getMetadata(device, record)) {
      o_logger.DebugLvl(kIsMappedTag, -1, "%s: Failed to get Metadata", kIsMappedTag);
      return TQSO::RC_FAIL;
    }
    const bool visible = std::any_of(entries.begin(), entries.end(), [&](const DeviceCheckParams& entry) {
      return entry.arrayId == record.arrayId && entry.lunWWN == record.targetDev;
    });
    if (visible) {
      o_logger.DebugLvl(kIsMappedTag, 1, "tqso_isMapped [%s] - Yes", record.targetDev.c_str());
      device->setStatus(TQSO::SS_MAPPED);
    } else {
      o_logger.DebugLvl(kIsMappedTag, 1, "tqso_isMapped [%s] - NO", record.targetDev.c_str());
    }
  }
  return TQSO::RC_SUCCESS;
}
