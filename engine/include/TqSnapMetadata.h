// The engine's record of one source device, kept between calls in the device's job record as metadata
// id 1: which array holds the source, which copy operation was prepared, the CIM objects found, and the
// snapshot, clone or child snapshot made.
//
// Text form: the twelve fields in declaration order joined by single '*' (eleven separators, no escaping),
// version and flags as unsigned decimals. A field that holds '*' is not supported. Older writers left out
// version and flags: a text of exactly nine separators is still read, and then version and flags keep the
// values the record had. A text of exactly ten separators, or fewer than nine, is not a record. Writer and
// reader are exact mirrors for every record whose fields hold no '*'.
//
// "EMPTYDEV" and "EMPTYPATH" are literal placeholders of the child fields (no child); the target fields
// are empty until a copy exists.
#pragma once

#include <cstdint>
#include <string>

#include "SnapInfo.h"

struct _TQ3PAR_SnapMetadata {
  std::string arrayId;          // array of the source volume
  std::string snapOp;           // "4" snapshot, "5" clone
  std::string snapServicePath;  // the array's storage configuration service
  std::string srcDev;           // source volume id (WWN)
  std::string srcDevPath;       // source volume path
  std::string targetDGpath;     // target device group (pool) path
  std::string targetDev;        // snapshot or clone volume id; empty until it exists
  std::string targetDevPath;    // its path; empty until it exists
  std::string childdev;         // child snapshot id, or "EMPTYDEV"
  std::string childdevpath;     // child snapshot path, "EMPTYPATH", or a clone's synchronization path
  uint32_t version = 0;         // every writer sets 1
  uint32_t flags = 0;           // 1: prepared for remote replication
};

namespace tqengine {

const char kEmptyDev[] = "EMPTYDEV";
const char kEmptyPath[] = "EMPTYPATH";
const uint32_t kMetadataVersion = 1;
const uint32_t kMetadataReplicationFlag = 1;

}  // namespace tqengine

// Replaces `out` with the text of the record.
void ConstructMetadata(const _TQ3PAR_SnapMetadata& record, std::string& out);
// Fills the record from a text; false (record untouched) for a null or malformed text. Version and flags
// take the leading decimal digits of their fields (0 when there are none or the number does not fit 32
// bits); anything after them, further separators included, is ignored.
bool ParseMetadata(const char* text, _TQ3PAR_SnapMetadata& record);
// Writes the record as the device's metadata id 1; false when the host refused it.
bool setMetadataRecord(TQSO::SnapInfo* device, const _TQ3PAR_SnapMetadata& record);
// Reads and parses the device's metadata id 1; false when the host has none or it is malformed.
bool getMetadata(TQSO::SnapInfo* device, _TQ3PAR_SnapMetadata& record);

// Single fields of the device's record; "" when it cannot be read (the last four also leave two error
// job messages on the device).
std::string getStorageArrayId(TQSO::SnapInfo* device);
std::string getSourceDeviceUUID(TQSO::SnapInfo* device);
std::string getSnapDeviceUUID(TQSO::SnapInfo* device);
std::string getChildDeviceUUID(TQSO::SnapInfo* device);
std::string getChildDevicePath(TQSO::SnapInfo* device);
