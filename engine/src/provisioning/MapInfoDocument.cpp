#include "MapInfoDocument.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "EvDebug.h"
#include "jsonxx.h"

namespace {

const char kParseTag[] = "TQProvEngine3PAR::ParseMapInfo";

// The leading decimal number of a text (blanks before it skipped), or 0.
short ProtocolNumber(const std::string& text) {
  errno = 0;
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (errno != 0 || value < SHRT_MIN || value > SHRT_MAX) return 0;
  return static_cast<short>(value);
}

bool ReadEndpoints(const jsonxx::Array& endpoints, std::vector<std::string>& out) {
  for (unsigned i = 0; i < endpoints.size(); ++i) {
    if (!endpoints.has<jsonxx::Object>(i)) return false;
    const jsonxx::Object& endpoint = endpoints.get<jsonxx::Object>(i);
    if (endpoint.empty()) continue;
    if (!endpoint.has<jsonxx::String>("endpoint")) return false;
    out.push_back(endpoint.get<jsonxx::String>("endpoint"));
  }
  return true;
}

bool ReadHost(const jsonxx::Object& host, mapInfo& entry) {
  if (!host.has<jsonxx::String>("hostname") || !host.has<jsonxx::String>("hostos") ||
      !host.has<jsonxx::Array>("endpoints") || !host.has<jsonxx::String>("protocol"))
    return false;
  entry.hostname = host.get<jsonxx::String>("hostname");
  entry.hostos = host.get<jsonxx::String>("hostos");
  entry.protocol = ProtocolNumber(host.get<jsonxx::String>("protocol"));
  return ReadEndpoints(host.get<jsonxx::Array>("endpoints"), entry.endpoints);
}

bool ReadHosts(const jsonxx::Object& document, std::vector<mapInfo>& hosts) {
  if (!document.has<jsonxx::Array>("hosts")) return false;
  const jsonxx::Array& list = document.get<jsonxx::Array>("hosts");
  std::vector<mapInfo> read;
  for (unsigned i = 0; i < list.size(); ++i) {
    mapInfo entry;
    if (!list.has<jsonxx::Object>(i) || !ReadHost(list.get<jsonxx::Object>(i), entry)) return false;
    read.push_back(entry);
  }
  hosts.insert(hosts.end(), read.begin(), read.end());
  return true;
}

}  // namespace

bool ParseMapInfo(const char* text, unsigned long long jobId, std::vector<mapInfo>& hosts) {
  if (text == nullptr) {
    o_logger.DebugLvl(kParseTag, -1, jobId, "Invalid parameters");
    return false;
  }
  // Members read before a syntax error are used: the reader's own verdict is not what decides.
  jsonxx::Object document;
  document.parse(text);
  if (document.empty() || !ReadHosts(document, hosts)) {
    o_logger.DebugLvl(kParseTag, -1, jobId, "Unable to parse the input json string");
    return false;
  }
  return true;
}

void xlateOsType(std::string& osType) {
  static const struct {
    const char* word;
    const char* family;
  } kFamilies[] = {{"windows", "windows"}, {"sunos", "solaris"}, {"linux", "linux"}, {"hp-ux", "hpux"}, {"aix", "aix"}};
  const char* tag = "TQProvEngine3PAR::xlateOsType";
  o_logger.DebugLvl(tag, 0, "Input os type :[%s]", osType.c_str());
  std::string lower = osType;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  osType.clear();
  for (const auto& family : kFamilies) {
    if (lower.find(family.word) != std::string::npos) {
      osType = family.family;
      break;
    }
  }
  o_logger.DebugLvl(tag, 0, "Output os type :[%s]", osType.c_str());
}

std::string ConvertInitiatorList(std::list<std::string>& initiators, bool iscsi) {
  std::string joined;
  bool first = true;
  for (const std::string& initiator : initiators) {
    if (!first) joined += ",";
    first = false;
    if (iscsi) {
      joined += initiator;
      continue;
    }
    for (unsigned char c : initiator)
      if (c != ':') joined += static_cast<char>(std::toupper(c));
  }
  o_logger.DebugLvl("TQProvEngine3PAR::ConvertInitiatorList", 2, "Converted initiator list to string %s",
                    joined.c_str());
  return joined;
}
