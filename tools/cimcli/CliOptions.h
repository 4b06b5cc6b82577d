// Command line of cimcli: connection options, the command and its arguments.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

namespace cimcli {

struct CliOptions {
  bool https = false;
  std::string host = "127.0.0.1";
  unsigned port = 5988;
  std::string nameSpace = "root/tpd";
  std::string user;
  std::string password;
  unsigned timeoutMilliseconds = 20000;
  std::string trustStore;  // HTTPS: verify against these CAs instead of accepting any certificate
  std::string command;
  std::vector<std::string> arguments;
  bool help = false;  // -h or --help: print the usage text and do nothing else
};

// A command line that cannot be understood; the text says why.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

const char* usageText();

// Throws UsageError; a request for help is no error (help is set, nothing else is checked).
CliOptions parseCommandLine(int argc, char** argv);

// "http://host[:port]" or "https://host[:port]" (host may be "[v6]"); the default ports are 5988 and 5989.
void parseUrl(const std::string& url, CliOptions& options);

}  // namespace cimcli
