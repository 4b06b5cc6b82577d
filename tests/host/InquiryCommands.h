// INQUIRY as the engine sends it to host devices in the host tests, and reading a page 0x83 answer.
#pragma once

#include <string>

#include "TqDevice.h"

const unsigned char kStandardCdb[6] = {0x12, 0x00, 0x00, 0x00, 0xFF, 0x00};
const unsigned char kPage83Cdb[6] = {0x12, 0x01, 0x83, 0x00, 0xFF, 0x00};

// One inquiry as the engine sends it: 255 bytes, data in, 10 s. -2 when the device has no SCSI interface.
inline int inquire(TqDevice* device, const unsigned char* cdb, unsigned char* buffer, CWmError* error) {
  TqDeviceScsiIface* scsi = device->findInterface("TqDeviceScsiIface");
  if (scsi == nullptr) return -2;
  return scsi->sendCdb(cdb, 6, buffer, 255, 0, 1, 0, 0, 10, error);
}

// The identifier of the first designator of a page 0x83 answer, in upper-case hex digits.
inline std::string firstDesignatorHex(const unsigned char* page) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned i = 0; i < page[7]; ++i) {
    text.push_back(digits[page[8 + i] >> 4]);
    text.push_back(digits[page[8 + i] & 0x0F]);
  }
  return text;
}
