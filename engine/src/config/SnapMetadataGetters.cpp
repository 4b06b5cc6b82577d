// Reading the device's record back, whole or one field at a time.
#include <string>

#include "EvDebug.h"
#include "TqSnapMetadata.h"

namespace {

// One field of the device's record; "" when it cannot be read, after two error job messages.
std::string FieldOrEmpty(TQSO::SnapInfo* device, std::string _TQ3PAR_SnapMetadata::*field, const char* tag) {
  _TQ3PAR_SnapMetadata record;
  if (getMetadata(device, record)) return record.*field;
  if (device != nullptr) {
    device->logMessage(2, "Failed to Get Metadata ");
    device->logMessage(2, tag);
  }
  return std::string();
}

}  // namespace

bool getMetadata(TQSO::SnapInfo* device, _TQ3PAR_SnapMetadata& record) {
  const char* tag = "3PAR-getMetadata";
  std::string text;
  if (device == nullptr || !device->getMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, text)) {
    o_logger.DebugLvl(tag, -1, "[ERROR]Failed to get Metadata");
    return false;
  }
  if (!ParseMetadata(text.c_str(), record)) {
    o_logger.DebugLvl(tag, -1, "[ERROR]Failed to parse unique  identifier [%s]", text.c_str());
    return false;
  }
  return true;
}

std::string getStorageArrayId(TQSO::SnapInfo* device) {
  _TQ3PAR_SnapMetadata record;
  if (getMetadata(device, record)) return record.arrayId;
  o_logger.DebugLvl("3PAR-getStorageArrayId", -1, "[ERROR]Failed to get Metadata");
  return std::string();
}

std::string getSourceDeviceUUID(TQSO::SnapInfo* device) {
  return FieldOrEmpty(device, &_TQ3PAR_SnapMetadata::srcDev, "3PAR-getSourceDevice");
}

std::string getSnapDeviceUUID(TQSO::SnapInfo* device) {
  return FieldOrEmpty(device, &_TQ3PAR_SnapMetadata::targetDev, "3PAR-getSnapDeviceUUID");
}

std::string getChildDeviceUUID(TQSO::SnapInfo* device) {
  return FieldOrEmpty(device, &_TQ3PAR_SnapMetadata::childdev, "3PAR-getChildDeviceUUID");
}

std::string getChildDevicePath(TQSO::SnapInfo* device) {
  return FieldOrEmpty(device, &_TQ3PAR_SnapMetadata::childdevpath, "3PAR-getChildDevicePath");
}

bool setMetadataRecord(TQSO::SnapInfo* device, const _TQ3PAR_SnapMetadata& record) {
  if (device == nullptr) return false;
  std::string text;
  ConstructMetadata(record, text);
  return device->setMetaData(TQSO::TQSO_3PAR_UNIQUE_STR_TYPE_ID, text.c_str()) != 1;
}
