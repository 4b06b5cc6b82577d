// Identifying a device's LUN and array for prepare: from a VPLEX backend identifier, from the host path
// when the job says the path is the WWN, from metadata on the proxy host, or by SCSI inquiry.
#include <algorithm>
#include <cctype>
#include <string>

#include "EvDebug.h"
#include "TqDeviceInquiry.h"
#include "TqSnapWorkers.h"
#include "VplexParser.h"
#include "jobs/DeviceTexts.h"

namespace {

const uint32_t kUseDeviceWwn = 0x20000000;
const int kRemotePrepareMessage = 4;

std::string TagFor(bool isLocal, bool replication) {
  std::string tag = "3par-TQSO3PARAPI::getDeviceInfo";
  tag += isLocal ? "[Local]" : "[Remote]";
  if (replication) tag += "[bReplication]";
  return tag;
}

// The WWN without the SCSI path, or false (logged) when it cannot be had.
bool WwnWithoutInquiry(TQSO::SnapInfo* device, const std::string& tag, const std::string& path, bool isLocal,
                       bool replication, std::string& wwn, bool& found) {
  found = true;
  std::string vplex;
  if (device->getMetaData(TQSO::SM_MDT_VPLEX_BACKEND_ID, vplex) && !vplex.empty()) {
    device->logFormatted(1, tag.c_str(), "Found VPLEX metadata [%d: %s]", TQSO::SM_MDT_VPLEX_BACKEND_ID, vplex.c_str());
    std::string arrayId;
    if (!ParseVPLEXBackendMetadata(vplex, arrayId, wwn)) {
      device->logFormatted(2, tag.c_str(), "Failed to parse VPLEX backend device identifier [%s]", vplex.c_str());
      return false;
    }
    device->logFormatted(1, tag.c_str(), "VPLEX backend Array ID [%s] Device WWN [%s]", arrayId.c_str(), wwn.c_str());
    return true;
  }
  if ((device->getRequestFlags() & kUseDeviceWwn) != 0) {
    wwn = path;
    device->logFormatted(1, tag.c_str(), " USE_DEVICE_WWN flag is set. Device WWN [%s]", wwn.c_str());
    return true;
  }
  if (isLocal) {
    found = false;
    return true;
  }
  if (replication) {
    if (!device->getMetaData(TQSO::SM_MDT_3PAR_SRC_SNAP_UUID, wwn)) {
      o_logger.DebugLvl(tag.c_str(), -1, "[ERROR] unable to get Source Volume-ID");
      return false;
    }
    return true;
  }
  if (!device->getMetaData(TQSO::SM_MDT_3PAR_UNIQUE_STR_REMOTE_WWN_ID, wwn)) {
    device->logFormatted(2, tag.c_str(), "Failed to get WWN from metadata fro remote call [%d] [Snap-ID - %u]",
                         kRemotePrepareMessage, device->getSnapId());
    return false;
  }
  device->logFormatted(1, tag.c_str(), " metadata SM_MDT_3PAR_UNIQUE_STR_REMOTE_WWN_ID set [%s]", wwn.c_str());
  return true;
}

}  // namespace

bool getDeviceInfo(TQSO::SnapInfo* device, std::string& wwnOut, std::string& arrayIdOut, std::string& vendorOut,
                   std::string& productOut, bool isLocal, bool replication) {
  if (device == nullptr) return false;
  const std::string tag = TagFor(isLocal, replication);
  const std::string path = tqengine::HostDevicePathOf(device);
  std::string wwn, arrayId, vendor, product;
  bool known = false;
  if (!WwnWithoutInquiry(device, tag, path, isLocal, replication, wwn, known)) return false;
  if (known) {
    std::transform(wwn.begin(), wwn.end(), wwn.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    bool is16Byte = false;
    GetArrayNameFromWWN(wwn, arrayId, is16Byte);
    product = "VV";
    vendor = "3PARdata [MT]";
    device->logFormatted(1, tag.c_str(), "[Device WWN %s] [Array-name - %s] [b16ByteID - %s]", wwn.c_str(),
                         arrayId.c_str(), is16Byte ? "Yes" : "No");
  } else if (!getDevArrayInfo(path.c_str(), vendor, product, arrayId, wwn, device->getInquiryData(0),
                              device->getInquiryData(0x83))) {
    device->logFormatted(2, tag.c_str(), "Failed to get 3PAR Array name and device WWN from device [%s]", path.c_str());
    return false;
  }
  wwnOut = wwn;
  arrayIdOut = arrayId;
  vendorOut = vendor;
  productOut = product;
  return true;
}
