// The engine's own error codes, set on a device's job record (the array-side codes 60540 to 60555 come
// from the snapshot object's error scheme), and the LUN error of the provisioning calls.
#pragma once

namespace tqengine {

const int kErrHostIdentifier = 62002;      // "Failed to get host identifier"
const int kErrInitiatorInfo = 62003;       // "Unable to detect initiator info."
const int kErrArrayInfo = 62005;           // "Failed to get array info", or the device is not a 3PAR volume
const int kErrReplicationOrArray = 62008;  // replication failures; an identified array the host does not know
const int kErrMap = 62009;                 // map failures
const int kErrReplicationSync = 60001;     // replication synchronization at snap time
const int kErrUnmap = 60013;               // "Failed to unmap the device"
const int kErrCopiesNotFound = 60509;      // copies not seen as host devices after a map
const int kErrRevert = 60513;              // revert refused or failed
const int kErrCopyLeft = 62010;            // a copy left on the array that no record names; its id in the text
const int kErrLun = 70003;                 // every failure of a provisioning call

constexpr const char kTextArrayInfo[] = "Failed to get array info";
constexpr const char kTextHostIdentifier[] = "Failed to get host identifier";

}  // namespace tqengine
