#include "SmisHardwareId.h"

#include <cctype>
#include <cstring>

namespace smishwid {

const char* InstanceIdPrefix(const std::string& firmwareVersion) {
  return std::strcmp(firmwareVersion.c_str(), "3.1.1") > 0 ? "HP_3PAR:" : "3PAR:";
}

bool IsIscsiPort(const std::string& port) {
  std::string head;
  for (std::size_t i = 0; i < port.size() && i < 4; ++i)
    head += static_cast<char>(std::tolower(static_cast<unsigned char>(port[i])));
  return head == "iqn." || head == "eui." || head == "naa.";
}

std::string HardwareIdText(const std::string& prefix, const std::string& port) {
  return HardwareIdText(prefix, port, IsIscsiPort(port));
}

std::string HardwareIdText(const std::string& prefix, const std::string& port, bool iscsi) {
  std::string id = prefix;
  if (iscsi) {
    id += "iSCSI-" + port;
  } else {
    id += "FC-";
    for (char c : port)
      if (c != ':') id += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  // The key value is quoted text: a quote or backslash inside it is escaped.
  std::string quoted;
  for (char c : id) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return "TPD_StorageHardwareID.InstanceID=\"" + quoted + "\"";
}

}  // namespace smishwid
