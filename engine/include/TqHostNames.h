// The names the engine gives the host it works for and the objects it makes on the array. A host
// definition or child snapshot made by one call is found again by a later call only through these
// names, so the rules are exact and never vary.
//
// - Host identifier: for a device whose host device path holds "vmware" (case-sensitive), the descriptor
//   text the host gives for the device ("...,esxname:<ESX host>,...,password:...}"); for any other device
//   the local host name.
// - Host definition: "TQ_" + the first 20 characters of the host name + "_iscsi" or "_fc", nothing
//   replaced or case-folded. Two hosts whose names share their first 20 characters share one definition.
// - Child snapshot of a master copy: "TQ-CHILD-" + the master id for ids of 0 to 16 characters; for a
//   32-character id the id without its first character; no name for any other length.
#pragma once

#include <string>

#include "SnapInfo.h"

// True with the identifier set; false when the host gives none (a "vmware" device whose record refuses
// it, or a local host name that cannot be read).
bool getHostIdentifier(TQSO::SnapInfo* device, std::string& identifier, bool mountOperation);
// The ESX host name after ",esxname:" up to the next ','; empty when there is none.
void getESXFromHostIdentifier(const std::string& identifier, std::string& esxName);
// The host definition name for a host (a null name counts as empty).
std::string GetGroupName(const char* hostName, bool iscsi);
// True with the child name set; false when the master id's length gives no name.
bool GetChildDeviceName(const char* masterDeviceId, std::string& childName);

namespace tqengine {

const size_t kGroupHostNameLength = 20;

// A copy of a host identifier fit for a log line: from the first "password:" up to the next '}' (or the
// end), every character but ':' becomes '*'.
std::string MaskHostIdentifier(const std::string& identifier);

}  // namespace tqengine
