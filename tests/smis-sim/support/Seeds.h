// Small seed documents the tests start from.
#pragma once

#include "smis-sim/Simulator.h"

namespace simtest {

// One array, one CPG, two 1 GiB base volumes (one thin, one full) and one host with one FC port.
constexpr const char* kSmallSeed = R"({
  "arrays": [{
    "serial": "00ABCD", "firmware": "3.1.2", "build": 484,
    "cpgs": ["CPG1"],
    "volumes": [
      {"name": "base1", "cpg": "CPG1", "sizeBytes": 1073741824},
      {"name": "clone1", "cpg": "CPG1", "sizeBytes": 1073741824, "thin": false}
    ],
    "hosts": [{"name": "host1", "fc": ["10000000C9000001"]}]
  }]
})";

// Simulator options with kSmallSeed.
inline smissim::SimulatorOptions smallArray() {
  smissim::SimulatorOptions options;
  options.seedJson = kSmallSeed;
  return options;
}

}  // namespace simtest
