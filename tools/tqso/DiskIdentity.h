// The engine's own identification of host disks: the array and LUN WWN that its VPD call reads from each
// disk's INQUIRY pages 0 and 0x83, as prepare reads them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "EngineLibrary.h"
#include "TqHostPlatform.h"

namespace tqso {

struct DiskIdentity {
  std::string array;  // empty: no 3PAR volume, or a disk that cannot be read
  std::string wwn;
};

// One identity per path, in order; records of their own, so no job record is touched.
std::vector<DiskIdentity> IdentifyDisks(const EngineLibrary& engine, const std::shared_ptr<TQSO::TqHostPlatform>& host,
                                        const std::vector<std::string>& paths);

}  // namespace tqso
