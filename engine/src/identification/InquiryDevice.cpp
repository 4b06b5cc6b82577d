#include "InquiryDevice.h"

#include <cstring>

#include "CWmError.h"
#include "EvDebug.h"
#include "TqDeviceInquiry.h"
#include "TqDeviceScsiIface.h"
#include "TqDeviceTree.h"
#include "TqException.h"

namespace tqengine {

namespace {

const char kTag[] = "3PAR-getDevArrayInfo";
const int kCdbLength = 6;
const int kDataIn = 1;
const int kTimeoutSeconds = 10;

}  // namespace

const unsigned char kStandardInquiryCdb[6] = {0x12, 0x00, 0x00, 0x00, 0xFF, 0x00};
const unsigned char kPage83InquiryCdb[6] = {0x12, 0x01, 0x83, 0x00, 0xFF, 0x00};

bool InquiryDevice::Inquire(const unsigned char* cdb, unsigned char* buffer) {
  if (!device_) device_ = getScsiTarget(name_);
  if (!device_) return false;
  TqDeviceScsiIface* scsi = device_->findInterface(TqDeviceScsiIface::kInterfaceName);
  if (scsi == nullptr) {
    o_logger.DebugLvl(kTag, -1, "'%s' is not SCSI device", device_->getName().c_str());
    return false;
  }
  std::memset(buffer, 0, kInquiryBufferLength);
  CWmError error;
  if (scsi->sendCdb(cdb, kCdbLength, buffer, kInquiryBufferLength, 0, kDataIn, 0, 0, kTimeoutSeconds, &error) == -1)
    throw TqException(kTag, error.AsString());
  return true;
}

std::string InquiryDevice::InstanceName() { return device_ ? device_->getName() : std::string("EMPTY"); }

}  // namespace tqengine

SP<TqDevice> getScsiTarget(const char* deviceName) {
  CWmError error = CWmError::Success();
  SP<TqDevice> device = TqDeviceTree::getDevice(deviceName, &error);
  if (!device) {
    o_logger.DebugLvl("SP<TqDevice> getScsiTarget(const char*)", -1, "Failed to get TqDevice. Error:[%s].",
                      error.AsString().c_str());
  }
  return device;
}
