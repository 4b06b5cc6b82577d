// The host-side work behind the host services: the host's initiator ports, its SCSI block devices, bus
// rescans, and opening a device for SCSI commands. Two implementations: the Linux host (sysfs under a
// configurable root) and the simulated host (the volumes a simulated array exposes to its ports).
// Implementations are thread-safe.
#pragma once

#include <string>
#include <vector>

#include "TqDeviceTree.h"

namespace TQSO {

enum InitiatorKind : unsigned char {
  INITIATOR_FC = 0,
  INITIATOR_ISCSI = 1,
};

struct HostInitiator {
  std::string name;  // Fibre Channel port name (hex digits, as the host gives it) or iSCSI name
  InitiatorKind kind = INITIATOR_FC;
};

struct HostBlockDevice {
  std::string path;     // "/dev/sdb"
  std::string vendor;   // INQUIRY vendor, trailing blanks removed
  std::string product;  // INQUIRY product, trailing blanks removed
};

class TqHostPlatform : public TqDeviceSource {
 public:
  // Each returns false with a reason when the host could not be read; an empty answer is not a failure.
  virtual bool initiators(std::vector<HostInitiator>& out, std::string& error) = 0;
  virtual bool blockDevices(std::vector<HostBlockDevice>& out, std::string& error) = 0;
  // Removes the listed devices, then scans every bus for devices again. initiators are the ports the
  // caller cares about (a host may scan only those).
  virtual bool rescan(const std::vector<std::string>& initiators, const std::vector<std::string>& devicesToDelete,
                      std::string& error) = 0;
};

}  // namespace TQSO
