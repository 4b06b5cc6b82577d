// The property check of the fuzz targets: a property that does not hold is reported and aborts the run, so
// the fuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzzcheck {

inline void require(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
  }
}

}  // namespace fuzzcheck
