// Loads the installed engine with dlopen and finds a call by its exported name. It includes the headers in the
// <tqso/...> form, as an agent with several packages' headers may.
#include <dlfcn.h>

#include <cstdio>

#include <tqso/TqsoEntryPoints.h>

int main() {
  void* engine = dlopen(TQSO_ENGINE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (engine == nullptr) {
    std::printf("cannot load %s: %s\n", TQSO_ENGINE_LIBRARY, dlerror());
    return 1;
  }
  auto version = reinterpret_cast<decltype(&tqso_version)>(dlsym(engine, "tqso_version"));
  short major = 0, minor = 0, patch = 0;
  if (version != nullptr) version(&major, &minor, &patch);
  std::printf("loaded %s: engine %d.%d.%d\n", TQSO_ENGINE_LIBRARY, major, minor, patch);
  dlclose(engine);
  return major == 1 ? 0 : 1;
}
