// SCSI pieces shared by the device implementations: the disk's own interface, checking sendCdb
// arguments, reading an INQUIRY CDB, checking an answer, and building standard data and the
// device-identification page.
#pragma once

#include <string>
#include <vector>

#include "CWmError.h"
#include "TqDevice.h"

namespace tqhost {

// A SCSI disk of the device tree: the device is its own SCSI interface.
class ScsiDisk : public TqDevice, public TqDeviceScsiIface {
 public:
  TqDeviceScsiIface* findInterface(const char* interfaceName) override;
};

// True when sendCdb arguments can describe a command: a CDB of 6 to 16 bytes, and a buffer for
// bufferLength bytes (none needed for 0).
bool validCdbArguments(const unsigned char* cdb, int cdbLength, const unsigned char* buffer, int bufferLength);

const unsigned char kInquiryOpcode = 0x12;
const unsigned char kDeviceIdentificationPage = 0x83;
const size_t kStandardInquiryLength = 36;

struct InquiryRequest {
  bool vitalProductData = false;  // EVPD bit
  unsigned char page = 0;
  size_t allocationLength = 0;
};

// True when the CDB is an INQUIRY (6 bytes or more); the request is read from it.
bool readInquiryCdb(const unsigned char* cdb, int cdbLength, InquiryRequest& request);

// Checks that an answer of `received` bytes is a whole answer to the request: standard data of at least
// 36 bytes (or all the caller asked for, when less), or a VPD page that names the asked page and holds its 4-byte
// header and as much of the page as its length says (up to `room`, the bytes the caller could take). Sets *error if
// not.
bool checkInquiryAnswer(const InquiryRequest& request, const unsigned char* data, size_t received, size_t room,
                        CWmError* error);

// Copies what fits of the answer (at most the allocation length) into the buffer and zeroes the rest.
// Returns the bytes copied.
size_t deliverAnswer(const std::vector<unsigned char>& answer, const InquiryRequest& request, unsigned char* buffer,
                     size_t bufferLength);

// Standard INQUIRY data (36 bytes) of a disk with the given vendor (8), product (16) and revision (4),
// each blank-padded or cut to its field.
std::vector<unsigned char> standardInquiry(unsigned char peripheralType, const std::string& vendor,
                                           const std::string& product, const std::string& revision);

// Page 0x83 with one NAA designator made of the WWN's hex digits (16 or 32 digits; the WWN's first digit
// is the NAA type). Empty when the WWN is not 16 or 32 hex digits.
std::vector<unsigned char> deviceIdentificationPage(const std::string& wwn);

void setError(CWmError* error, int code, const std::string& text);

}  // namespace tqhost
