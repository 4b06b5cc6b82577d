// The texts that name a host port as a 3PAR provider's hardware ID, as the masking operations pass them:
// TPD_StorageHardwareID.InstanceID="<prefix><FC-|iSCSI-><port>". The prefix follows the array's firmware:
// versions whose text sorts after "3.1.1" byte by byte (not numerically: "3.1.10" does, "10.0" does not)
// use "HP_3PAR:", all others "3PAR:".
#pragma once

#include <string>

namespace smishwid {

// "HP_3PAR:" or "3PAR:" for the firmware version text.
const char* InstanceIdPrefix(const std::string& firmwareVersion);

// True for an iSCSI name: it begins with "iqn.", "eui." or "naa." in any case. Anything else is taken as a
// Fibre Channel port.
bool IsIscsiPort(const std::string& port);

// The hardware-ID text of the port under the prefix, the port's kind read from the port itself. An iSCSI
// name is kept as it is; a Fibre Channel port is written without ':' and in upper case.
std::string HardwareIdText(const std::string& prefix, const std::string& port);
// The same with the kind given by the caller (a host whose initiators are known to be iSCSI or FC).
std::string HardwareIdText(const std::string& prefix, const std::string& port, bool iscsi);

}  // namespace smishwid
