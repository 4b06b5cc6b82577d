// The engine logs every text it parses. The fuzz targets keep that formatting in the run (it is part of
// what they check) and send the lines to /dev/null.
#pragma once

#include "EvDebug.h"

namespace fuzzcheck {

inline void QuietEngineLog() {
  static const bool done = [] {
    EvDebug::setOutputFile("/dev/null");
    EvDebug::setDebugLevel(3);
    return true;
  }();
  (void)done;
}

}  // namespace fuzzcheck
