// What the simulated array holds, as the engine tests ask it: whether a volume of a WWN exists.
#pragma once

#include <string>

#include "smis-sim/TestServer.h"

namespace enginejob {

inline bool OnArray(smissim::TestServer& array, const std::string& wwn) {
  return array->withModel([&](smissim::Model& model) { return model.findVolumeByWwn(wwn) != nullptr; });
}

}  // namespace enginejob
