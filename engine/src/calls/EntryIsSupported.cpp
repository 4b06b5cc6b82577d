// Whether a host device is a 3PAR virtual volume.
#include <string>

#include "EntryGuard.h"
#include "TqDeviceInquiry.h"
#include "TqsoEntryPoints.h"
#include "identification/DescriptorInquiry.h"

namespace {

const char kTag[] = "3PAR-tqso_isSupported";
const int kSupported = 0;
const int kCannotTell = 1;
const int kNotSupported = 2;

int IsSupported(const char* deviceName) {
  if (deviceName == nullptr) {
    o_logger.DebugLvl(kTag, -1, "Function called with NULL character device name");
    return kCannotTell;
  }
  std::string vendor, product, arrayId, wwn;
  if (!getDevArrayInfo(deviceName, vendor, product, arrayId, wwn, nullptr, nullptr)) {
    o_logger.DebugLvl(kTag, -1, "Failed to get the array info of device");
    return kCannotTell;
  }
  const std::string name = tqengine::DescriptorForLog(deviceName);
  // The product alone decides: rebranded arrays answer with another vendor.
  if (product.find(tqengine::kProductVV) != std::string::npos) {
    o_logger.DebugLvl(kTag, 2, "Device %s belong to array - %s vendor - %s product %s ", name.c_str(), arrayId.c_str(),
                      vendor.c_str(), product.c_str());
    return kSupported;
  }
  o_logger.DebugLvl(kTag, -1,
                    "The device %s does not belong to 3PAR array. Vendor of the device is - %s and product line %s",
                    name.c_str(), vendor.c_str(), product.c_str());
  return kNotSupported;
}

}  // namespace

int tqso_isSupported(const char* deviceName, int32_t, void*, void*, int16_t) {
  return tqengine::GuardedCall(kTag, kCannotTell, [&] { return IsSupported(deviceName); });
}
