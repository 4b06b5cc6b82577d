// The host side of presenting and withdrawing copies: the host's initiator ports in the form the array
// expects, bus rescans, the host's device list, and which host devices are which LUN. The host services
// (TQSO::TQOSUtil) do the platform work; failures are answered by the boolean results and log lines, never
// by job errors (the calling workers set those).
#pragma once

#include <list>
#include <string>

#include "SnapInfo.h"
#include "TQOSUtil.h"

// One host device as its inquiry identifies it (empty WWN and array id for a device that is no 3PAR volume).
struct DeviceCheckParams {
  std::string lunWWN;
  std::string arrayId;
  std::string deviceName;
};

// The host's initiator ports of one kind: the kind of the first port decides (iscsi out). An empty host
// name is the local host.
bool detectHbalist(TQSO::TQOSUtil* services, std::list<std::string>& initiators, const std::string& hostName,
                   std::string& arrayId, bool& iscsi);
// The first initiator port of a host (a Fibre Channel name without ':' and in upper case).
bool detectHBA(std::string& initiator, bool& iscsi, std::string& arrayId, TQSO::TQOSUtil* services,
               std::string hostName);
// The ports joined by ',' (Fibre Channel names without ':' and in upper case).
std::string convertHbaList(std::list<std::string>& initiators, bool iscsi);
// Deletes the host devices of the second list and rescans the buses of the first list's ports.
void refreshSystemBus(TQSO::TQOSUtil* services, std::list<std::string> first, std::list<std::string> second,
                      std::string hostName);
// The host's devices (or VMware device descriptors); false when none could be listed.
bool getDeviceList(std::list<std::string>& devices, TQSO::TQOSUtil* services, std::string hostName);
// Appends each listed device's inquiry identity to out; always true.
bool GetDeviceIdsFromDeviceList(std::list<std::string>& devices, std::list<DeviceCheckParams>& out,
                                TQSO::SnapInfo* unusedDevice, TQSO::TQOSUtil* unusedServices);
// The host devices whose inquiry WWN equals lunWWN (a non-empty WWN, exactly); always true.
bool getAllDevicePaths(std::string lunWWN, std::list<std::string>& hostDevices, std::string unused,
                       std::list<std::string>& paths);
