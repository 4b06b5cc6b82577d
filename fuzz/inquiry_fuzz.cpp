// Fuzz entry point of device identification from stored INQUIRY data: the input's first 255 bytes are the
// standard data, the next 255 the Device Identification page (0x83), zero-filled when short. A 3PAR
// virtual volume identified this way has a WWN of 16 or 32 hexadecimal digits and an array id derived
// from it.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "EngineFuzzLog.h"
#include "FuzzProperty.h"
#include "TqDeviceInquiry.h"

using fuzzcheck::require;

namespace {

bool IsHexWwn(const std::string& wwn) {
  return (wwn.size() == 16 || wwn.size() == 32) &&
         std::all_of(wwn.begin(), wwn.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzcheck::QuietEngineLog();
  const std::size_t length = tqengine::kInquiryBufferLength;
  unsigned char standard[tqengine::kInquiryBufferLength] = {0};
  unsigned char page83[tqengine::kInquiryBufferLength] = {0};
  std::memcpy(standard, data, std::min(size, length));
  if (size > length) std::memcpy(page83, data + length, std::min(size - length, length));

  std::string vendor, product, arrayId, wwn;
  if (!getDevArrayInfo("/dev/fuzz-inquiry", vendor, product, arrayId, wwn, standard, page83)) return 0;
  require(vendor.size() <= 8 && product.size() <= 16, "vendor and product fit their fields");
  if (!tqengine::Is3PARVolume(vendor, product)) {
    require(wwn.empty() && arrayId.empty(), "only a 3PAR volume has a WWN and an array id");
    return 0;
  }
  require(IsHexWwn(wwn), "a 3PAR volume's WWN is 16 or 32 hexadecimal digits");
  require(arrayId.rfind(tqengine::kArrayIdPrefix, 0) == 0, "an array id begins with the 3PAR prefix");
  return 0;
}
