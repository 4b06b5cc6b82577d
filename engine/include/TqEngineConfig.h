// The engine's configuration: registry-style values of the host configuration store, and the array-info
// text that the host keeps for each array (its SMI-S login and engine kind).
//
// Registry integers are read under "~Corvane", strings under the section the store names for "Corvane"
// (with an instance, "<section>/<instance>"; the engine passes none). A key that is not there is reported
// as not found and the caller keeps its own default.
//
// The array-info text is a flat "{key:value,key:value,...}" with raw values (no quoting, no escaping); it
// cannot carry ',' or '}' inside a value. parseJsonString finds a key as a plain case-sensitive substring
// anywhere in the text (inside a longer key or a value too), so the rules below are exact and callers rely
// on them. Every logged array-info text has its password values written as "*****".
#pragma once

#include <string>

#include "SnapInfo.h"
#include "TQOSUtil.h"

// 1 when the key holds a number (stored in *value); anything else means absent.
int GetRegInt(const char* instance, const char* key, int* value);
// True when the key is present (an empty value counts).
bool GetRegString(const char* instance, const char* key, std::string* value);

// The value of `key` in an array-info text. False (with a level-2 log line) when the text or key is empty,
// the key is not there, no ':' follows it, a ',' lies between the key and its ':', or the value has
// neither a ',' nor a '}' after it. The value is the raw text after the first ':' that follows the key, up
// to the first ',' after the key or, when there is none, the first '}' after the value's start; it may be
// empty and is never cut.
bool parseJsonString(std::string text, std::string key, std::string& value);

// The login of another array: "arrayId", "hostName", "hostUserName", "hostPassword" and "hostid", read in
// that order. False for a null text or at the first missing key (values read before it stay set). A
// "hostid" that is not a whole number reads as 0.
bool ParseForCredentials(const char* text, std::string& arrayId, std::string& hostName, std::string& user,
                         std::string& password, int& hostId);

// The engine kind of the device's selected array: the "engineId" number (25 snapshot engine, 26 clone
// engine), 0 when the host gives no text, the key is missing, or its value is not a number of 16 bits.
short getSnapEngineType(TQSO::SnapInfo* device);

namespace tqengine {

// Engine ids of the array-info text, and the copy operations they make.
const short kSnapshotEngine = 25;
const short kCloneEngine = 26;
const int kSnapshotOperation = 4;
const int kCloneOperation = 5;

// The text with the value of every password item ("hostPassword", and the "password" of host descriptors)
// written as "*****".
std::string MaskArrayInfo(const std::string& text);

// The device's selected array's info text, whole. False when the host has none for it.
bool ReadDeviceArrayInfo(TQSO::SnapInfo* device, std::string& text);
// The info text of an array by id, whole. False when the host does not know the array.
bool ReadArrayInfoById(TQSO::TQOSUtil* osUtil, const std::string& arrayId, std::string& text);

}  // namespace tqengine
