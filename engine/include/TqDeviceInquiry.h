// Identifying a host device by SCSI INQUIRY: vendor and product from the standard data, the LUN WWN from
// the device-identification page (0x83), and the id of the 3PAR array that owns the LUN, derived from the
// WWN (or taken from the migrated-LUN table of the registry).
//
// A device name holding "vmware" is a descriptor text the host gives in place of a device path
// ("{...,lunuuid:<id>,standardinqury:<data>,version:<v>,...}"): the WWN then comes from "lunuuid" (from its
// 11th character) and the standard data from "standardinqury" (hexadecimal, or raw characters when the
// descriptor has no "version").
//
// The INQUIRY buffer is 255 bytes; every read of it, of stored data (which the host keeps at 255 bytes or
// more) and of descriptor values is bounds-checked. Nothing here sets an error on a job record.
#pragma once

#include <string>

#include "SP.h"
#include "TqDevice.h"

namespace tqengine {

const int kInquiryBufferLength = 255;
const char kVendor3PAR[] = "3PARdata";
const char kProductVV[] = "VV";
const char kArrayIdPrefix[] = "2FF7000";

// True for vendor "3PARdata" and a product that holds "VV".
bool Is3PARVolume(const std::string& vendor, const std::string& product);

}  // namespace tqengine

// The device of that name, or null (logged) when the device tree has none.
SP<TqDevice> getScsiTarget(const char* deviceName);

// True when the inquiry (or the descriptor) was read. Vendor and product are always set then; array id and
// WWN only for a 3PAR virtual volume (the WWN also for a descriptor). Stored data, when given, is used in
// place of the command. False for a null name, a device that cannot be opened or has no SCSI interface, a
// failed command, a page 0x83 whose first designator is not a whole NAA identifier, or a descriptor
// without "lunuuid" (or one too short for its WWN) or "standardinqury".
bool getDevArrayInfo(const char* deviceName, std::string& vendor, std::string& product, std::string& arrayId,
                     std::string& lunWWN, const unsigned char* standardData, const unsigned char* page83Data);

// The text of a fixed-width INQUIRY field: '*' becomes a blank (in the caller's buffer), trailing white
// space is dropped, leading blanks stay; "" for a null or empty field or a length of 0 or less.
std::string trimSpaces(unsigned char* field, int length);

// The array id of a LUN WWN: the migrated-LUN table's entry when it names the WWN, else "2FF7000" + WWN
// characters 4 to 6 + (WWN of NAA 6: characters 26 to 31; otherwise "00" + characters 12 to 15). False for
// an empty WWN, or one shorter than those positions need (32 characters for NAA 6, else 16).
bool GetArrayNameFromWWN(std::string wwn, std::string& arrayId, bool& is16ByteId);

// The migrated-LUN table: registry strings "3PARMigratedLunMap1", "...2", ... (up to the first missing
// number), each "<WWN>|<array id>" with blanks allowed around the whole and around the id. True with the
// array id of the first entry whose WWN equals the given one exactly.
bool CheckAndGetArrayIDFromReg(std::string& wwn, std::string& arrayId);
