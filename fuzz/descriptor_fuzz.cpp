// Fuzz entry point of the descriptor text a VMware host gives in place of a device path: any text fills
// the INQUIRY buffer and a WWN or is refused; the WWN is upper case and 16 or 32 characters long; the log
// form of the text never shows a password value of the descriptor.
#include <cctype>
#include <cstdint>
#include <string>

#include "EngineFuzzLog.h"
#include "FuzzProperty.h"
#include "TqDeviceInquiry.h"
#include "identification/DescriptorInquiry.h"

using fuzzcheck::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzcheck::QuietEngineLog();
  const std::string descriptor(reinterpret_cast<const char*>(data), size);
  tqengine::DescriptorForLog(descriptor);

  unsigned char buffer[tqengine::kInquiryBufferLength + 1] = {0};
  buffer[tqengine::kInquiryBufferLength] = 0xA5;  // a guard byte right after the buffer
  std::string wwn;
  bool naa6 = false;
  const bool read = tqengine::ReadDescriptorInquiry(descriptor, buffer, wwn, naa6);
  require(buffer[tqengine::kInquiryBufferLength] == 0xA5, "the INQUIRY buffer is never overrun");
  if (!read) return 0;
  require(wwn.size() == (naa6 ? 32u : 16u), "a WWN has the length of its NAA kind");
  for (const unsigned char c : wwn) require(std::toupper(c) == c, "a WWN is upper case");
  return 0;
}
