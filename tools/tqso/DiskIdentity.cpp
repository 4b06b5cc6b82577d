#include "DiskIdentity.h"

#include <algorithm>

#include "ArrayRegistry.h"
#include "SnapInfo.h"
#include "TQOSUtil.h"

namespace tqso {

namespace {

// The call counts its devices in 16 bits.
const size_t kMostPerCall = 32767;

}  // namespace

std::vector<DiskIdentity> IdentifyDisks(const EngineLibrary& engine, const std::shared_ptr<TQSO::TqHostPlatform>& host,
                                        const std::vector<std::string>& paths) {
  std::vector<std::unique_ptr<TQSO::SnapInfo>> records;
  std::vector<TQSO::SnapInfo*> list;
  for (const std::string& path : paths) {
    records.push_back(std::make_unique<TQSO::SnapInfo>());
    records.back()->setHostDevicePath(path.c_str());
    list.push_back(records.back().get());
  }
  TQSO::TQOSUtil services(std::make_shared<TQSO::ArrayRegistry>(), host);
  auto identify = reinterpret_cast<EngineLibrary::ListCall>(engine.Symbol("tqso_processVPDInfo"));
  for (size_t first = 0; first < list.size(); first += kMostPerCall)
    identify(list.data() + first, static_cast<short>(std::min(kMostPerCall, list.size() - first)), &services);
  std::vector<DiskIdentity> identities;
  for (const TQSO::SnapInfo* record : list) identities.push_back({record->arrayName(), record->lunWWN()});
  return identities;
}

}  // namespace tqso
