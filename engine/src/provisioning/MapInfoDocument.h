// The map-information document of a LUN (written by the host) and what the map and unmap calls make of it:
//
//   {"hosts": [{"hostname": "h1", "hostos": "Linux", "protocol": "3",
//               "endpoints": [{"endpoint": "iqn.1994-05.com.example:h1"}, {}]}]}
//
// "hosts" (at least one host), and in each host "hostname", "hostos", "protocol" (a decimal number written
// as a JSON string: 3 iSCSI, 4 Fibre Channel) and "endpoints" (objects; an empty one is skipped, any other
// must hold "endpoint"). Other members are ignored. A missing member, one of another JSON type, or an
// element of "hosts" or "endpoints" that is not an object makes the whole document unreadable. Whether a
// host entry's values make sense (protocol 3 or 4, names not empty, a known operating system) is the
// caller's check.
#pragma once

#include <list>
#include <string>
#include <vector>

namespace tqengine {

const short kProtocolIscsi = 3;
const short kProtocolFc = 4;

}  // namespace tqengine

// One host entry of the document.
struct mapInfo {
  std::string hostname;
  std::vector<std::string> endpoints;
  short protocol = 0;  // 0 when the text does not begin with a number that fits 16 bits
  std::string hostos;
};

// Appends one entry per host of the document; false (logged) for a null text or a document that cannot be
// read.
bool ParseMapInfo(const char* text, unsigned long long jobId, std::vector<mapInfo>& hosts);

// The operating-system family of a host's OS text: "windows", "solaris" (for "sunos"), "linux", "hpux"
// (for "hp-ux") or "aix", searched in that order in the lower-cased text; empty when none is named.
void xlateOsType(std::string& osType);

// The initiators joined by ","; Fibre Channel port names are written without ':' and in upper case.
std::string ConvertInitiatorList(std::list<std::string>& initiators, bool iscsi);
