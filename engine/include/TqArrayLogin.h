// The connection parameters of one array's SMI-S provider as the engine builds them for a snapshot
// object: address, user and password from the array-info text, namespace "root/tpd", port and HTTPS from
// the registry or the array's settings, and the array id as the system name.
//
// Port and HTTPS are read on every call, from the registry first: a registry key that is present wins
// whatever its value (present with 0 keeps the default port, or plain HTTP); only when it is absent is the
// array's own setting read: the device's selected array's when the device's array is built, otherwise the
// setting the host services keep for that array under its host id (the "hostid" item of its text), so
// that another array (the source of a replica) never takes the device's array's port or protocol. HTTPS moves the port
// to 5989; a configured port (1 to 65535) then replaces it, with or without HTTPS. A configured port outside that range
// is logged and the default kept.
//
// Applying the parameters to a snapshot object (initArrayParams) is the snapshot object's side: it takes
// ReadArrayParams' result and hands it to the object.
#pragma once

#include <functional>
#include <string>

#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TqCimom.h"

namespace tqengine {

struct TqArrayLogin {
  TqCimomParams cimom;     // defaults of the CIM layer, then what the array-info text and settings give
  std::string systemName;  // the array id
};

const int kHttpPort = 5988;
const int kHttpsPort = 5989;

// Builds the parameters of the array `arrayId`. With fromDevice the device's own array is selected (its
// login) and its info text and settings read; otherwise the host services give the text by id and the
// settings by the text's host id (none without one; logged).
//
// False when the array cannot be selected (no error set), when its info text cannot be had (error 62005
// "Failed to get array info" on the device, first-error rule), or when the text lacks "hostName",
// "hostUserName" or "hostPassword" (no log line or error of its own; the caller reports it).
bool ReadArrayParams(TQSO::SnapInfo* device, TQSO::TQOSUtil* osUtil, const std::string& arrayId, bool fromDevice,
                     TqArrayLogin& login);

// "domain\\user" (a backslash followed later by another) loses the first backslash after the first one.
std::string CollapseDomainBackslash(const std::string& user);

// One integer setting of an array: true with the value when the array has it.
using ArraySettingReader = std::function<bool(const char* name, int& value)>;
// The settings of the device's selected array (a null device has none), and those the host services
// keep for the array of a host id (none without services).
ArraySettingReader DeviceArraySettings(TQSO::SnapInfo* device);
ArraySettingReader HostIdArraySettings(TQSO::TQOSUtil* osUtil, int hostId);

// The configured port (0 when none or out of range) and HTTPS switch, registry first, then the array's
// setting.
int ConfiguredSmisPort(const ArraySettingReader& settings);
bool ConfiguredSmisHttps(const ArraySettingReader& settings);

}  // namespace tqengine
