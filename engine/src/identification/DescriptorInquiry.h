// The inquiry data a VMware host gives as a descriptor text in place of a device path.
#pragma once

#include <string>

namespace tqengine {

// Fills the INQUIRY buffer (kInquiryBufferLength bytes, zeroed) with the descriptor's standard data and
// sets the LUN WWN (upper case; 32 characters for NAA 6, else 16) and the NAA-6 flag. False, logged, when
// "lunuuid" is missing or too short for its WWN, or "standardinqury" is missing.
// A descriptor (or any device name) fit for a log line: password values masked.
std::string DescriptorForLog(const std::string& descriptor);

bool ReadDescriptorInquiry(const std::string& descriptor, unsigned char* buffer, std::string& lunWWN, bool& naa6);

}  // namespace tqengine
