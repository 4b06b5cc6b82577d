// A host device as the device tree hands it out, held through SP<TqDevice>.
#pragma once

#include <string>

#include "SP.h"
#include "TqDeviceScsiIface.h"

class TqDevice : public SPEnabled {
 public:
  ~TqDevice() override = default;

  // The device's instance name in the tree (for SCSI disks the block device name, e.g. "sdb").
  virtual std::string getName() = 0;
  // The named interface of the device, or null when it has none. The only interface this host knows is
  // "TqDeviceScsiIface". The interface lives as long as the device.
  virtual TqDeviceScsiIface* findInterface(const char* interfaceName) = 0;
};
