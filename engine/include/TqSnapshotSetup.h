// Filling a device's snapshot object, and the device's request flags and names that decide what the
// object works on.
#pragma once

#include <string>

#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "Tq3PARSnapshot.h"
#include "TqSnapMetadata.h"

// Applies the CIMOM parameters of the array `arrayId` (TqArrayLogin.h) to the snapshot object; false when
// they cannot be built (ReadArrayParams says why).
bool initArrayParams(Tq3PARSnapshot& snapshot, TQSO::SnapInfo* device, TQSO::TQOSUtil* services, std::string arrayId,
                     bool fromDevice);
// The job asks for an instant clone of a snapshot (request flag 0x8000).
bool TovakCopyFlagset(TQSO::SnapInfo* device);
// The name of the child snapshot made for an instant clone: "TQCL-TP_" + the device's copy number.
void GetSnapshotCopyName(TQSO::SnapInfo* device, std::string& name);
// The copy a device's record names, as the request of a snapshot operation: the service, the source and
// the copy with their paths and the copy's pool (the operation itself is the caller's).
TQ_SMIS_SNAP::TqSnapParams CopyParamsOf(const _TQ3PAR_SnapMetadata& record);
