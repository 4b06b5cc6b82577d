// The Linux host, read and driven through sysfs under a configurable root ("/" on a real host, a test
// tree otherwise):
//   initiators   Fibre Channel port names from <root>/sys/class/fc_host/*/port_name ("0x" removed),
//                then the iSCSI initiator name from <root>/etc/iscsi/initiatorname.iscsi
//                (the first "InitiatorName=" line; '#' starts a comment line)
//   devices      every <root>/sys/block/* entry with a device/vendor file, as "/dev/<name>", with its
//                vendor and model (trailing blanks removed); entries that vanish while being read are
//                left out
//   rescan       "1" into <root>/sys/block/<name>/device/delete for each device to delete, then
//                "- - -" into every <root>/sys/class/scsi_host/*/scan
//   devices for SCSI commands: SG_IO on the device node (<root>/dev/<name>, or the name as given when
//                the root is "/"); when the node cannot be used, INQUIRY is answered from sysfs:
//                device/inquiry (or device/vendor, device/model, device/rev, device/type) for standard
//                data and device/vpd_pg<page in hex> for VPD pages.
#pragma once

#include <string>

#include "TqHostPlatform.h"

namespace TQSO {

class LinuxHostPlatform : public TqHostPlatform {
 public:
  explicit LinuxHostPlatform(std::string root = "/");

  const std::string& root() const { return root_; }

  bool initiators(std::vector<HostInitiator>& out, std::string& error) override;
  bool blockDevices(std::vector<HostBlockDevice>& out, std::string& error) override;
  bool rescan(const std::vector<std::string>& initiators, const std::vector<std::string>& devicesToDelete,
              std::string& error) override;
  SP<TqDevice> openDevice(const std::string& name, CWmError* error) override;

 private:
  std::string path(const std::string& relative) const;
  std::string root_;
};

}  // namespace TQSO
