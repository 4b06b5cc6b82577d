// One host device opened for INQUIRY commands, opened when first needed and let go with the object.
#pragma once

#include <string>

#include "SP.h"
#include "TqDevice.h"

namespace tqengine {

class InquiryDevice {
 public:
  explicit InquiryDevice(const char* name) : name_(name) {}

  // Sends one INQUIRY CDB into the zeroed buffer (kInquiryBufferLength bytes). False, logged, when the
  // device cannot be opened or has no SCSI interface; throws TqException when the command fails.
  bool Inquire(const unsigned char* cdb, unsigned char* buffer);
  // The device's instance name, or "EMPTY" when it was never opened.
  std::string InstanceName();

 private:
  const char* name_;
  SP<TqDevice> device_;
};

// The standard-data and page 0x83 INQUIRY commands.
extern const unsigned char kStandardInquiryCdb[6];
extern const unsigned char kPage83InquiryCdb[6];

}  // namespace tqengine
