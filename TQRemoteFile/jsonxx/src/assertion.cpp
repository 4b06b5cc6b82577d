#include <cstdio>
#include <cstdlib>

#include "jsonxx.h"

namespace jsonxx {

void assertion(const char* file, int line, const char* expression, bool result) {
  if (result) {
    return;
  }
  std::fprintf(stderr, "[JSONXX] expression '%s' failed at %s:%d -> ", expression, file, line);
  std::fflush(stderr);
  std::abort();
}

}  // namespace jsonxx
