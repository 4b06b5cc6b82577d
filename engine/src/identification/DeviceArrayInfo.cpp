// Identifying a host device: standard INQUIRY, then page 0x83 for a 3PAR virtual volume.
#include <cstring>
#include <string>

#include "DescriptorInquiry.h"
#include "EvDebug.h"
#include "InquiryDevice.h"
#include "TqDeviceInquiry.h"
#include "TqException.h"

namespace {

const char kTag[] = "3PAR-getDevArrayInfo";
const size_t kWorkFieldLength = 64;
const size_t kVendorOffset = 8;
const size_t kVendorLength = 8;
const size_t kProductOffset = 16;
const size_t kProductLength = 16;
// Page 0x83: 4-byte page header, then the first designation descriptor (4-byte header, identifier).
const unsigned char kPage83 = 0x83;
const unsigned char kDesignatorNaa = 3;
const size_t kIdentifierOffset = 8;
const size_t kNaa6IdentifierLength = 16;
const size_t kNaaIdentifierLength = 8;

// A field copied into a zeroed work buffer first, so the response buffer is not changed.
std::string FieldText(const unsigned char* buffer, size_t offset, size_t length) {
  unsigned char work[kWorkFieldLength] = {0};
  std::memcpy(work, buffer + offset, length);
  return trimSpaces(work, static_cast<int>(length));
}

// The LUN WWN of page 0x83: the identifier of the first designator, which must be a whole NAA identifier
// (16 bytes for NAA 6, else 8; 32 or 16 hex digits).
bool NaaWwn(const unsigned char* page, std::string& wwn, bool& naa6) {
  const size_t pageLength = static_cast<size_t>(page[2]) << 8 | page[3];
  const bool isNaa6 = page[kIdentifierOffset] >> 4 == 6;
  const size_t idLength = isNaa6 ? kNaa6IdentifierLength : kNaaIdentifierLength;
  if (page[1] != kPage83 || (page[5] & 0x0F) != kDesignatorNaa || page[7] < idLength || pageLength < 4 + idLength)
    return false;
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < kNaa6IdentifierLength; ++i) {
    text += kHex[page[kIdentifierOffset + i] >> 4];
    text += kHex[page[kIdentifierOffset + i] & 0x0F];
  }
  wwn = isNaa6 ? text : text.substr(0, 2 * kNaaIdentifierLength);
  naa6 = isNaa6;
  return true;
}

// Standard data and, for a 3PAR virtual volume, the WWN of a device path.
bool InquireDevice(const char* name, unsigned char* buffer, const unsigned char* standardData,
                   const unsigned char* page83Data, std::string& vendor, std::string& product, std::string& wwn,
                   bool& naa6) {
  tqengine::InquiryDevice device(name);
  try {
    if (standardData != nullptr) {
      std::memcpy(buffer, standardData, tqengine::kInquiryBufferLength);
    } else if (!device.Inquire(tqengine::kStandardInquiryCdb, buffer)) {
      return false;
    }
  } catch (const TqException& e) {
    o_logger.DebugLvl(kTag, -1, "Failed to send scsi inquiry cdb, caught exception: %s", e.getMessage());
    return false;
  }
  vendor = FieldText(buffer, kVendorOffset, kVendorLength);
  product = FieldText(buffer, kProductOffset, kProductLength);
  if (!tqengine::Is3PARVolume(vendor, product)) return true;

  try {
    if (page83Data != nullptr) {
      std::memcpy(buffer, page83Data, tqengine::kInquiryBufferLength);
    } else if (!device.Inquire(tqengine::kPage83InquiryCdb, buffer)) {
      return false;
    }
  } catch (const TqException& e) {
    o_logger.DebugLvl(kTag, 2, "Fail to send scsi inqury cdb, caught exception:%s", e.getMessage());
    return false;
  }
  if (!NaaWwn(buffer, wwn, naa6)) {
    o_logger.DebugLvl(kTag, -1, "Page 0x83 of [%s] does not begin with a whole NAA identifier", name);
    return false;
  }
  o_logger.DebugLvl(kTag, 2, "*Device [%s] TqDeviceTree instance [%s] SCSI inquiry:", name,
                    device.InstanceName().c_str());
  return true;
}

}  // namespace

bool getDevArrayInfo(const char* deviceName, std::string& vendor, std::string& product, std::string& arrayId,
                     std::string& lunWWN, const unsigned char* standardData, const unsigned char* page83Data) {
  arrayId.clear();
  lunWWN.clear();
  if (deviceName == nullptr) {
    o_logger.DebugLvl(kTag, -1, "Device name is not set. Cannot fetch array info.");
    return false;
  }
  unsigned char buffer[tqengine::kInquiryBufferLength] = {0};
  std::string wwn;
  bool naa6 = false;
  if (std::strstr(deviceName, "vmware") != nullptr) {
    if (!tqengine::ReadDescriptorInquiry(deviceName, buffer, wwn, naa6)) return false;
    lunWWN = wwn;
    vendor = FieldText(buffer, kVendorOffset, kVendorLength);
    product = FieldText(buffer, kProductOffset, kProductLength);
  } else if (!InquireDevice(deviceName, buffer, standardData, page83Data, vendor, product, wwn, naa6)) {
    return false;
  }
  bool is16ByteId = false;
  if (tqengine::Is3PARVolume(vendor, product)) {
    lunWWN = wwn;
    GetArrayNameFromWWN(lunWWN, arrayId, is16ByteId);
  }
  o_logger.DebugLvl(kTag, 1, "[%s] Page 0x83 [lun wwn - %s] [is 16Byte WWN - %s][is 16Byte ID - %s]",
                    tqengine::DescriptorForLog(deviceName).c_str(), lunWWN.c_str(), naa6 ? "yes" : "No",
                    is16ByteId ? "yes" : "No");
  return true;
}
