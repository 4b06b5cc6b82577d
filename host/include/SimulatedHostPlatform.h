// The simulated host: a host whose initiator ports are given by configuration and whose SCSI disks are
// the volumes a simulated array exposes to those ports.
//
// What the array exposes is read at each rescan (never in between, as on a real host): every exposed
// volume becomes a disk "/dev/sd<letters>" (a name stays with its WWN for the life of the platform)
// answering INQUIRY with vendor "3PARdata", product "VV" and a page 0x83 NAA designator of the volume's
// WWN. A volume no longer exposed at a rescan disappears, and so does a device the rescan is asked to
// delete (it comes back at the next rescan if it is still exposed). A device opened before it
// disappeared fails its commands from then on.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "TqHostPlatform.h"

namespace TQSO {

// One volume an array exposes to a set of initiator ports.
struct ExposedVolume {
  std::string array;   // the array's system name
  std::string volume;  // the volume's name
  std::string wwn;     // 32 (or 16) hex digits
  unsigned lun = 0;
};

// Where the simulated host learns what is exposed to it.
class TqExposureSource {
 public:
  virtual ~TqExposureSource() = default;
  // False with a reason when the answer could not be had.
  virtual bool exposedTo(const std::vector<std::string>& initiatorPorts, std::vector<ExposedVolume>& out,
                         std::string& error) = 0;
};

class SimulatedHostPlatform : public TqHostPlatform {
 public:
  static const char* const kVendor;   // "3PARdata"
  static const char* const kProduct;  // "VV"

  SimulatedHostPlatform(std::vector<HostInitiator> ports, std::shared_ptr<TqExposureSource> exposures);

  bool initiators(std::vector<HostInitiator>& out, std::string& error) override;
  bool blockDevices(std::vector<HostBlockDevice>& out, std::string& error) override;
  // Asks the exposure source with every configured port (the initiators argument is not needed: the
  // host's ports are its own). On failure the devices stay as they were.
  bool rescan(const std::vector<std::string>& initiators, const std::vector<std::string>& devicesToDelete,
              std::string& error) override;
  SP<TqDevice> openDevice(const std::string& name, CWmError* error) override;

  // The visible devices, by path.
  std::map<std::string, ExposedVolume> visibleDevices() const;
  long long rescanCount() const;

  // What the host sees; shared with the devices it opened, which may outlive it.
  class DeviceTable;

 private:
  const std::vector<HostInitiator> ports_;
  const std::shared_ptr<TqExposureSource> exposures_;
  const std::shared_ptr<DeviceTable> table_;
};

}  // namespace TQSO
