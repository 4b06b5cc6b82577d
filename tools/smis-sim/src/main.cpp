// smis-sim: runs the simulated 3PAR SMI-S provider until SIGINT or SIGTERM.
#include <malloc.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "smis-sim/Simulator.h"

namespace {

void usage(std::ostream& out) {
  const smissim::SimulatorOptions defaults;
  out << "usage: smis-sim [--port N] [--bind 127.0.0.1] [--https [--old-tls] [--cert FILE --key FILE]]\n"
         "                [--user NAME --password TEXT] [--browse-user NAME --browse-password TEXT]\n"
         "                [--seed FILE.json] [--threads N]\n"
         "  --port 0 (default) picks a free port and prints it.\n"
         "  The default login is --user "
      << defaults.user << " --password " << defaults.password
      << "; an empty --user turns authentication off.\n"
         "  The browse user may read but not change anything.\n"
         "  --threads: worker threads kept ready, one per connection served (default "
      << defaults.threads
      << ").\n"
         "  Without --seed one demo array is served.\n";
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A whole number from `lowest` to `highest`; anything else is refused, naming the option's value as `what`.
unsigned parseWhole(const std::string& text, const char* what, long lowest, long highest) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < lowest || value > highest)
    throw std::runtime_error(std::string("bad ") + what + ": " + text + " (a whole number from " +
                             std::to_string(lowest) + " to " + std::to_string(highest) + ")");
  return static_cast<unsigned>(value);
}

}  // namespace

int main(int argc, char** argv) {
  smissim::SimulatorOptions options;
  bool commandLineRead = false;
  try {
    for (int i = 1; i < argc; ++i) {
      std::string arg = argv[i];
      auto value = [&]() -> std::string {
        if (i + 1 >= argc) throw std::runtime_error(arg + " needs a value");
        return argv[++i];
      };
      if (arg == "--port")
        options.port = static_cast<int>(parseWhole(value(), "port", 0, 65535));
      else if (arg == "--bind")
        options.bindAddress = value();
      else if (arg == "--https")
        options.https = true;
      else if (arg == "--old-tls")
        options.oldTls = options.https = true;
      else if (arg == "--cert")
        options.certFile = value();
      else if (arg == "--key")
        options.keyFile = value();
      else if (arg == "--user")
        options.user = value();
      else if (arg == "--password")
        options.password = value();
      else if (arg == "--browse-user")
        options.browseUser = value();
      else if (arg == "--browse-password")
        options.browsePassword = value();
      else if (arg == "--seed")
        options.seedJson = readFile(value());
      else if (arg == "--threads")
        options.threads = parseWhole(value(), "thread count", 1, 65535);
      else if (arg == "--help" || arg == "-h") {
        usage(std::cout);
        return 0;
      } else
        throw std::runtime_error("unknown option " + arg);
    }
    if (options.certFile.empty() != options.keyFile.empty()) throw std::runtime_error("--cert and --key go together");

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // worker threads inherit the mask
    // Large request bodies are mapped and given back when freed. By default the threshold rises with
    // each large block freed, and every worker's heap would keep its biggest request's memory.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);

    smissim::Simulator simulator(options);
    commandLineRead = true;
    simulator.start();
    std::cout << "smis-sim listening on " << simulator.url() << " (namespace root/tpd)" << std::endl;
    std::cout << "port " << simulator.port() << std::endl;
    int received = 0;
    sigwait(&signals, &received);
    simulator.stop();
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "smis-sim: " << e.what() << "\n";
    if (!commandLineRead) usage(std::cerr);  // a busy port or a bad certificate is no usage error
    return 2;
  }
}
