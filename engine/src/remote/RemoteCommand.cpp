// The fixed-width texts of the remote-proxy protocol: the command (version, message id, device index, six
// characters each) and the map parameter (host group in 30 characters, two flags, the port list).
#include <cstdint>
#include <string>

#include "EvDebug.h"
#include "TqNumberParse.h"
#include "TqRemoteProxy.h"

namespace {

const int kProtocolVersion = 1;
const size_t kFieldWidth = 6;
const size_t kCommandLength = 3 * kFieldWidth;
const size_t kGroupWidth = 30;
const size_t kMapParameterLength = kGroupWidth + 2;

// The number's decimal text right-aligned in a six-character field; false when it does not fit.
bool AppendField(std::string& command, const std::string& text) {
  if (text.size() > kFieldWidth) return false;
  command.append(kFieldWidth - text.size(), ' ');
  command += text;
  return true;
}

std::string TrimBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool RemoteNumber(const std::string& text, int& value) {
  // Decimal only: the protocol writes "%d" and "%u", never another base.
  if (text.find_first_not_of(" +-0123456789") != std::string::npos) return false;
  int32_t parsed = 0;
  if (!tqhost::parseInt32(text, parsed)) return false;
  value = parsed;
  return true;
}

bool GetRemoteCommandParameter(int messageId, int deviceIndex, std::string& command) {
  const char* tag = "3PAR-TP_GetRemoteCommandParameter";
  command.clear();
  const std::string version = std::to_string(kProtocolVersion);
  if (!AppendField(command, version)) {
    o_logger.DebugLvl(tag, -1, "Invalid RPX version [%s]", version.c_str());
    return false;
  }
  const std::string message = std::to_string(messageId);
  if (!AppendField(command, message)) {
    o_logger.DebugLvl(tag, -1, "Invalid Remote command Message [%s]", message.c_str());
    return false;
  }
  const std::string index = std::to_string(deviceIndex);
  if (!AppendField(command, index)) {
    o_logger.DebugLvl(tag, -1, "Invalid DevidceIndex[%s]", index.c_str());
    return false;
  }
  o_logger.DebugLvl(tag, 1,
                    "Remote Command Parameter  [Version - %d] [Messageid = %d] [DeviceIndex = %d] [command - %s]",
                    kProtocolVersion, messageId, deviceIndex, command.c_str());
  return true;
}

bool ExtractCommandParameter(std::string& command, int& messageId, int& deviceIndex) {
  const char* tag = "3PAR-TP_ExtractCommandParameter";
  if (command.size() < kCommandLength) {
    o_logger.DebugLvl(tag, -1, "Invalid Remote command Message [%s]", command.c_str());
    return false;
  }
  // A blank version field reads as version 0; the other fields must hold a number that fits. A device
  // index read wrongly would name other devices (-1 is every device of the list).
  const std::string versionField = command.substr(0, kFieldWidth);
  int version = 0;
  const bool blankVersion = TrimBlanks(versionField).empty();
  if (!blankVersion && !RemoteNumber(versionField, version)) {
    o_logger.DebugLvl(tag, -1, "Invalid Remote command Message [%s]", command.c_str());
    return false;
  }
  if (version >= 2) {
    o_logger.DebugLvl(tag, -1, "Invalid Remote PX Version (%d) [%s]", version, command.c_str());
    return false;
  }
  int message = 0, index = 0;
  if (!RemoteNumber(command.substr(kFieldWidth, kFieldWidth), message) ||
      !RemoteNumber(command.substr(2 * kFieldWidth), index)) {
    o_logger.DebugLvl(tag, -1, "Invalid Remote command Message [%s]", command.c_str());
    return false;
  }
  messageId = message;
  deviceIndex = index;
  o_logger.DebugLvl(tag, 1, "Remote Command Parameter [Version - %d] [Messageid = %d] [DeviceIndex = %d]", version,
                    messageId, deviceIndex);
  return true;
}

bool GetRemoteMapParameter(std::string& portList, std::string& group, bool iscsi, bool snapshotVolumes,
                           std::string& parameter) {
  const char* tag = "3PAR-TP_GetRemoteMapParameter";
  // A longer name would not fit its field and would shift the flags and ports behind it.
  if (group.size() > kGroupWidth) {
    o_logger.DebugLvl(tag, -1, "Host group name too long for the remote map parameter [%s]", group.c_str());
    parameter.clear();
    return false;
  }
  parameter = group + std::string(kGroupWidth - group.size(), ' ') + (iscsi ? '1' : '0') +
              (snapshotVolumes ? '1' : '0') + portList;
  o_logger.DebugLvl(tag, 1, "Remote Map Parameter [%s]", parameter.c_str());
  return true;
}

bool ExtractRemoteMapParameter(std::string& parameter, std::string& group, std::string& portList, bool& iscsi,
                               bool& snapshotVolumes) {
  const char* tag = "3PAR-TP_ExtractRempteMapParameter";
  group.clear();
  portList.clear();
  if (parameter.size() < kMapParameterLength) {
    o_logger.DebugLvl(tag, -1, " invalid Remote Map Parameter [%s]", parameter.c_str());
    return false;
  }
  o_logger.DebugLvl(tag, 1, "Remote Map Parameter [%s]", parameter.c_str());
  group = TrimBlanks(parameter.substr(0, kGroupWidth));
  iscsi = parameter[kGroupWidth] == '1';
  snapshotVolumes = parameter[kGroupWidth + 1] == '1';
  portList = parameter.substr(kMapParameterLength);
  o_logger.DebugLvl(tag, 1, "Remote Map Parameter [Group - %s] [biscsi - %s] [bSnapVolumes - %s] [sHbaPortList - %s]",
                    group.c_str(), iscsi ? "Yes" : "No", snapshotVolumes ? "Yes" : "No", portList.c_str());
  return true;
}
