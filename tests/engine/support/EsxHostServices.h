// Host services that also front an ESX host for VMware jobs. The ESX host "esx01" has two Fibre Channel
// ports; its device list is what the simulated array exposes to those ports when it is asked, each volume
// as the descriptor the ESX host hands over for it (lunuuid with the volume's WWN and 3PAR standard
// INQUIRY data). The local host stays the simulated platform.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ArrayRegistry.h"
#include "TQOSUtil.h"
#include "TqHostPlatform.h"
#include "smis-sim/TestServer.h"

namespace enginejob {

constexpr const char* kEsxHost = "esx01";
constexpr const char* kEsxPort = "20000025B5AA0001";
constexpr const char* kEsxSecondPort = "20000025B5AA0002";
// The host identifier of a VMware job record: the ESX host follows ",esxname:".
constexpr const char* kEsxIdentifier = "{vc:vc01.example,esxname:esx01,user:root,password:pw}";

// The descriptor of a volume as the ESX host hands it over (a "vmware" host device path).
inline std::string EsxDescriptor(const std::string& wwn) {
  static const char digits[] = "0123456789abcdef";
  std::string standard(36, '\0');
  const std::string vendor = "3PARdata", product = "VV              ";
  standard.replace(8, vendor.size(), vendor);
  standard.replace(16, product.size(), product);
  std::string hex;
  for (unsigned char byte : standard) hex += std::string{digits[byte >> 4], digits[byte & 15]};
  return "{corvtype:vmware,lunuuid:0200000000" + wwn + "565620202020,standardinqury:" + hex + ",version:1}";
}

class EsxHostServices : public TQSO::TQOSUtil {
 public:
  EsxHostServices(std::shared_ptr<TQSO::ArrayRegistry> registry, std::shared_ptr<TQSO::TqHostPlatform> platform,
                  smissim::TestServer& array)
      : TQOSUtil(std::move(registry), std::move(platform)), array_(array) {
    setRemoteHost(kEsxHost, {{kEsxPort, TQSO::INITIATOR_FC}, {kEsxSecondPort, TQSO::INITIATOR_FC}}, "");
  }

  int listDevices(const char* host, const char* filter, char separator, uint32_t size, char* buffer) override {
    if (host == nullptr || host[0] == '\0' || host == localHostName())
      return TQOSUtil::listDevices(host, filter, separator, size, buffer);
    std::string text;
    for (const smissim::ExposedLun& lun : array_->exposedTo({kEsxPort, kEsxSecondPort}))
      text += EsxDescriptor(lun.wwn) + separator;
    if (buffer == nullptr || text.size() + 1 > size) return static_cast<int>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return 0;
  }

 private:
  smissim::TestServer& array_;
};

}  // namespace enginejob
