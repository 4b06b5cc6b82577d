#include "CliOptions.h"

#include <cerrno>
#include <cstdlib>

namespace cimcli {

namespace {

unsigned parseNumber(const std::string& text, const char* what, unsigned long maximum) {
  char* end = nullptr;
  errno = 0;
  const unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value > maximum || text[0] == '-')
    throw UsageError(std::string("invalid ") + what + ": " + text);
  return static_cast<unsigned>(value);
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

const char* usageText() {
  return "usage: cimcli [options] <command> [arguments]\n"
         "options:\n"
         "  -l, --url URL          http://host:port or https://host:port (default http://127.0.0.1:5988)\n"
         "  -n, --namespace NS     namespace (default root/tpd)\n"
         "  -u, --user USER        user name for Basic authentication\n"
         "  -p, --password PW      password\n"
         "  -t, --timeout MS       timeout of each operation in milliseconds (default 20000)\n"
         "      --trust-store PEM  HTTPS: accept only certificates that verify against these CAs\n"
         "                         (default: accept any certificate, as the engine does)\n"
         "  -h, --help             print this text and exit\n"
         "commands:\n"
         "  ei  <class>                           enumerate instances\n"
         "  ein <class>                           enumerate instance names\n"
         "  gi  <path>                            get one instance\n"
         "  ain <path> [assocClass [resultClass [role [resultRole]]]]   associator names\n"
         "  ai  <path> [assocClass [resultClass [role [resultRole]]]]   associated instances\n"
         "  rin <path> [resultClass [role]]       reference names\n"
         "  ri  <path> [resultClass [role]]       referencing (association) instances\n"
         "  cm  <path> <method> [param ...]       invoke a method; param is name=value (string),\n"
         "                                        name:type=value, name:type[]=v1,v2 for arrays,\n"
         "                                        name:reference=<path> for references,\n"
         "                                        name:type alone for a typed NULL\n"
         "A path is the object path text, e.g.\n"
         "  'TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"12\"'\n"
         "exit codes: 0 success, 1 the operation failed (the reason on standard error),\n"
         "            2 usage error (a malformed object path or class name included)\n";
}

void parseUrl(const std::string& url, CliOptions& options) {
  std::string rest;
  if (startsWith(url, "https://")) {
    options.https = true;
    rest = url.substr(8);
  } else if (startsWith(url, "http://")) {
    options.https = false;
    rest = url.substr(7);
  } else {
    throw UsageError("the URL must start with http:// or https://: " + url);
  }
  while (!rest.empty() && rest.back() == '/') rest.pop_back();
  std::string::size_type portColon = std::string::npos;
  if (startsWith(rest, "[")) {
    const std::string::size_type close = rest.find(']');
    if (close == std::string::npos) throw UsageError("unclosed '[' in URL: " + url);
    options.host = rest.substr(1, close - 1);
    if (close + 1 < rest.size()) {
      if (rest[close + 1] != ':') throw UsageError("invalid URL: " + url);
      portColon = close + 1;
    }
  } else {
    portColon = rest.find(':');
    options.host = rest.substr(0, portColon);
  }
  if (options.host.empty() || options.host.find('/') != std::string::npos)
    throw UsageError("invalid host in URL: " + url);
  options.port = portColon == std::string::npos ? (options.https ? 5989 : 5988)
                                                : parseNumber(rest.substr(portColon + 1), "port", 65535);
}

CliOptions parseCommandLine(int argc, char** argv) {
  CliOptions options;
  std::vector<std::string> words(argv + 1, argv + argc);
  std::vector<std::string>::size_type i = 0;
  auto valueOf = [&](const std::string& option) -> const std::string& {
    if (i + 1 >= words.size()) throw UsageError("option " + option + " needs a value");
    return words[++i];
  };
  for (; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "-l" || word == "--url")
      parseUrl(valueOf(word), options);
    else if (word == "-n" || word == "--namespace")
      options.nameSpace = valueOf(word);
    else if (word == "-u" || word == "--user")
      options.user = valueOf(word);
    else if (word == "-p" || word == "--password")
      options.password = valueOf(word);
    else if (word == "-t" || word == "--timeout")
      options.timeoutMilliseconds = parseNumber(valueOf(word), "timeout", 0xFFFFFFFFul);
    else if (word == "--trust-store")
      options.trustStore = valueOf(word);
    else if (word == "-h" || word == "--help") {
      options.help = true;
      return options;
    } else if (startsWith(word, "-") && options.command.empty())
      throw UsageError("unknown option " + word);
    else if (options.command.empty())
      options.command = word;
    else
      options.arguments.push_back(word);
  }
  if (options.command.empty()) throw UsageError("no command given");
  return options;
}

}  // namespace cimcli
