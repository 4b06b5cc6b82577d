// Linked to the installed engine: calls it through the installed header, with the engine's log sent to the file
// named by its argument through the host library's logger, as an agent sets it.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "EvDebug.h"
#include "TqsoEntryPoints.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: linked_agent LOGFILE\n");
    return 2;
  }
  EvDebug::setOutputFile(argv[1]);
  short major = 0, minor = 0, patch = 0;
  tqso_version(&major, &minor, &patch);
  // A null list touches nothing and answers 0.
  const TQSO::ResultCode result = tqso_prepareDevices(nullptr, 0, nullptr);
  // A device without a name is an error the engine logs.
  const int supported = tqso_isSupported(nullptr, 0, nullptr, nullptr, 0);
  std::ostringstream log;
  log << std::ifstream(argv[1]).rdbuf();
  const bool logged = log.str().find("NULL character device name") != std::string::npos;
  std::printf("linked engine %d.%d.%d, empty prepare %d, unnamed device %d, logged to %s: %s\n", major, minor, patch,
              static_cast<int>(result), supported, argv[1], logged ? "yes" : "no");
  return major == 1 && result == 0 && supported == 1 && logged ? 0 : 1;
}
